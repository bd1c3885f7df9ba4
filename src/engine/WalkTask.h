#pragma once

#include "platform/WalkFolder.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tarnwick {

struct MatchMeasurement;

// A folder a walk has still to visit: a root (no parent; the name is its path), a folder below a
// root, or a folder inside a match whose size is being measured.
struct WalkTask {
    std::shared_ptr<WalkFolder> parent;
    std::string name;
    uint32_t order = 0; // a root's position among the roots, else the entry's among those its parent queued
    std::shared_ptr<MatchMeasurement> match;
    int64_t ownSize = 0; // a measured folder's own entry, read when its parent was listed
};

} // namespace tarnwick
