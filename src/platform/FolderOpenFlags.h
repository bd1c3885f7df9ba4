#pragma once

#include <fcntl.h>

namespace tarnwick {

// How a folder is opened to read its entries or to work relative to it. O_NONBLOCK keeps a name
// that was swapped for a FIFO or a device from blocking the thread in open() before O_DIRECTORY
// refuses it.
inline constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;

// A name inside a folder already held: a link in its place is refused, never followed.
inline constexpr int kChildFolderOpenFlags = kFolderOpenFlags | O_NOFOLLOW;

}  // namespace tarnwick
