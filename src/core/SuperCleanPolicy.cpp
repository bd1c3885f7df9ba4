#include "core/SuperCleanPolicy.h"

#include "core/ByteCountFormatter.h"
#include "core/NaturalOrder.h"
#include "core/PathRules.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace tarnwick::SuperCleanPolicy {

namespace {

// Rules whose folders hold local environments, archives or VM data: never recommended, whatever the
// catalogue's own risk says.
const std::set<std::string> &neverRecommendedKeys()
{
    static const std::set<std::string> keys{"Xcode Archive", "Simulator Runtime", "Docker Desktop Data",
                                            "Colima Data",   ".venv",             "venv"};
    return keys;
}

const std::set<std::string> &dependencyKeys()
{
    static const std::set<std::string> keys{"node_modules", "Pods", ".build", "target", ".gradle"};
    return keys;
}

// Names that projects also use for output they mean to keep.
const std::set<std::string> &genericKeys()
{
    static const std::set<std::string> keys{"build", "dist", "coverage"};
    return keys;
}

SuperCleanPolicyDecision decision(SuperCleanTier tier, std::string title, std::string detail, std::string consequence)
{
    return {tier, false, {{std::move(title), std::move(detail)}}, std::move(consequence)};
}

std::size_t depth(const std::string &path)
{
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')) - (path == "/" ? 1 : 0);
}

// Whether `path` equals or lies inside one of `kept`. The paths are normalized, so a containing path
// can only be one of the prefixes of `path` that end before a "/" (or "/" itself): looking those up
// costs the path's depth, not the number of kept paths, which matters when pruning a large scan.
bool isInsideAny(const std::string &path, const std::unordered_set<std::string> &kept)
{
    if (kept.contains("/") || kept.contains(path)) {
        return true;
    }
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        if (kept.contains(path.substr(0, slash))) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> outermostPaths(const std::vector<std::string> &paths)
{
    struct Entry {
        std::string path;
        std::size_t depth;
        std::string sortKey;
    };
    std::set<std::string> unique;
    for (const auto &path : paths) {
        unique.insert(normalizedPath(path));
    }
    std::vector<Entry> entries;
    entries.reserve(unique.size());
    for (const auto &path : unique) {
        entries.push_back({path, depth(path), naturalSortKey(path)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.depth != b.depth ? a.depth < b.depth : a.sortKey < b.sortKey;
    });
    std::unordered_set<std::string> kept;
    std::vector<Entry> result;
    for (auto &entry : entries) {
        if (!isInsideAny(entry.path, kept)) {
            kept.insert(entry.path);
            result.push_back(std::move(entry));
        }
    }
    std::sort(result.begin(), result.end(), [](const Entry &a, const Entry &b) { return a.sortKey < b.sortKey; });
    std::vector<std::string> sorted;
    sorted.reserve(result.size());
    for (auto &entry : result) {
        sorted.push_back(std::move(entry.path));
    }
    return sorted;
}

}  // namespace

int inactivityThreshold(const std::string &ruleKey)
{
    return dependencyKeys().contains(ruleKey) ? 30 : 7;
}

SuperCleanPolicyDecision classify(const SuperCleanCandidateSeed &seed)
{
    const SuperCleanActivityEvidence &evidence = seed.evidence;
    const std::string &key = seed.ruleKey;
    const bool generic = genericKeys().contains(key);
    if (evidence.isAlwaysKeep) {
        return decision(seed.ruleRisk == SuperCleanRuleRisk::advanced ? SuperCleanTier::advanced : SuperCleanTier::review,
                        "Always Keep", "This path is on the local Always Keep list.",
                        "Tarnwick will leave this item unselected.");
    }
    if (!evidence.pathIsCertain) {
        return decision(SuperCleanTier::advanced, "Path needs review",
                        "Tarnwick could not prove the item identity safely enough for automatic selection.",
                        "Review the path before taking any action.");
    }
    if (evidence.changedDuringScan) {
        return decision(SuperCleanTier::review, "Changed during scan",
                        "The item changed while Tarnwick was analyzing it.",
                        "Tarnwick will re-check this item before cleanup.");
    }
    if (evidence.isRelatedToolRunning) {
        return decision(SuperCleanTier::review, "Related tool is running",
                        "A related developer tool appears to be active.",
                        "Close the related tool before cleaning if you choose this item.");
    }
    if (seed.ruleRisk == SuperCleanRuleRisk::advanced || neverRecommendedKeys().contains(key)) {
        return decision(SuperCleanTier::advanced, "Advanced cleanup target",
                        "This can remove local environments, archives, VM data, or other state that may not be "
                        "trivially recreated.",
                        "Only select this after reviewing the exact path and consequence.");
    }
    if (seed.ruleRisk == SuperCleanRuleRisk::review) {
        return decision(SuperCleanTier::review, "Review required",
                        "This folder type is useful to inspect before cleanup.", "Review this item before selecting it.");
    }
    if (key == "node_modules" && !evidence.hasRequiredManifest) {
        return decision(SuperCleanTier::review, "Missing JavaScript manifest",
                        "node_modules must be beside package.json or a recognized lockfile before it can be "
                        "recommended.",
                        "Confirm this is a generated dependency folder before selecting it.");
    }
    if (generic && !evidence.hasStrongGeneratedContext) {
        return decision(SuperCleanTier::review, "Generic folder name",
                        key + " can contain generated output or intentional artifacts depending on the project.",
                        "Review the path before selecting it.");
    }
    if (!evidence.hasStrongGeneratedContext) {
        return decision(SuperCleanTier::review, "Generated context not strong enough",
                        "Tarnwick needs stronger project or tool evidence before recommending this automatically.",
                        "Review this item before selecting it.");
    }
    if (!evidence.daysInactive) {
        return decision(SuperCleanTier::review, "Activity unknown",
                        "Tarnwick could not determine recent activity for this item.",
                        "Review this item before selecting it.");
    }
    const int64_t days = *evidence.daysInactive;
    const int threshold = inactivityThreshold(key);
    if (days < threshold) {
        return decision(SuperCleanTier::review, "Recently active",
                        "Last activity was " + std::to_string(days) + " days ago; Tarnwick requires at least " +
                            std::to_string(threshold) + " days for this folder type.",
                        "Keep this unselected unless you know the project is inactive.");
    }
    return {SuperCleanTier::recommended,
            true,
            {{"High-confidence generated folder",
              "The rule, project context, inactivity, and local evidence all match Tarnwick's safest criteria."},
             {"Project inactive for " + std::to_string(days) + " days",
              "This exceeds the " + std::to_string(threshold) + "-day inactivity threshold for " + key + "."},
             {formatByteCount(seed.sizeBytes), "Measured as allocated storage on disk where available."}},
            "Usually recreated by the related developer tool when needed."};
}

std::vector<std::string> deduplicatedRootPaths(const std::vector<std::string> &paths)
{
    return outermostPaths(paths);
}

std::vector<std::string> prunedNestedCandidatePaths(const std::vector<std::string> &paths)
{
    return outermostPaths(paths);
}

}  // namespace tarnwick::SuperCleanPolicy
