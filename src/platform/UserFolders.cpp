#include "platform/UserFolders.h"

#include "core/PathRules.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tarnwick {

namespace {

std::string absoluteEnvironmentPath(const char *name)
{
    const char *value = std::getenv(name);
    // The XDG base directory rules say relative values are invalid and must be ignored.
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return normalizedPath(value);
}

}  // namespace

std::string homeFolder()
{
    if (auto home = absoluteEnvironmentPath("HOME"); !home.empty()) {
        return home;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd *result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
        result->pw_dir != nullptr && result->pw_dir[0] == '/') {
        return normalizedPath(result->pw_dir);
    }
    return "/";
}

std::string dataHomeFolder()
{
    if (auto folder = absoluteEnvironmentPath("XDG_DATA_HOME"); !folder.empty()) {
        return folder;
    }
    return joinPath(joinPath(homeFolder(), ".local"), "share");
}

std::string configHomeFolder()
{
    if (auto folder = absoluteEnvironmentPath("XDG_CONFIG_HOME"); !folder.empty()) {
        return folder;
    }
    return joinPath(homeFolder(), ".config");
}

}  // namespace tarnwick
