// The locations the guided cleanup offers: the application's roots, the common project folders and
// the standard developer locations of this system, each one once; and the user's changes to them.

#include "app/SuperCleanCoordinator.h"

#include "core/PathRules.h"
#include "platform/FileTests.h"
#include "platform/StandardLocations.h"

#include <algorithm>
#include <unordered_set>

namespace tarnwick {

namespace {

SuperCleanScopeRoot makeRoot(const std::string &path, SuperCleanScopeKind kind, std::string source)
{
    const std::string standardized = normalizedPath(path);
    return {standardized, standardized, kind, std::move(source), true, isDirectory(standardized)};
}

std::vector<SuperCleanScopeRoot> uniqueRoots(std::vector<SuperCleanScopeRoot> roots)
{
    std::unordered_set<std::string> seen;
    std::erase_if(roots, [&seen](const SuperCleanScopeRoot &root) { return !seen.insert(root.id).second; });
    return roots;
}

}  // namespace

std::vector<SuperCleanScopeGroup> SuperCleanCoordinator::defaultScopeGroups(
    const std::vector<std::string> &existingRoots) const
{
    const auto home = [this](const std::string &relative) { return joinPath(m_homeFolder, relative); };
    const auto standard = [this](StandardLocation location) { return standardLocationPath(location, m_homeFolder); };
    const auto group = [](SuperCleanScopeKind kind, const std::vector<std::string> &paths, const std::string &source,
                          std::vector<SuperCleanScopeRoot> roots = {}) {
        for (const auto &path : paths) {
            roots.push_back(makeRoot(path, kind, source));
        }
        return SuperCleanScopeGroup{kind, uniqueRoots(std::move(roots))};
    };

    std::vector<SuperCleanScopeRoot> current;
    for (const auto &root : existingRoots) {
        current.push_back(makeRoot(root, SuperCleanScopeKind::projectFolders, "Current folder"));
    }
    const std::string developer = standard(StandardLocation::developer);
    return {
        group(SuperCleanScopeKind::projectFolders,
              {home("Developer"), home("Code"), home("Projects"), home("Workspace")}, "Common folder",
              std::move(current)),
        group(SuperCleanScopeKind::xcodeAndSimulator,
              {joinPath(developer, "Xcode/DerivedData"), joinPath(developer, "Xcode/iOS DeviceSupport"),
               joinPath(developer, "Xcode/Archives"), joinPath(developer, "CoreSimulator")},
              "Known Xcode location"),
        group(SuperCleanScopeKind::packageCaches,
              {home(".npm"), home(".gradle"), standard(StandardLocation::pnpmHome),
               standard(StandardLocation::yarnCache), standard(StandardLocation::homebrewCache),
               standard(StandardLocation::cocoaPodsCache), standard(StandardLocation::swiftPMCache)},
              "Known cache location"),
        group(SuperCleanScopeKind::containers,
              {home(".docker"), home(".colima"), standard(StandardLocation::dockerDesktopData),
               standard(StandardLocation::limaCache)},
              "Container location"),
    };
}

void SuperCleanCoordinator::toggleRoot(const std::string &id)
{
    if (isBusy()) {
        return;
    }
    auto groups = m_scopeGroups;
    for (auto &group : groups) {
        for (auto &root : group.roots) {
            if (root.id == id) {
                root.isSelected = !root.isSelected;
                setScopeGroups(std::move(groups));
                return;
            }
        }
    }
}

void SuperCleanCoordinator::addManualRoots(const std::vector<std::string> &paths)
{
    if (isBusy()) {
        return;
    }
    auto groups = m_scopeGroups;
    const auto projects = std::find_if(groups.begin(), groups.end(), [](const SuperCleanScopeGroup &group) {
        return group.kind == SuperCleanScopeKind::projectFolders;
    });
    if (projects == groups.end()) {
        return;
    }
    for (const auto &path : paths) {
        if (!isDirectory(normalizedPath(path))) {
            continue;
        }
        SuperCleanScopeRoot root = makeRoot(path, SuperCleanScopeKind::projectFolders, "Chosen folder");
        const bool listed = std::any_of(projects->roots.begin(), projects->roots.end(),
                                        [&root](const SuperCleanScopeRoot &other) { return other.id == root.id; });
        if (!listed) {
            projects->roots.push_back(std::move(root));
        }
    }
    setScopeGroups(std::move(groups));
}

}  // namespace tarnwick
