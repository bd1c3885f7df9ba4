#pragma once

#include "engine/CleanupCandidate.h"

#include <string>

namespace tarnwick {

// A candidate left alone because its identity check failed.
struct CleanupSkipped {
    std::string id;  // a fresh random UUID
    CleanupCandidate candidate;
    std::string reason;  // "not accessible", "outside approved folder", "became a symbolic link",
                         // "became a mount point" or "changed since scan"

    bool operator==(const CleanupSkipped &) const = default;
};

}  // namespace tarnwick
