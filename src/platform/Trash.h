#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

// Who an entry is, as a scan recorded it: a move that carries one refuses to touch anything else.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

struct TrashMoveResult {
    int error = 0;            // 0 on success, else an errno value
    std::string message;      // the system's description of the failure; empty on success
    std::string trashedPath;  // where the item now lies (.../files/NAME); empty on failure
    bool succeeded() const { return error == 0; }
};

// Moves the entry at `path` (absolute, standardized; the entry itself, never a link's target) into
// the desktop Trash as the freedesktop.org Trash specification describes it. When `expected` is
// given, the entry's device and inode are re-checked through its parent folder's descriptor right
// before the rename, and a mismatch fails without touching anything (error ESTALE, with a sentence
// saying so as the message). An item whose volume has no usable trash fails the same way (EXDEV,
// EACCES, EROFS, ...); it is never copied. Safe to call from any thread.
//
// A trashed folder gets a line in the trash's directorysizes cache: with `knownSize` when the
// caller has measured the folder already (a scan has), so the move stays one rename whatever the
// folder holds; otherwise the folder is walked once to size it.
TrashMoveResult moveToTrash(const std::string &path, const std::optional<FileIdentity> &expected = std::nullopt,
                            std::optional<int64_t> knownSize = std::nullopt);

}  // namespace tarnwick
