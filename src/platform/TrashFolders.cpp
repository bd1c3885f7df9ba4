#include "platform/TrashFolders.h"

#include "core/PathRules.h"
#include "platform/MountPoints.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

void addFolderIdentity(const std::string &path, std::vector<FileIdentity> &identities)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        identities.push_back(FileIdentity::of(status));
    }
}

bool isDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isVolumeTrashName(std::string_view name)
{
    return name == ".Trash" || (name.starts_with(".Trash-") && isDigits(name.substr(7)));
}

} // namespace

std::vector<FileIdentity> trashFolderIdentities(const std::vector<std::string> &roots)
{
    std::vector<FileIdentity> identities;
    addFolderIdentity(joinPath(dataHomeFolder(), "Trash"), identities);

    std::vector<std::string> realRoots;
    for (const auto &root : roots) {
        char resolved[PATH_MAX];
        if (::realpath(root.c_str(), resolved) != nullptr) {
            realRoots.emplace_back(resolved);
        }
    }
    const std::string ownTrash = ".Trash-" + std::to_string(::geteuid());
    for (const auto &point : mountPoints()) {
        const bool belowARoot = std::any_of(realRoots.begin(), realRoots.end(),
                                            [&](const std::string &root) { return isPathInside(point, root); });
        if (belowARoot) {
            addFolderIdentity(joinPath(point, ".Trash"), identities);
            addFolderIdentity(joinPath(point, ownTrash), identities);
        }
    }
    return identities;
}

bool mayBeTrashFolderName(std::string_view name)
{
    return name == "Trash" || name.starts_with(".Trash");
}

bool isVolumeTrashByPlace(int parentFd, std::string_view name)
{
    if (!isVolumeTrashName(name)) {
        return false;
    }
    const std::optional<MountPlacement> placement = mountPlacement(parentFd);
    return placement && placement->isMountRoot;
}

} // namespace tarnwick
