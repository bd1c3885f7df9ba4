// Scan roots and the one-click standard-folder actions.

#include "app/AppState.h"
#include "core/AnalyticsBuckets.h"
#include "core/PathRules.h"
#include "engine/Uuid.h"
#include "platform/FileTests.h"
#include "platform/StandardLocations.h"

namespace tarnwick {

namespace {

std::string homeRelative(const std::vector<std::string> &components)
{
    std::string path;
    for (const auto &component : components) {
        path += path.empty() ? component : "/" + component;
    }
    return path;
}

std::string location(StandardLocation place)
{
    return homeRelative(standardLocationComponents(place));
}

// Texts that name home-relative places say where this system keeps them.
std::string tilde(StandardLocation place)
{
    return "~/" + location(place);
}

} // namespace

void AppState::addRoots(const std::vector<std::string> &paths)
{
    const std::size_t before = m_settings.roots.size();
    std::set<std::string> known(m_settings.roots.begin(), m_settings.roots.end());
    for (const auto &path : paths) {
        if (path.empty()) {
            continue; // standardized it would name the working folder, which nobody chose
        }
        const std::string standardized = normalizedPath(path);
        if (!isDirectory(standardized) || known.contains(standardized)) {
            continue;
        }
        known.insert(standardized);
        auto roots = m_settings.roots;
        roots.push_back(standardized);
        setRoots(std::move(roots));
    }
    const auto added = static_cast<int64_t>(m_settings.roots.size() - before);
    if (added >= 1) {
        track(AnalyticsEvent::folderAdded,
              {{"root_count", AnalyticsBuckets::count(static_cast<int64_t>(m_settings.roots.size()))},
               {"added_count", AnalyticsBuckets::count(added)}});
    }
    setReadyStatus();
}

void AppState::removeRoot(const std::string &path)
{
    const std::string standardized = normalizedPath(path);
    auto roots = m_settings.roots;
    std::erase_if(roots, [&](const std::string &root) { return normalizedPath(root) == standardized; });
    if (roots != m_settings.roots) {
        setRoots(std::move(roots));
    }
    setReadyStatus();
}

void AppState::dismissStandardFolderNotice()
{
    setStandardFolderNotice(std::nullopt);
}

void AppState::addExistingStandardRoots(const std::vector<std::string> &homeRelativeCandidates,
                                        const std::string &singular, const std::string &plural,
                                        const std::string &notFoundTitle, const std::string &notFoundMessage)
{
    const std::set<std::string> before(m_settings.roots.begin(), m_settings.roots.end());
    std::vector<std::string> existing;
    for (const auto &relative : homeRelativeCandidates) {
        const std::string candidate = normalizedPath(joinPath(m_environment.homeFolder, relative));
        if (isDirectory(candidate)) {
            existing.push_back(candidate);
        }
    }
    addRoots(existing);
    std::size_t added = 0;
    for (const auto &root : m_settings.roots) {
        added += before.contains(root) ? 0 : 1;
    }
    if (added > 0) {
        setStatusMessage("Added " + (added == 1 ? "1 " + singular : std::to_string(added) + " " + plural) + ".");
        return;
    }
    if (!existing.empty()) {
        setStatusMessage(existing.size() == 1 ? "That " + singular + " is already added."
                                              : "Those " + plural + " are already added.");
        const std::string noun = existing.size() == 1 ? singular + " is" : plural + " are";
        setStandardFolderNotice(StandardFolderNotice{newUuid(), "Already Added",
                                                     "The matching " + noun + " already in the scan list.", false});
        return;
    }
    setStatusMessage("No " + plural + " found.");
    setStandardFolderNotice(StandardFolderNotice{newUuid(), notFoundTitle, notFoundMessage, true});
}

void AppState::addProjectRoots()
{
    addExistingStandardRoots({"Developer", "Code", "Projects", "Workspace"}, "project folder", "project folders",
                             "No Project Folders Found",
                             "Tarnwick looked for ~/Developer, ~/Code, ~/Projects, and ~/Workspace. Choose the folder "
                             "where you keep your projects instead.");
}

void AppState::addXcodeRoot()
{
    addExistingStandardRoots({location(StandardLocation::developer)}, "Xcode folder", "Xcode folders",
                             "No Xcode Folder Found",
                             "Tarnwick could not find " + tilde(StandardLocation::developer) +
                                 ". Install or open Xcode first, or choose a folder manually.");
}

void AppState::addPackageCacheRoots()
{
    addExistingStandardRoots(
        {".gradle", ".npm", ".docker", location(StandardLocation::pnpmHome), location(StandardLocation::caches)},
        "package cache folder", "package cache folders", "No Package Caches Found",
        "Tarnwick could not find common package cache folders such as ~/.gradle, ~/.npm, " +
            tilde(StandardLocation::pnpmHome) + ", or " + tilde(StandardLocation::caches) +
            ". Choose a folder manually if your caches live somewhere else.");
}

void AppState::addHomebrewRoots()
{
    const bool mac = currentOperatingSystem() == OperatingSystem::macOS;
    addExistingStandardRoots({location(StandardLocation::homebrewCache), location(StandardLocation::homebrewLogs)},
                             "Homebrew folder", "Homebrew folders", "No Homebrew Folders Found",
                             std::string("Tarnwick could not find Homebrew caches or logs in ") +
                                 (mac ? "~/Library" : tilde(StandardLocation::homebrewCache)) +
                                 ". If Homebrew uses a different location, choose it manually.");
}

void AppState::addDockerRoots()
{
    addExistingStandardRoots(
        {".docker", ".colima", location(StandardLocation::dockerDesktopData), location(StandardLocation::limaCache)},
        "Docker folder", "Docker folders", "No Docker or Colima Folders Found",
        "Tarnwick could not find common Docker or Colima folders. If you use Docker data in "
        "another location, choose it manually.");
}

void AppState::addRecommendedRoots()
{
    const bool mac = currentOperatingSystem() == OperatingSystem::macOS;
    addExistingStandardRoots(
        {"Developer", "Code", "Projects", "Workspace", location(StandardLocation::developer), ".gradle", ".npm",
         ".docker", ".colima", location(StandardLocation::pnpmHome), location(StandardLocation::caches)},
        "recommended folder", "recommended folders", "No Recommended Folders Found",
        std::string("Tarnwick could not find common project, Xcode, or package cache folders on ") +
            (mac ? "this Mac" : "this computer") + ". Choose the folder you want to scan manually.");
}

} // namespace tarnwick
