#include "cli/TerminalStyle.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace tarnwick::cli {

namespace {

// The same three colours for a rule's risk and for a tier: green is the safe end, red the end to
// look at twice.
const char *riskColor(CleanupRisk risk)
{
    switch (risk) {
    case CleanupRisk::safe:
        return "32";
    case CleanupRisk::review:
        return "33";
    case CleanupRisk::advanced:
        return "31";
    }
    return "0";
}

const char *tierColor(SuperCleanTier tier)
{
    switch (tier) {
    case SuperCleanTier::recommended:
        return "1;32";
    case SuperCleanTier::review:
        return "1;33";
    case SuperCleanTier::advanced:
        return "1;31";
    }
    return "1";
}

bool isSetAndNotEmpty(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

TerminalStyle TerminalStyle::forStream(ColorMode mode, int fd)
{
    switch (mode) {
    case ColorMode::never:
        return TerminalStyle(false);
    case ColorMode::always:
        return TerminalStyle(true);
    case ColorMode::automatic:
        break;
    }
    const char *term = std::getenv("TERM");
    const bool dumb = term != nullptr && std::strcmp(term, "dumb") == 0;
    return TerminalStyle(::isatty(fd) == 1 && !isSetAndNotEmpty("NO_COLOR") && !dumb);
}

std::string TerminalStyle::paint(std::string_view text, const char *sgr) const
{
    if (!m_colored || text.empty()) {
        return std::string(text);
    }
    return "\033[" + std::string(sgr) + "m" + std::string(text) + "\033[0m";
}

std::string TerminalStyle::risk(std::string_view text, CleanupRisk risk) const
{
    return paint(text, riskColor(risk));
}

std::string TerminalStyle::tier(std::string_view text, SuperCleanTier tier) const
{
    return paint(text, tierColor(tier));
}

std::string TerminalStyle::total(std::string_view text) const
{
    return paint(text, "1");
}

} // namespace tarnwick::cli
