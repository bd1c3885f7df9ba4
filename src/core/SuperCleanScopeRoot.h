#pragma once

#include "core/SuperCleanScopeKind.h"

#include <string>

namespace tarnwick {

// One location the user can include in a guided analysis.
struct SuperCleanScopeRoot {
    std::string id;      // normalizedPath of the location; identifies the root
    std::string path;    // the standardized location
    SuperCleanScopeKind kind = SuperCleanScopeKind::projectFolders;
    std::string source;  // where it came from: "Current folder", "Common folder", "Chosen folder", ...
    bool isSelected = true;
    bool exists = false;  // a directory (links followed) was there when the root was made

    bool operator==(const SuperCleanScopeRoot &) const = default;
};

}  // namespace tarnwick
