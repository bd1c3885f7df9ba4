#include "engine/SuperCleanAnalysis.h"

#include "core/CalendarDays.h"
#include "core/NaturalOrder.h"
#include "core/PathRules.h"
#include "core/SuperCleanPolicy.h"
#include "engine/CleanupRules.h"
#include "engine/Tarnwicker.h"
#include "platform/FileTests.h"
#include "platform/RunningApplications.h"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <unordered_map>
#include <unordered_set>

namespace tarnwick::SuperCleanAnalysis {

namespace {

SuperCleanRuleRisk ruleRisk(CleanupRisk risk)
{
    switch (risk) {
    case CleanupRisk::safe:
        return SuperCleanRuleRisk::safe;
    case CleanupRisk::review:
        return SuperCleanRuleRisk::review;
    case CleanupRisk::advanced:
        return SuperCleanRuleRisk::advanced;
    }
    return SuperCleanRuleRisk::advanced;
}

// Rules whose folders only ever hold what a tool generated, whatever their own risk says.
const std::set<std::string> &strongContextKeys()
{
    static const std::set<std::string> keys{
        "Pods",        ".gradle",      ".dart_tool",   ".build",      "target",      "DerivedData",
        "CoreSimulator Caches", "__pycache__", ".pytest_cache", ".mypy_cache", ".ruff_cache", ".tox",
        ".next",       ".nuxt",        ".svelte-kit",  ".turbo",      "Homebrew Logs"};
    return keys;
}

std::string lowercased(std::string text)
{
    for (char &c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool isAlwaysKeep(const std::string &path, const std::set<std::string> &alwaysKeep)
{
    return std::any_of(alwaysKeep.begin(), alwaysKeep.end(), [&path](const std::string &kept) {
        return isPathInside(path, kept) || isPathInside(kept, path);
    });
}

int tierRank(SuperCleanTier tier)
{
    return static_cast<int>(std::find(allSuperCleanTiers.begin(), allSuperCleanTiers.end(), tier) -
                            allSuperCleanTiers.begin());
}

}  // namespace

ScanOptions scanOptions(const Context &context)
{
    ScanOptions options;
    options.roots = context.roots;
    options.includeAggressive = true;
    options.selectedTargetKeys = CleanupRules::allKeys();
    options.minimumSizeBytes = 0;
    options.excludedPaths = context.alwaysKeep;
    options.allowRootMatches = true;
    return options;
}

std::optional<SuperCleanItem> makeItem(const CleanupCandidate &candidate, const Context &context, Timestamp now)
{
    const auto root = std::find_if(context.roots.begin(), context.roots.end(),
                                   [&candidate](const std::string &path) { return isPathInside(candidate.path, path); });
    if (root == context.roots.end()) {
        return std::nullopt;
    }
    std::optional<FileSystemSnapshot> snapshot;
    try {
        snapshot = FileSystemSnapshot::capture(candidate.path, now);
    } catch (const FileSystemSnapshotError &) {
        return std::nullopt;
    }
    SuperCleanCandidateSeed seed;
    seed.id = candidate.id;
    seed.path = candidate.path;
    seed.ruleKey = candidate.key;
    seed.category = candidate.category;
    seed.ruleRisk = ruleRisk(candidate.risk);
    seed.sizeBytes = candidate.size;
    seed.modifiedAt = candidate.modifiedAt;
    seed.approvedRootPath = *root;
    seed.evidence = evidence(candidate, *root, *snapshot, context, now);
    seed.snapshot = snapshot;
    SuperCleanPolicyDecision decision = SuperCleanPolicy::classify(seed);
    return SuperCleanItem{candidate.id, candidate, std::move(*snapshot), *root, std::move(decision),
                          std::move(seed.evidence.notes)};
}

SuperCleanActivityEvidence evidence(const CleanupCandidate &candidate, const std::string &approvedRoot,
                                    const FileSystemSnapshot &snapshot, const Context &context, Timestamp now)
{
    SuperCleanActivityEvidence found;
    found.hasRequiredManifest = hasRequiredManifest(candidate);
    found.daysInactive = daysInactive(activityDate(candidate, approvedRoot), now);
    found.hasStrongGeneratedContext = hasStrongGeneratedContext(candidate, found.hasRequiredManifest);
    found.isRelatedToolRunning = isRelatedToolRunning(candidate);
    if (context.processUsage && !context.processUsage->empty()) {
        if (const auto user = processUsing(candidate.path, *context.processUsage)) {
            found.isRelatedToolRunning = true;
            found.notes.push_back(inUseText(*user));
        }
    }
    found.isAlwaysKeep = isAlwaysKeep(candidate.path, context.alwaysKeep);
    // A link or a mount point could make the item something other than the folder that was reviewed.
    found.pathIsCertain =
        !snapshot.isSymbolicLink && !snapshot.isMountPoint && isPathInside(candidate.path, approvedRoot);
    found.changedDuringScan = false;
    return found;
}

std::optional<Timestamp> activityDate(const CleanupCandidate &candidate, const std::string &approvedRoot)
{
    const std::optional<Timestamp> own = candidate.modifiedAt;
    const std::string root = normalizedPath(approvedRoot);
    std::string folder(parentPath(candidate.path));
    while (isPathInside(folder, root)) {
        if (const auto repository = Tarnwicker::modifiedDate(joinPath(folder, ".git"))) {
            return !own || *repository > *own ? repository : own;
        }
        if (folder == "/") {
            break;
        }
        folder = std::string(parentPath(folder));
    }
    return own;
}

std::optional<int64_t> daysInactive(const std::optional<Timestamp> &date, Timestamp now)
{
    if (!date) {
        return std::nullopt;
    }
    return std::max<int64_t>(0, calendarDaysBetween(*date, now));
}

bool hasRequiredManifest(const CleanupCandidate &candidate)
{
    if (candidate.key != "node_modules") {
        return true;
    }
    const std::string parent(parentPath(candidate.path));
    for (const char *name : {"package.json", "package-lock.json", "npm-shrinkwrap.json", "yarn.lock", "pnpm-lock.yaml",
                             "bun.lockb", "bun.lock"}) {
        if (fileExists(joinPath(parent, name))) {
            return true;
        }
    }
    return false;
}

bool hasStrongGeneratedContext(const CleanupCandidate &candidate, bool hasRequiredManifest)
{
    if (candidate.key == "node_modules") {
        return hasRequiredManifest;
    }
    if (strongContextKeys().contains(candidate.key)) {
        return true;
    }
    if (candidate.key == "build" || candidate.key == "dist" || candidate.key == "coverage") {
        return false;
    }
    return candidate.risk == CleanupRisk::safe;
}

std::optional<ProcessUser> processUsing(const std::string &path, const ProcessUsage &usage)
{
    // The process table names files by their real paths.
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return usage.userOf(resolved);
}

bool isRelatedToolRunning(const CleanupCandidate &candidate)
{
    if (candidate.category == "Xcode" || candidate.category == "iOS") {
        for (const auto &name : runningApplicationNames()) {
            const std::string lower = lowercased(name);
            if (lower == "xcode" || lower == "simulator") {
                return true;
            }
        }
        return false;
    }
    if (candidate.category != "Docker") {
        return false;
    }
    // The client and Colima run as the user; the engine (dockerd, containerd) runs as root, and
    // Docker Desktop's backend processes are named com.docker.* (cut to 15 bytes by the kernel).
    for (const auto &name : runningApplicationNames(true)) {
        const std::string lower = lowercased(name);
        if (lower == "docker" || lower == "colima" || lower == "dockerd" || lower == "containerd" ||
            lower.starts_with("com.docker.")) {
            return true;
        }
    }
    return false;
}

bool comesBefore(const SuperCleanItem &a, const SuperCleanItem &b)
{
    const int rankA = tierRank(a.decision.tier);
    const int rankB = tierRank(b.decision.tier);
    if (rankA != rankB) {
        return rankA < rankB;
    }
    if (a.candidate.size != b.candidate.size) {
        return a.candidate.size > b.candidate.size;
    }
    return naturalCompare(a.candidate.path, b.candidate.path) < 0;
}

std::vector<SuperCleanItem> sortedItems(std::vector<SuperCleanItem> items)
{
    // One collation key per path instead of one collation per comparison.
    struct Keyed {
        int rank;
        int64_t size;
        std::string pathKey;
        std::size_t index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        keyed.push_back({tierRank(items[i].decision.tier), items[i].candidate.size,
                         naturalSortKey(items[i].candidate.path), i});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.rank != b.rank) {
            return a.rank < b.rank;
        }
        if (a.size != b.size) {
            return a.size > b.size;
        }
        return a.pathKey < b.pathKey;
    });
    std::vector<SuperCleanItem> sorted;
    sorted.reserve(items.size());
    for (const auto &entry : keyed) {
        sorted.push_back(std::move(items[entry.index]));
    }
    return sorted;
}

std::vector<SuperCleanItem> reconciled(std::vector<SuperCleanItem> items,
                                       const std::vector<CleanupCandidate> &finalCandidates, const Context &context,
                                       Timestamp now)
{
    std::unordered_set<std::string> listed;
    for (const auto &item : items) {
        listed.insert(item.id);
    }
    for (const auto &candidate : finalCandidates) {
        if (listed.contains(candidate.id)) {
            continue;
        }
        if (auto item = makeItem(candidate, context, now)) {
            listed.insert(item->id);
            items.push_back(std::move(*item));
        }
    }
    std::vector<std::string> paths;
    paths.reserve(items.size());
    for (const auto &item : items) {
        paths.push_back(item.candidate.path);
    }
    const auto outermost = SuperCleanPolicy::prunedNestedCandidatePaths(paths);
    const std::unordered_set<std::string> kept(outermost.begin(), outermost.end());
    std::erase_if(items, [&kept](const SuperCleanItem &item) { return !kept.contains(item.candidate.path); });
    return sortedItems(std::move(items));
}

}  // namespace tarnwick::SuperCleanAnalysis
