#pragma once

#include "engine/CleanupRule.h"

#include <string_view>
#include <vector>

namespace tarnwick {

// A folder as the walk sees it: its standardized path, and how to reach it without building paths.
// For a folder below a root, parentFd is its parent's open descriptor and name its name there; for
// a root, parentFd is AT_FDCWD and name its absolute path.
struct FolderLocation {
    std::string_view path;
    int parentFd;
    std::string_view name;
};

bool matches(const RuleMatcher &matcher, const FolderLocation &folder);

// The first rule of the list whose matcher accepts the folder, or nullptr.
const CleanupRule *firstMatchingRule(const std::vector<CleanupRule> &rules, const FolderLocation &folder);

}  // namespace tarnwick
