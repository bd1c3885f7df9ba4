#pragma once

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

// Creates the missing folders of an absolute path, private (0700) as the XDG base directory rules
// ask of the folders an application makes in the user's data and configuration homes. Returns 0, or
// the errno of the first creation that failed for a reason other than existing.
int makeFolderPath(const std::string &path);

}  // namespace tarnwick
