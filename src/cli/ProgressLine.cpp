#include "cli/ProgressLine.h"

#include "cli/CandidateOutput.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace tarnwick::cli {

namespace {

std::size_t terminalWidth()
{
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 10) {
        return size.ws_col;
    }
    return 80;
}

// Cuts a display string to at most `width` code points, keeping its end (the folder name).
std::string keepEnd(const std::string &text, std::size_t width)
{
    std::size_t codePoints = 0;
    for (const char c : text) {
        codePoints += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    }
    if (codePoints <= width) {
        return text;
    }
    std::size_t drop = codePoints - width + 1;
    std::size_t i = 0;
    while (i < text.size() && drop > 0) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0u) == 0x80u) {
            ++i;
        }
        --drop;
    }
    return "…" + text.substr(i);
}

}  // namespace

ProgressLine::ProgressLine(bool quiet) : m_enabled(!quiet && ::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine()
{
    clear();
}

void ProgressLine::show(std::string_view message, std::string_view path)
{
    if (!m_enabled) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && now - m_lastDraw < std::chrono::milliseconds(100)) {
        return;
    }
    m_lastDraw = now;
    m_drawn = true;
    std::string line(message);
    const std::size_t width = terminalWidth() - 1;
    if (!path.empty() && line.size() + 4 < width) {
        line += "  " + keepEnd(displayPath(path), width - line.size() - 2);
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

void ProgressLine::clear()
{
    if (m_enabled && m_drawn) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        m_drawn = false;
    }
}

}  // namespace tarnwick::cli
