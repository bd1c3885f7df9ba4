#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tarnwick::cli {

// One status line on standard error, redrawn in place, only when standard error is a terminal and
// quiet mode is off, and at most ten times a second. Each drawing is fitted to the terminal's
// width at that moment, so a resized window never gets a wrapped line that the next redraw cannot
// take back.
class ProgressLine {
public:
    explicit ProgressLine(bool quiet);
    ~ProgressLine();

    void show(std::string_view message, std::string_view path);
    void clear();

    // The text drawn for a message and a path on a terminal `columns` wide: at most columns - 1
    // columns (a line that reaches the last one wraps on some terminals), the start of the message
    // kept, and of the path its end, where the folder's name is. Control characters and stray
    // bytes are escaped as in the tables; wide characters count two columns.
    static std::string fitted(std::string_view message, std::string_view path, std::size_t columns);

private:
    bool m_enabled;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
};

}  // namespace tarnwick::cli
