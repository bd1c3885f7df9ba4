#pragma once

#include "platform/FileIdentity.h"

#include <string>

namespace tarnwick {

struct RestoreResult {
    bool restored = false;
    std::string message;  // why it was refused; empty when restored
};

// Puts an item that was moved to the Trash back where it came from: `trashedPath` is where it lies
// (.../files/NAME of a trash folder), `expected` who it was when it was moved, `originalPath` where
// it was. It goes back only if it is still that entry and nothing is at the original path now; the
// move is one rename that never replaces anything. Its info file and its directorysizes line are
// removed afterwards. Anything else is refused with a sentence saying why, and nothing is touched.
RestoreResult restoreFromTrash(const std::string &trashedPath, const FileIdentity &expected,
                               const std::string &originalPath);

}  // namespace tarnwick
