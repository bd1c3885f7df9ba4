#pragma once

#include "cli/CliOptions.h"
#include "core/SuperCleanTier.h"
#include "engine/CleanupRisk.h"

#include <string>
#include <string_view>

namespace tarnwick::cli {

// Colour for human output on one stream. Plain by default, so text built for a pipe, a file or
// JSON never carries escape sequences.
class TerminalStyle {
public:
    TerminalStyle() = default;
    explicit TerminalStyle(bool colored) : m_colored(colored) {}

    // `never` and `always` mean what they say. `automatic` colours only a terminal, and not when
    // NO_COLOR is set to anything but the empty string (no-color.org) or TERM is "dumb".
    static TerminalStyle forStream(ColorMode mode, int fd);

    bool colored() const { return m_colored; }

    std::string risk(std::string_view text, CleanupRisk risk) const;
    std::string tier(std::string_view text, SuperCleanTier tier) const;
    std::string total(std::string_view text) const;

private:
    std::string paint(std::string_view text, const char *sgr) const;

    bool m_colored = false;
};

} // namespace tarnwick::cli
