#pragma once

#include "engine/CleanupRisk.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

using Timestamp = std::chrono::system_clock::time_point;

// One found folder. Its id is its standardized path, so two scans of a folder give the same id.
struct CleanupCandidate {
    std::string id;
    std::string path;
    std::string key;
    std::string category;
    std::string description;
    CleanupRisk risk = CleanupRisk::safe;
    int64_t size = 0;
    std::optional<Timestamp> modifiedAt;

    bool operator==(const CleanupCandidate &) const = default;
};

}  // namespace tarnwick
