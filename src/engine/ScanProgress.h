#pragma once

#include "engine/OperationPhase.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick {

struct ScanProgress {
    OperationPhase phase = OperationPhase::idle;
    std::string message;
    std::string currentPath;    // folder visited or measured
    std::string currentItem;    // entry being measured inside currentPath
    int64_t visitedDirs = 0;
    int64_t matchedDirs = 0;
    int64_t measuredEntries = 0;
    int64_t bytesSoFar = 0;

    bool operator==(const ScanProgress &) const = default;
};

using ScanProgressHandler = std::function<void(const ScanProgress &)>;

}  // namespace tarnwick
