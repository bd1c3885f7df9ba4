#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// The directorysizes cache of a trash folder, which lets trash readers total the trash without
// walking every trashed folder. An entry is an optimisation: readers measure folders that have none.
namespace tarnwick {

// Disk usage of the folder `name` inside dirFd the way `du -B1` counts it: allocated blocks of the
// folder and of everything below it, each hard-linked file once, links never followed. nullopt
// when some part cannot be read or the tree is too large to walk now (kMaxSizedEntries).
std::optional<int64_t> folderDiskUsage(int dirFd, const std::string &name);

// Past this many entries the walk gives up: the move has already happened, and making the caller
// wait minutes for an optional cache entry would be the wrong trade.
inline constexpr int64_t kMaxSizedEntries = 2'000'000;

// Appends the line "SIZE MTIME NAME" (NAME percent-encoded) for the trashed folder `nameInTrash` to
// the directorysizes file of the trash folder open at trashFd. An older line of the same name (left
// by a folder of that name that has left the trash) stays before it, and the later line is the one
// that counts. The file is used only when it is a regular file (or missing, then it is created);
// anything else at that name is left alone. Now and then, when the cache has grown well past the
// folders still in files/, it is rewritten without the stale lines, through a temporary file and a
// rename. Returns false when no line was written; the trash itself stays valid either way.
bool recordTrashedFolderSize(int trashFd, std::string_view nameInTrash, int64_t size, std::time_t infoModified);

// Drops the lines of folders no longer in files/ (one put back where it came from, say), by
// rewriting the cache through a temporary file and a rename; nothing happens when none is stale.
void forgetFoldersThatLeftTheTrash(int trashFd);

}  // namespace tarnwick
