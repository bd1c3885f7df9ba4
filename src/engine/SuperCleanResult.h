#pragma once

#include "core/SuperCleanCompletionReport.h"
#include "engine/CleanupFailure.h"
#include "engine/CleanupSkipped.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

// The outcome of one guided cleaning as the window shows it.
struct SuperCleanResult {
    std::string id;  // a fresh random UUID per cleaning
    SuperCleanCompletionReport report;
    int64_t missingCount = 0;             // selected items that no longer existed
    std::vector<CleanupSkipped> skipped;  // left alone after re-validation
    std::vector<CleanupFailure> failures;
    bool cancelled = false;

    bool operator==(const SuperCleanResult &) const = default;
};

}  // namespace tarnwick
