#include "platform/MountPoints.h"

#include "core/PathRules.h"

#include <sys/stat.h>
#include <unistd.h>

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
            decoded += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

bool onDevice(const std::string &path, dev_t device)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && status.st_dev == device;
}

}  // namespace

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

std::string volumeTopFolder(const std::string &canonicalFolder, dev_t device)
{
    std::string innermost;
    for (const std::string &point : mountPoints()) {
        if (isPathInside(canonicalFolder, point) && point.size() >= innermost.size()) {
            innermost = point;
        }
    }
    if (!innermost.empty() && onDevice(innermost, device)) {
        return innermost;
    }
    std::string top = canonicalFolder;
    while (top != "/") {
        std::string parent(parentPath(top));
        if (!onDevice(parent, device)) {
            break;
        }
        top = std::move(parent);
    }
    return top;
}

std::optional<std::string> openFolderPath(int dirFd)
{
    const std::string link = "/proc/self/fd/" + std::to_string(dirFd);
    std::string target(256, '\0');
    while (true) {
        const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            break;
        }
        target.resize(target.size() * 2);
    }
    // A removed folder reads as "PATH (deleted)"; a path that is not absolute is no folder at all.
    struct stat byPath {};
    struct stat byDescriptor {};
    if (target.empty() || target[0] != '/' || ::stat(target.c_str(), &byPath) != 0 ||
        ::fstat(dirFd, &byDescriptor) != 0 || byPath.st_dev != byDescriptor.st_dev ||
        byPath.st_ino != byDescriptor.st_ino) {
        return std::nullopt;
    }
    return target;
}

}  // namespace tarnwick
