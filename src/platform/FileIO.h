#pragma once

#include "platform/FileDescriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace tarnwick {

// Writes all of `text` to fd, retrying short writes and interruptions. False on the first error
// (errno tells which).
bool writeAll(int fd, std::string_view text);

// Appends everything left to read from fd to `text`. False on a read error (errno tells which) or
// when more than `limit` bytes arrive, so a file that grows without end cannot exhaust memory.
bool readAll(int fd, std::string &text, std::size_t limit = std::numeric_limits<std::size_t>::max());

// Opens `name` (relative to dirFd; AT_FDCWD for a plain path) for a caller that only wants a regular
// file: the last component is never followed if it is a link, the open never waits (a FIFO with no
// reader on the other end would otherwise hold the caller forever), and whatever turns out not to be
// a regular file (FIFO, device, socket, folder) is closed again. O_CLOEXEC, O_NOFOLLOW and
// O_NONBLOCK are added to `flags`; the descriptor returned is back in blocking mode. On failure the
// descriptor is invalid and errno says why: EINVAL for an entry that is not a regular file, ENOENT
// when nothing is there (and O_CREAT was not given), ELOOP for a link.
FileDescriptor openRegularFile(int dirFd, const char *name, int flags, mode_t mode = 0600);

// Creates the missing folders of an absolute path, private (0700) as the XDG base directory rules
// ask of the folders an application makes in the user's data and configuration homes. Returns 0, or
// the errno of the first creation that failed for a reason other than existing.
int makeFolderPath(const std::string &path);

// Appends whole lines to the file at `path`, for logs that are only ever appended to: an existing
// regular file gets them with one O_APPEND write (after whatever another process appended); a
// missing one appears whole, written aside and linked into place, so no reader sees half of it.
// Anything but a regular file there (a FIFO would block, a link could point anywhere) is left alone.
// False when the lines were not written.
bool appendLines(const std::string &path, const std::string &text);

// Reads a whole regular file, opened without blocking and without following a link; false when it
// is missing, something else, unreadable or larger than `limit`.
bool readRegularFile(const std::string &path, std::string &text, std::size_t limit);

// renameat2 with RENAME_NOREPLACE: moves fromName to toName and fails with EEXIST rather than
// replace anything there. Returns 0, or -1 with errno set.
int renameWithoutReplacing(int fromFd, const char *fromName, int toFd, const char *toName);

}  // namespace tarnwick
