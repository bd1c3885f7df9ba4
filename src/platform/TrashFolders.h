#pragma once

#include "platform/FileIdentity.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The trash folders a walk below `roots` could meet: the home trash and, for every volume mounted
// at or below a root, its $topdir/.Trash (the administrator's shared one, holding each user's) and
// $topdir/.Trash-$uid. Only volumes below the roots are looked at, so a walk never waits on a
// mount it does not enter. Links are followed: a trash reached through one is still that trash.
std::vector<FileIdentity> trashFolderIdentities(const std::vector<std::string> &roots);

// Whether a folder of this name could be a trash folder: "Trash" (the home trash's name),
// ".Trash" and ".Trash-N". Only such names are worth a look at their identity.
bool mayBeTrashFolderName(std::string_view name);

// Whether a folder named `name` inside the folder open at `parentFd` is a volume's trash by its
// place alone: ".Trash" or ".Trash-N" (any user's) directly in the top folder of a mount.
bool isVolumeTrashByPlace(int parentFd, std::string_view name);

} // namespace tarnwick
