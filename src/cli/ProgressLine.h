#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tarnwick::cli {

// One self-overwriting status line on standard error, drawn only when standard error is a
// terminal and quiet mode is off, and at most ten times a second.
class ProgressLine {
public:
    explicit ProgressLine(bool quiet);
    ~ProgressLine();

    void show(std::string_view message, std::string_view path);
    void clear();

private:
    bool m_enabled;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
};

}  // namespace tarnwick::cli
