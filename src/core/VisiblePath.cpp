#include "core/VisiblePath.h"

#include "core/Utf8.h"

#include <cstdio>

namespace tarnwick {

namespace {

// The code point of a well-formed UTF-8 sequence of `length` bytes.
char32_t codePointOf(std::string_view sequence, std::size_t length)
{
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t point = static_cast<unsigned char>(sequence[0]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        point = (point << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3Fu);
    }
    return point;
}

// Characters that are not control bytes but still act on a terminal or on how the text around them
// reads: C1 controls (some terminals obey them), the line and paragraph separators, and the marks,
// embeddings, overrides and isolates of bidirectional text.
bool actsOnTheDisplay(char32_t point)
{
    return (point >= 0x80 && point <= 0x9F) || point == 0x061C || point == 0x200E || point == 0x200F ||
           (point >= 0x2028 && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
}

}  // namespace

std::string visiblePath(std::string_view path)
{
    std::string result;
    result.reserve(path.size());
    char buffer[16];
    for (std::size_t i = 0; i < path.size();) {
        const auto byte = static_cast<unsigned char>(path[i]);
        const std::size_t length = utf8SequenceLength(path, i);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            std::snprintf(buffer, sizeof buffer, "\\x%02x", byte);
            result += buffer;
            ++i;
            continue;
        }
        if (byte == '\\') {
            result += "\\\\";
            ++i;
            continue;
        }
        if (length > 1) {
            if (const char32_t point = codePointOf(path.substr(i, length), length); actsOnTheDisplay(point)) {
                std::snprintf(buffer, sizeof buffer, "\\u{%x}", static_cast<unsigned>(point));
                result += buffer;
                i += length;
                continue;
            }
        }
        result.append(path.substr(i, length));
        i += length;
    }
    return result;
}

}  // namespace tarnwick
