#include "platform/StandardLocations.h"

#include "core/PathRules.h"

namespace tarnwick {

OperatingSystem currentOperatingSystem()
{
#if defined(__APPLE__)
    return OperatingSystem::macOS;
#else
    return OperatingSystem::Linux;
#endif
}

std::vector<std::string> standardLocationComponents(StandardLocation location, OperatingSystem system)
{
    const bool mac = system == OperatingSystem::macOS;
    switch (location) {
    case StandardLocation::pnpmHome:
        return mac ? std::vector<std::string>{"Library", "pnpm"} : std::vector<std::string>{".local", "share", "pnpm"};
    case StandardLocation::pnpmStore:
        return mac ? std::vector<std::string>{"Library", "pnpm", "store"}
                   : std::vector<std::string>{".local", "share", "pnpm", "store"};
    case StandardLocation::caches:
        return mac ? std::vector<std::string>{"Library", "Caches"} : std::vector<std::string>{".cache"};
    case StandardLocation::yarnCache:
        return mac ? std::vector<std::string>{"Library", "Caches", "Yarn"} : std::vector<std::string>{".cache", "yarn"};
    case StandardLocation::homebrewCache:
        return mac ? std::vector<std::string>{"Library", "Caches", "Homebrew"}
                   : std::vector<std::string>{".cache", "Homebrew"};
    case StandardLocation::homebrewLogs:
        return mac ? std::vector<std::string>{"Library", "Logs", "Homebrew"}
                   : std::vector<std::string>{".cache", "Homebrew", "Logs"};
    case StandardLocation::cocoaPodsCache:
        // CocoaPods keeps this location on Linux too.
        return {"Library", "Caches", "CocoaPods"};
    case StandardLocation::swiftPMCache:
        return mac ? std::vector<std::string>{"Library", "Caches", "org.swift.swiftpm"}
                   : std::vector<std::string>{".cache", "org.swift.swiftpm"};
    case StandardLocation::limaCache:
        return mac ? std::vector<std::string>{"Library", "Caches", "lima"} : std::vector<std::string>{".cache", "lima"};
    case StandardLocation::dockerDesktopData:
        return mac ? std::vector<std::string>{"Library", "Containers", "com.docker.docker", "Data"}
                   : std::vector<std::string>{".docker", "desktop", "vms", "0", "data"};
    case StandardLocation::developer:
        // Xcode data has no Linux counterpart; the rules that look there simply find nothing.
        return {"Library", "Developer"};
    }
    return {};
}

std::string standardLocationPath(StandardLocation location, const std::string &home, OperatingSystem system)
{
    std::string path = home;
    for (const auto &component : standardLocationComponents(location, system)) {
        path = joinPath(path, component);
    }
    return path;
}

}  // namespace tarnwick
