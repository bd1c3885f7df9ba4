#include "cli/ProgressLine.h"

#include "cli/CandidateOutput.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <unistd.h>
#include <vector>

namespace tarnwick::cli {

namespace {

std::size_t terminalColumns()
{
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

// The columns a code point takes on a terminal: two for East Asian wide and full-width characters,
// none for combining marks and format characters, one otherwise.
std::size_t columnsOf(UChar32 c)
{
    const auto width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    if (width == U_EA_WIDE || width == U_EA_FULLWIDTH) {
        return 2;
    }
    const auto type = u_charType(c);
    if (type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR) {
        return 0;
    }
    return 1;
}

// Where each code point of valid UTF-8 starts, with its columns.
struct Glyph {
    std::size_t offset;
    std::size_t columns;
};

std::vector<Glyph> glyphsOf(const std::string &text)
{
    std::vector<Glyph> glyphs;
    const auto *bytes = reinterpret_cast<const uint8_t *>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        const auto start = static_cast<std::size_t>(i);
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        glyphs.push_back({start, c < 0 ? 1 : columnsOf(c)});
    }
    return glyphs;
}

std::size_t columnsOf(const std::string &text)
{
    std::size_t columns = 0;
    for (const auto &glyph : glyphsOf(text)) {
        columns += glyph.columns;
    }
    return columns;
}

// The start of `text` in at most `width` columns, ending in "…" when cut.
std::string keepStart(const std::string &text, std::size_t width)
{
    if (columnsOf(text) <= width) {
        return text;
    }
    if (width == 0) {
        return {};
    }
    std::size_t used = 0;
    std::size_t end = 0;
    for (const auto &glyph : glyphsOf(text)) {
        if (used + glyph.columns > width - 1) {
            end = glyph.offset;
            break;
        }
        used += glyph.columns;
    }
    return text.substr(0, end) + "…";
}

// The end of `text` in at most `width` columns, starting with "…" when cut.
std::string keepEnd(const std::string &text, std::size_t width)
{
    if (columnsOf(text) <= width) {
        return text;
    }
    if (width == 0) {
        return {};
    }
    const auto glyphs = glyphsOf(text);
    std::size_t used = 0;
    std::size_t start = text.size();
    for (auto it = glyphs.rbegin(); it != glyphs.rend(); ++it) {
        if (used + it->columns > width - 1) {
            break;
        }
        used += it->columns;
        start = it->offset;
    }
    return "…" + text.substr(start);
}

}  // namespace

ProgressLine::ProgressLine(bool quiet) : m_enabled(!quiet && ::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine()
{
    clear();
}

std::string ProgressLine::fitted(std::string_view message, std::string_view path, std::size_t columns)
{
    const std::size_t width = columns > 0 ? columns - 1 : 0;
    std::string line = keepStart(displayPath(message), width);
    const std::size_t used = columnsOf(line);
    // The path only when there is room for the gap and a few of its last characters.
    if (!path.empty() && used + 2 + 4 <= width) {
        line += "  " + keepEnd(displayPath(path), width - used - 2);
    }
    return line;
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
    std::fprintf(stderr, "\r\033[K%s", fitted(message, path, terminalColumns()).c_str());
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
