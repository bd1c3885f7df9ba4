#pragma once

#include <string>

namespace tarnwick {

// One line of explanation shown with a guided item: a short title and a sentence of detail.
struct SuperCleanReason {
    std::string title;
    std::string detail;

    bool operator==(const SuperCleanReason &) const = default;
};

}  // namespace tarnwick
