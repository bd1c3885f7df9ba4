#pragma once

#include "engine/OperationPhase.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick {

// One report of a cleanup run. A run emits only the phases starting, deleting, done and cancelled.
struct DeleteProgress {
    OperationPhase phase = OperationPhase::idle;
    std::string message;
    int64_t total = 0;         // candidates in the run
    int64_t currentIndex = 0;  // 1-based; 0 before the first, total at the end
    int64_t deletedCount = 0;
    int64_t failedCount = 0;
    std::string currentPath;   // the candidate being handled
    std::string currentItem;   // the entry just removed inside it, or where it landed in the Trash
    int64_t entriesDeletedInCurrent = 0;

    bool operator==(const DeleteProgress &) const = default;
};

using DeleteProgressHandler = std::function<void(const DeleteProgress &)>;

}  // namespace tarnwick
