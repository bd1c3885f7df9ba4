#pragma once

#include "engine/CleanupRisk.h"
#include "platform/FileIdentity.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

using Timestamp = std::chrono::system_clock::time_point;

// Where a scan found a folder and who it was then. A cleanup reaches the folder again from that
// root without following a link and touches it only while it is still that entry, so a folder on
// the way swapped for a link between the scan and the cleanup cannot steer it elsewhere. The
// scanner fills it in; it is never shown or stored.
struct ScanOrigin {
    std::string root;          // the scan root the folder was found under, standardized
    FileIdentity rootIdentity; // of the folder the root named (a link there followed)
    FileIdentity identity;     // of the folder itself

    bool operator==(const ScanOrigin &) const = default;
};

// One found folder. Its id is its standardized path, so two scans of a folder give the same id.
struct CleanupCandidate {
    std::string id;
    std::string path;
    std::string key;
    std::string category;
    std::string description;
    CleanupRisk risk = CleanupRisk::safe;
    int64_t size = 0;
    std::optional<Timestamp> modifiedAt;
    std::optional<ScanOrigin> origin;

    bool operator==(const CleanupCandidate &) const = default;
};

} // namespace tarnwick
