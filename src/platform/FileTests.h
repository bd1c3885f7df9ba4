#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

namespace tarnwick {

// Whether anything exists at the path, following symbolic links (a dangling link does not exist).
bool fileExists(const std::string &path);

// Whether the path names a directory, following symbolic links (a link to a folder is a folder).
bool isDirectory(const std::string &path);

// lstat of a path: the entry itself, never a link's target.
std::optional<struct stat> linkStatus(const std::string &path);

// Whether a folder is a package the desktop shows as one file. Linux desktops have none.
bool isPackageDirectory(const std::string &path);

}  // namespace tarnwick
