#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// What the guided scan learned about one found folder; the policy decides from this alone.
struct SuperCleanActivityEvidence {
    std::optional<int64_t> daysInactive;     // whole days since the last activity; absent when unknown
    bool hasStrongGeneratedContext = false;  // project or tool evidence that the folder is generated
    bool hasRequiredManifest = false;        // node_modules beside a manifest or lockfile; true for other rules
    bool isRelatedToolRunning = false;
    bool isAlwaysKeep = false;               // inside, or containing, an Always Keep path
    bool changedDuringScan = false;
    bool pathIsCertain = false;              // identity and place inside the approved root proven
    std::vector<std::string> notes;          // diagnostics only; the policy never reads them

    bool operator==(const SuperCleanActivityEvidence &) const = default;
};

}  // namespace tarnwick
