#pragma once

#include "core/FileSystemSnapshot.h"
#include "core/SuperCleanPolicyDecision.h"
#include "engine/CleanupCandidate.h"

#include <string>
#include <vector>

namespace tarnwick {

// One folder of the guided review: what the scanner found, who the entry was when it was found (the
// cleaning touches it only if it still is), the chosen root it lies in, and the policy's verdict.
struct SuperCleanItem {
    std::string id;  // the candidate's id
    CleanupCandidate candidate;
    FileSystemSnapshot snapshot;
    std::string approvedRoot;  // the first scanned root that contains the candidate
    SuperCleanPolicyDecision decision;
    std::vector<std::string> notes;  // what the evidence noted beside the decision ("In use by ...")

    bool operator==(const SuperCleanItem &) const = default;
};

}  // namespace tarnwick
