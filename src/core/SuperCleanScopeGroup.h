#pragma once

#include "core/SuperCleanScopeKind.h"
#include "core/SuperCleanScopeRoot.h"

#include <string_view>
#include <vector>

namespace tarnwick {

// The locations of one kind, in the order they are offered.
struct SuperCleanScopeGroup {
    SuperCleanScopeKind kind = SuperCleanScopeKind::projectFolders;
    std::vector<SuperCleanScopeRoot> roots;

    bool operator==(const SuperCleanScopeGroup &) const = default;

    std::string_view id() const { return rawValue(kind); }

    // The roots that would be analyzed: selected and existing, in order. An absent location is
    // listed so the window can show it, but is never scanned.
    std::vector<SuperCleanScopeRoot> selectedRoots() const
    {
        std::vector<SuperCleanScopeRoot> selected;
        for (const auto &root : roots) {
            if (root.isSelected && root.exists) {
                selected.push_back(root);
            }
        }
        return selected;
    }
};

}  // namespace tarnwick
