#pragma once

#include "platform/FileIdentity.h"
#include "platform/ReachedEntry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct TrashMoveResult {
    int error = 0;           // 0 on success, else an errno value
    std::string message;     // the system's description of the failure; empty on success
    std::string trashedPath; // where the item now lies (.../files/NAME); empty on failure
    bool succeeded() const { return error == 0; }
};

// Moves a reached entry (the entry itself, never a link's target; `path` is its path as the user
// knows it) into the desktop Trash as the freedesktop.org Trash specification describes it. When
// `expected` is given, the entry's device and inode are re-checked through its parent folder's
// descriptor right before the rename, and a mismatch fails without touching anything (error
// ESTALE, with a sentence saying so as the message). A folder that is or holds a mount point is
// refused (EXDEV) before anything moves: a mount carried into the Trash would be deleted with it
// when the Trash is emptied. An item whose volume has no usable trash fails the same way (EXDEV,
// EACCES, EROFS, ...); it is never copied. Safe to call from any thread.
//
// A trashed folder gets a line in the trash's directorysizes cache: with `knownSize` when the
// caller has measured the folder already (a scan has), so the move stays one rename whatever the
// folder holds; otherwise the folder is walked once to size it.
TrashMoveResult moveToTrash(const ReachedEntry &entry, const std::string &path,
                            const std::optional<FileIdentity> &expected = std::nullopt,
                            std::optional<int64_t> knownSize = std::nullopt);

// The same for an absolute path that is reached from "/" without following any link on the way.
TrashMoveResult moveToTrash(const std::string &path, const std::optional<FileIdentity> &expected = std::nullopt,
                            std::optional<int64_t> knownSize = std::nullopt);

// How the message of a move begins when the item's volume has no trash this user can use.
inline constexpr std::string_view kNoUsableTrash = "There is no usable Trash on its volume";

// The sentence of a move or removal refused because the entry is no longer the one that was
// scanned.
inline constexpr const char *kChangedSinceScan = "It changed since it was scanned; nothing was deleted";

} // namespace tarnwick
