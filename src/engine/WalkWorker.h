#pragma once

#include "engine/WalkTask.h"
#include "platform/DirectoryLister.h"
#include "platform/WalkChain.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// What one worker of a walk keeps for itself, allocated once per walk: its descent, its listing
// buffer, and the scratch lists a listing fills.
struct WalkWorker {
    explicit WalkWorker(std::size_t descriptorWindow) : chain(descriptorWindow) {}

    WalkChain chain;
    DirectoryLister lister;
    std::vector<WalkTask> queued;        // what a listing queues, handed over in one go
    std::vector<std::string_view> names; // one read's measured entries
    std::vector<int64_t> cumulative;     // the folder's bytes after each of them
    std::string path;                    // the folder being visited
};

} // namespace tarnwick
