#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

struct ScanOptions {
    std::vector<std::string> roots;             // folders to walk, in order
    bool includeAggressive = false;
    std::set<std::string> selectedTargetKeys;
    int64_t minimumSizeBytes = 0;               // smaller matches are counted but not reported
    std::set<std::string> excludedPaths;        // absolute, standardized; never entered
    bool allowRootMatches = false;              // whether a root may itself be a candidate

    bool operator==(const ScanOptions &) const = default;
};

}  // namespace tarnwick
