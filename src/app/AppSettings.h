#pragma once

#include "app/CleanupHistoryEntry.h"
#include "app/CleanupStats.h"
#include "app/PreferencesStore.h"
#include "app/ReviewOptions.h"
#include "engine/CleanupAction.h"
#include "engine/CleanupPreset.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

// What the application keeps across restarts, as values. Every stored key is read and written in
// one place, a table in AppSettings.cpp that names each key once with its kind, its fallback and
// how it is written; adding a setting is a field here and a row there.
struct AppSettings {
    std::vector<std::string> roots;
    std::set<std::string> enabledRuleKeys;
    bool includeAggressive = false;
    CleanupPreset cleanupPreset = CleanupPreset::safe;
    CleanupAction cleanupAction = CleanupAction::moveToTrash;
    SizePreset minimumSizePreset = SizePreset::any;
    CandidateSortMode sortMode = CandidateSortMode::largest;
    std::set<std::string> excludedPaths;
    bool analyticsOptIn = false;
    bool automaticUpdateChecksEnabled = true;
    std::vector<CleanupHistoryEntry> cleanupHistory;  // newest first, at most kCleanupHistoryLimit
    CleanupStats cleanupStats;
    // Written only when the first-run guide is left, never by save().
    bool hasSeenOnboarding = false;

    // Reads every key, each falling back to its default when absent or unusable; writes nothing.
    // The default root is looked for in `home` (none when it is empty). `fallbackPreset`, when
    // given, stands in for the stored preset as the fallback of the rule keys and the extra types.
    static AppSettings load(const PreferencesStore &store, const std::string &home,
                            std::optional<CleanupPreset> fallbackPreset = std::nullopt);
    // Writes every key except "hasSeenOnboarding".
    void save(PreferencesStore &store) const;
    // Writes "hasSeenOnboarding" alone.
    void saveOnboarding(PreferencesStore &store) const;

    // The first of ~/Developer, ~/Code, ~/Projects and ~/Workspace that is a folder, if any.
    static std::vector<std::string> defaultRoots(const std::string &home);
};

}  // namespace tarnwick
