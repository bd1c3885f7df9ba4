#pragma once

#include "core/FileSystemSnapshot.h"
#include "core/SuperCleanActivityEvidence.h"
#include "core/SuperCleanRuleRisk.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

// The input of one classification: the found folder as the policy needs it, with its evidence.
struct SuperCleanCandidateSeed {
    std::string id;
    std::string path;
    std::string ruleKey;
    std::string category;
    SuperCleanRuleRisk ruleRisk = SuperCleanRuleRisk::safe;
    int64_t sizeBytes = 0;
    std::optional<std::chrono::system_clock::time_point> modifiedAt;
    std::string approvedRootPath;
    SuperCleanActivityEvidence evidence;
    std::optional<FileSystemSnapshot> snapshot;

    bool operator==(const SuperCleanCandidateSeed &) const = default;
};

}  // namespace tarnwick
