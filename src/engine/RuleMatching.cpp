#include "engine/RuleMatching.h"

#include "core/PathRules.h"
#include "engine/SimulatorDeviceRecord.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

namespace tarnwick {

namespace {

// Whether an entry exists beside the folder, following links: a dangling link does not count.
bool siblingExists(const FolderLocation &folder, const std::string &sibling)
{
    struct stat status {};
    if (folder.parentFd == AT_FDCWD) {
        const std::string path = joinPath(parentPath(folder.path), sibling);
        return ::stat(path.c_str(), &status) == 0;
    }
    return ::fstatat(folder.parentFd, sibling.c_str(), &status, 0) == 0;
}

const std::vector<std::string> &simulatorDevicesSuffix()
{
    static const std::vector<std::string> suffix{"Library", "Developer", "CoreSimulator", "Devices"};
    return suffix;
}

struct MatcherTest {
    const FolderLocation &folder;
    std::string_view name = lastPathComponent(folder.path);

    bool operator()(const RuleMatcher::Exact &m) const { return name == m.name; }

    bool operator()(const RuleMatcher::ExactWithSibling &m) const
    {
        if (name != m.name) {
            return false;
        }
        for (const auto &sibling : m.siblings) {
            if (siblingExists(folder, sibling)) {
                return true;
            }
        }
        return false;
    }

    bool operator()(const RuleMatcher::PathSuffix &m) const
    {
        return pathEndsWithComponents(folder.path, m.components);
    }

    bool operator()(const RuleMatcher::ChildOfPathSuffix &m) const
    {
        return folder.path != "/" && pathEndsWithComponents(parentPath(folder.path), m.components);
    }

    bool operator()(const RuleMatcher::PackageExtension &m) const
    {
        return equalsIgnoringAsciiCase(pathExtension(name), m.extension) &&
               pathContainsComponentRun(parentPath(folder.path), m.parentSuffix);
    }

    bool operator()(const RuleMatcher::CarthageBuild &) const
    {
        return name == "Build" && lastPathComponent(parentPath(folder.path)) == "Carthage";
    }

    bool operator()(const RuleMatcher::UnavailableSimulatorDevice &) const
    {
        // The parent's last four components must be Library/Developer/CoreSimulator/Devices; a parent
        // of exactly those four components (at the file-system root) qualifies too.
        if (folder.path == "/" || !pathEndsWithComponents(parentPath(folder.path), simulatorDevicesSuffix())) {
            return false;
        }
        return isUnavailableSimulatorDevice(folder.parentFd, folder.name);
    }
};

}  // namespace

bool matches(const RuleMatcher &matcher, const FolderLocation &folder)
{
    return std::visit(MatcherTest{folder}, matcher.kind);
}

const CleanupRule *firstMatchingRule(const std::vector<CleanupRule> &rules, const FolderLocation &folder)
{
    const MatcherTest test{folder};
    for (const auto &rule : rules) {
        if (std::visit(test, rule.matcher.kind)) {
            return &rule;
        }
    }
    return nullptr;
}

}  // namespace tarnwick
