#pragma once

#include <string>
#include <vector>

namespace tarnwick {

enum class OperatingSystem { macOS, Linux };

// The system this build runs on.
OperatingSystem currentOperatingSystem();

// Home-relative places where developer tools keep data that differ between operating systems.
// Everything the catalogue, the standard-folder actions and the guided scopes name under the home
// folder comes from this one table.
enum class StandardLocation {
    pnpmHome,           // pnpm's data folder
    pnpmStore,          // its content-addressed store
    caches,             // the per-user cache folder
    yarnCache,
    homebrewCache,
    homebrewLogs,
    cocoaPodsCache,
    swiftPMCache,
    limaCache,
    dockerDesktopData,  // Docker Desktop's VM and container data
    developer,          // Xcode's per-user developer data (Library/Developer)
};

// Components of the location below the home folder on the given system.
std::vector<std::string> standardLocationComponents(StandardLocation location,
                                                    OperatingSystem system = currentOperatingSystem());

// Absolute path of the location under `home`.
std::string standardLocationPath(StandardLocation location, const std::string &home,
                                 OperatingSystem system = currentOperatingSystem());

}  // namespace tarnwick
