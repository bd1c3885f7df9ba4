#pragma once

#include "engine/CleanupRisk.h"

#include <string>
#include <variant>
#include <vector>

namespace tarnwick {

// How a rule recognises a directory. Each alternative carries the values its test needs.
struct RuleMatcher {
    // Its own name equals `name`.
    struct Exact {
        std::string name;
        bool operator==(const Exact &) const = default;
    };
    // Its own name equals `name` and at least one sibling entry exists beside it.
    struct ExactWithSibling {
        std::string name;
        std::vector<std::string> siblings;
        bool operator==(const ExactWithSibling &) const = default;
    };
    // Its own path ends with these components.
    struct PathSuffix {
        std::vector<std::string> components;
        bool operator==(const PathSuffix &) const = default;
    };
    // Its parent's path ends with these components.
    struct ChildOfPathSuffix {
        std::vector<std::string> components;
        bool operator==(const ChildOfPathSuffix &) const = default;
    };
    // Its extension equals `extension` ignoring case, and its parent's path holds `parentSuffix`
    // as a consecutive run of components.
    struct PackageExtension {
        std::string extension;
        std::vector<std::string> parentSuffix;
        bool operator==(const PackageExtension &) const = default;
    };
    // "Build" inside "Carthage".
    struct CarthageBuild {
        bool operator==(const CarthageBuild &) const = default;
    };
    // A simulator device folder whose device record says it is unavailable.
    struct UnavailableSimulatorDevice {
        bool operator==(const UnavailableSimulatorDevice &) const = default;
    };

    using Kind = std::variant<Exact, ExactWithSibling, PathSuffix, ChildOfPathSuffix, PackageExtension,
                              CarthageBuild, UnavailableSimulatorDevice>;
    Kind kind;

    bool operator==(const RuleMatcher &) const = default;
};

struct CleanupRule {
    std::string key;
    std::string category;
    std::string description;
    CleanupRisk risk = CleanupRisk::safe;
    bool aggressive = false;
    RuleMatcher matcher;

    const std::string &id() const { return key; }

    // Safety summary, recreation summary and the risk sentence, joined by single spaces.
    std::string guidanceSummary() const;

    bool operator==(const CleanupRule &) const = default;
};

}  // namespace tarnwick
