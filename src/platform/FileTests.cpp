#include "platform/FileTests.h"

namespace tarnwick {

bool fileExists(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool isDirectory(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<struct stat> linkStatus(const std::string &path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

bool isPackageDirectory(const std::string &)
{
    return false;
}

}  // namespace tarnwick
