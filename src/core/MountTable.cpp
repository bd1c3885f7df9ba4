#include "core/MountTable.h"

#include <fstream>
#include <sstream>

namespace tarnwick {

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The kernel writes space, tab, newline and backslash in mount points as \ooo.
std::string decodedMountField(const std::string &field)
{
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
            isOctalDigit(field[i + 3])) {
            decoded +=
                static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

} // namespace

std::vector<std::string> mountPoints()
{
    std::vector<std::string> points;
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        // mount-id parent-id major:minor root mount-point options ...
        std::istringstream fields(line);
        std::string skipped;
        std::string mountPoint;
        if (fields >> skipped >> skipped >> skipped >> skipped >> mountPoint) {
            points.push_back(decodedMountField(mountPoint));
        }
    }
    return points;
}

} // namespace tarnwick
