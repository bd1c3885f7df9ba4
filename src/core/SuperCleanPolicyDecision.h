#pragma once

#include "core/SuperCleanReason.h"
#include "core/SuperCleanTier.h"

#include <string>
#include <vector>

namespace tarnwick {

// What the policy decided for one item: its tier, whether it starts selected, the reasons in display
// order and the line that tells what cleaning it would mean.
struct SuperCleanPolicyDecision {
    SuperCleanTier tier = SuperCleanTier::review;
    bool isAutoSelected = false;
    std::vector<SuperCleanReason> reasons;
    std::string consequence;

    bool operator==(const SuperCleanPolicyDecision &) const = default;
};

}  // namespace tarnwick
