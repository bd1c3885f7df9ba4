#pragma once

#include <string>

namespace tarnwick {

// A candidate whose removal failed, with the system's description of the error.
struct CleanupFailure {
    std::string id;  // a fresh random UUID
    std::string path;
    std::string message;

    bool operator==(const CleanupFailure &) const = default;
};

}  // namespace tarnwick
