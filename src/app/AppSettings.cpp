#include "app/AppSettings.h"

#include "core/PathRules.h"
#include "engine/CleanupRules.h"
#include "platform/FileTests.h"

#include <chrono>
#include <variant>

namespace tarnwick {

namespace {

// What reading a key may depend on: keys loaded before the others (the preset, the start of the
// statistics) and where the default root is looked for.
struct LoadContext {
    std::string home;
    std::optional<CleanupPreset> fallbackPreset;
    bool statsStored = false;

    CleanupPreset preset(const AppSettings &settings) const { return fallbackPreset.value_or(settings.cleanupPreset); }
};

using Load = void (*)(const PreferencesStore &, const char *, AppSettings &, LoadContext &);
using Save = void (*)(PreferencesStore &, const char *, const AppSettings &);

struct Row {
    const char *key;
    // Loaded before every other row, which may fall back on it.
    bool basis;
    // Written by every save; false only for the first-run flag.
    bool savedEachTime;
    Load load;
    Save save;
};

std::vector<std::string> sorted(const std::set<std::string> &values)
{
    return {values.begin(), values.end()};  // a set's order is plain string comparison
}

// A total can never be negative: a stored one that is (a hand-edited file, or a total that wrapped
// in an older build) is not a usable figure, just like a string or a number too large for 64 bits.
int64_t storedTotal(const PreferencesStore &store, const char *key)
{
    const int64_t stored = store.integer(key);
    return stored >= 0 ? stored : 0;
}

template <typename Enum>
Enum storedEnum(const PreferencesStore &store, const char *key, std::optional<Enum> (*fromRaw)(std::string_view),
                Enum fallback)
{
    return fromRaw(store.string(key).value_or("")).value_or(fallback);
}

std::optional<bool> storedFlag(const PreferencesStore &store, const char *key)
{
    const auto value = store.object(key);
    return value && std::holds_alternative<bool>(*value) ? std::optional<bool>(std::get<bool>(*value)) : std::nullopt;
}

std::optional<CleanupAction> cleanupActionFromStored(std::string_view raw)
{
    return raw == "deletePermanently" ? CleanupAction::deletePermanently : CleanupAction::moveToTrash;
}

// In save order; the basis rows are loaded first.
// clang-format off
const Row kRows[] = {
    {"roots", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         const auto stored = store.stringArray(key);
         if (!stored) {
             settings.roots = AppSettings::defaultRoots(context.home);
             return;
         }
         // An empty stored list stays empty; folders that are gone are dropped without a word.
         for (const auto &path : *stored) {
             const std::string standardized = normalizedPath(path);
             if (!path.empty() && isDirectory(standardized)) {
                 settings.roots.push_back(standardized);
             }
         }
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) { store.set(key, settings.roots); }},
    {"enabledRuleKeys", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         if (const auto stored = store.stringArray(key)) {
             const auto known = CleanupRules::allKeys();
             for (const auto &ruleKey : *stored) {
                 if (known.contains(ruleKey)) {
                     settings.enabledRuleKeys.insert(ruleKey);
                 }
             }
         }
         if (settings.enabledRuleKeys.empty()) {
             settings.enabledRuleKeys = CleanupRules::keys(context.preset(settings));
         }
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, sorted(settings.enabledRuleKeys));
     }},
    {"includeAggressive", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.includeAggressive =
             storedFlag(store, key).value_or(CleanupRules::includesAggressive(context.preset(settings)));
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.includeAggressive);
     }},
    {"cleanupPreset", true, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.cleanupPreset = storedEnum(store, key, &cleanupPresetFromRaw, CleanupPreset::safe);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, std::string(rawValue(settings.cleanupPreset)));
     }},
    {"cleanupAction", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.cleanupAction = storedEnum(store, key, &cleanupActionFromStored, CleanupAction::moveToTrash);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, std::string(rawValue(settings.cleanupAction)));
     }},
    {"minimumSizePreset", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.minimumSizePreset = storedEnum(store, key, &sizePresetFromRaw, SizePreset::any);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, std::string(rawValue(settings.minimumSizePreset)));
     }},
    {"sortMode", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.sortMode = storedEnum(store, key, &candidateSortModeFromRaw, CandidateSortMode::largest);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, std::string(rawValue(settings.sortMode)));
     }},
    {"excludedPaths", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         // Taken as stored: a kept folder that is gone for now may come back.
         if (const auto stored = store.stringArray(key)) {
             settings.excludedPaths.insert(stored->begin(), stored->end());
         }
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, sorted(settings.excludedPaths));
     }},
    {"analyticsOptIn", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.analyticsOptIn = store.boolean(key);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.analyticsOptIn);
     }},
    {"automaticUpdateChecksEnabled", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.automaticUpdateChecksEnabled = storedFlag(store, key).value_or(true);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.automaticUpdateChecksEnabled);
     }},
    {"cleanupHistory", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         // An unreadable history reads as empty and stays stored until the next save replaces it.
         if (const auto data = store.data(key)) {
             settings.cleanupHistory = decodeCleanupHistory(data->bytes).value_or(std::vector<CleanupHistoryEntry>{});
             if (settings.cleanupHistory.size() > kCleanupHistoryLimit) {
                 settings.cleanupHistory.resize(kCleanupHistoryLimit);
             }
         }
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, PreferenceData{encodeCleanupHistory(settings.cleanupHistory)});
     }},
    // Without a stored start date the statistics start afresh, whatever counters are stored.
    {"statsStartedAt", true, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         const auto startedAt = store.date(key);
         context.statsStored = startedAt.has_value();
         settings.cleanupStats.startedAt = startedAt.value_or(std::chrono::system_clock::now());
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.cleanupStats.startedAt);
     }},
    {"statsCleanedBytes", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.cleanupStats.cleanedBytes = context.statsStored ? storedTotal(store, key) : 0;
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.cleanupStats.cleanedBytes);
     }},
    {"statsCleanedFolders", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.cleanupStats.cleanedFolders = context.statsStored ? storedTotal(store, key) : 0;
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.cleanupStats.cleanedFolders);
     }},
    {"statsMovedToTrashBytes", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.cleanupStats.movedToTrashBytes = context.statsStored ? storedTotal(store, key) : 0;
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.cleanupStats.movedToTrashBytes);
     }},
    {"statsPermanentlyDeletedBytes", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.cleanupStats.permanentlyDeletedBytes = context.statsStored ? storedTotal(store, key) : 0;
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.cleanupStats.permanentlyDeletedBytes);
     }},
    {"statsCleanupRuns", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.cleanupStats.cleanupRuns = context.statsStored ? storedTotal(store, key) : 0;
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.cleanupStats.cleanupRuns);
     }},
    // Removed rather than stored empty when there has been no cleanup.
    {"statsLastCleanupAt", false, true,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &context) {
         settings.cleanupStats.lastCleanupAt = context.statsStored ? store.date(key) : std::nullopt;
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         if (settings.cleanupStats.lastCleanupAt) {
             store.set(key, *settings.cleanupStats.lastCleanupAt);
         } else {
             store.remove(key);
         }
     }},
    {"hasSeenOnboarding", false, false,
     [](const PreferencesStore &store, const char *key, AppSettings &settings, LoadContext &) {
         settings.hasSeenOnboarding = store.boolean(key);
     },
     [](PreferencesStore &store, const char *key, const AppSettings &settings) {
         store.set(key, settings.hasSeenOnboarding);
     }},
};
// clang-format on

}  // namespace

AppSettings AppSettings::load(const PreferencesStore &store, const std::string &home,
                              std::optional<CleanupPreset> fallbackPreset)
{
    AppSettings settings;
    LoadContext context{home, fallbackPreset};
    for (const bool basis : {true, false}) {
        for (const Row &row : kRows) {
            if (row.basis == basis) {
                row.load(store, row.key, settings, context);
            }
        }
    }
    return settings;
}

void AppSettings::save(PreferencesStore &store) const
{
    for (const Row &row : kRows) {
        if (row.savedEachTime) {
            row.save(store, row.key, *this);
        }
    }
}

void AppSettings::saveOnboarding(PreferencesStore &store) const
{
    for (const Row &row : kRows) {
        if (!row.savedEachTime) {
            row.save(store, row.key, *this);
        }
    }
}

std::vector<std::string> AppSettings::defaultRoots(const std::string &home)
{
    if (home.empty()) {
        return {};
    }
    for (const char *name : {"Developer", "Code", "Projects", "Workspace"}) {
        const std::string candidate = normalizedPath(joinPath(home, name));
        if (isDirectory(candidate)) {
            return {candidate};
        }
    }
    return {};
}

}  // namespace tarnwick
