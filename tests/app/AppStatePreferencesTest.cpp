#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "TestNames.h"
#include "app/InMemoryPreferencesStore.h"
#include "app/JsonFilePreferencesStore.h"
#include "engine/CleanupRules.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::isolatedEnvironment;

CleanupHistoryEntry historyEntry(int index, int64_t bytes = 1000)
{
    CleanupHistoryEntry entry;
    char id[40];
    std::snprintf(id, sizeof id, "0000000%d-AAAA-4BBB-8CCC-%012d", index % 10, index);
    entry.id = id;
    entry.date = Timestamp(std::chrono::seconds(1'700'000'000 + index));
    entry.actionRawValue = "moveToTrash";
    entry.folderCount = index;
    entry.bytes = bytes;
    entry.folderSummary = "node_modules";
    entry.failureCount = 0;
    entry.cancelled = index % 2 == 0;
    return entry;
}

std::vector<CleanupHistoryEntry> history(int count)
{
    std::vector<CleanupHistoryEntry> entries;
    for (int i = 0; i < count; ++i) {
        entries.push_back(historyEntry(i));
    }
    return entries;
}

class AppStatePreferences : public ::testing::Test {
protected:
    std::unique_ptr<AppState> make() { return std::make_unique<AppState>(store, isolatedEnvironment(home.root())); }

    FixtureTree home;
    InMemoryPreferencesStore store;
};

TEST_F(AppStatePreferences, FirstLaunchPicksTheFirstProjectFolderThatExists)
{
    auto state = make();
    EXPECT_TRUE(state->roots().empty());
    EXPECT_EQ(state->statusMessage(), "Choose a folder to scan.");
    EXPECT_TRUE(state->isOnboardingPresented());
    EXPECT_TRUE(store.values().empty()) << "construction writes nothing";

    home.folder("Projects");
    home.folder("Code");
    state = make();
    EXPECT_EQ(state->roots(), std::vector<std::string>{home.path("Code")});
    EXPECT_EQ(state->statusMessage(), "Ready to scan.");
    EXPECT_EQ(state->scanProgress().message, "Ready");
    EXPECT_EQ(state->cleanupPreset(), CleanupPreset::safe);
    EXPECT_EQ(state->enabledRuleKeys(), CleanupRules::keys(CleanupPreset::safe));
    EXPECT_FALSE(state->includeAggressive());
    EXPECT_TRUE(state->automaticUpdateChecksEnabled());
    EXPECT_EQ(state->updateCheckState().phase, UpdateCheckPhase::checking) << "the automatic check starts";
}

TEST_F(AppStatePreferences, StoredRootsAreKeptInOrderWhileTheyExist)
{
    home.folder("Code");
    home.folder("b");
    home.folder("a");
    store.set("roots", std::vector<std::string>{});
    EXPECT_TRUE(make()->roots().empty()) << "an empty stored list gets no default";

    store.set("roots", std::vector<std::string>{home.path("b"), home.path("gone"), home.path("a/./"),
                                                home.path("Code/../b")});
    EXPECT_EQ(make()->roots(), (std::vector<std::string>{home.path("b"), home.path("a"), home.path("b")}));
}

TEST_F(AppStatePreferences, PresetRulesAndAggressiveFallBackSensibly)
{
    store.set("cleanupPreset", std::string("extreme"));
    auto state = make();
    EXPECT_EQ(state->cleanupPreset(), CleanupPreset::safe);
    EXPECT_EQ(state->enabledRuleKeys().size(), 17u);

    store.set("cleanupPreset", std::string("deep"));
    store.set("enabledRuleKeys", std::vector<std::string>{"nonsense", "gone"});
    state = make();
    EXPECT_EQ(state->enabledRuleKeys().size(), 38u);
    EXPECT_TRUE(state->includeAggressive());

    store.set("enabledRuleKeys", std::vector<std::string>{"nonsense", "dist"});
    store.set("includeAggressive", false);
    state = make();
    EXPECT_EQ(state->enabledRuleKeys(), std::set<std::string>{"dist"});
    EXPECT_FALSE(state->includeAggressive());

    store.set("includeAggressive", std::string("yes"));  // not a boolean: the preset decides
    EXPECT_TRUE(make()->includeAggressive());
}

TEST_F(AppStatePreferences, OtherSettingsFallBackToTheirDefaults)
{
    store.set("cleanupAction", std::string("shred"));
    store.set("minimumSizePreset", std::string("mb300"));
    store.set("sortMode", int64_t{3});
    store.set("automaticUpdateChecksEnabled", std::string("false"));
    store.set("analyticsOptIn", int64_t{1});
    auto state = make();
    EXPECT_EQ(state->cleanupAction(), CleanupAction::moveToTrash);
    EXPECT_EQ(state->minimumSizePreset(), SizePreset::any);
    EXPECT_EQ(state->sortMode(), CandidateSortMode::largest);
    EXPECT_TRUE(state->automaticUpdateChecksEnabled());
    EXPECT_FALSE(state->analyticsOptIn());

    store.set("cleanupAction", std::string("deletePermanently"));
    store.set("minimumSizePreset", std::string("gb2"));
    store.set("sortMode", std::string("lastModified"));
    store.set("automaticUpdateChecksEnabled", false);
    store.set("hasSeenOnboarding", true);
    state = make();
    EXPECT_EQ(state->cleanupAction(), CleanupAction::deletePermanently);
    EXPECT_EQ(state->minimumSizePreset(), SizePreset::gb2);
    EXPECT_EQ(state->sortMode(), CandidateSortMode::lastModified);
    EXPECT_FALSE(state->automaticUpdateChecksEnabled());
    EXPECT_EQ(state->updateCheckState().phase, UpdateCheckPhase::idle);
    EXPECT_FALSE(state->isOnboardingPresented());
}

TEST_F(AppStatePreferences, OnboardingIsRememberedOnlyWhenCompleted)
{
    auto state = make();
    ASSERT_TRUE(state->isOnboardingPresented());
    state->setIsOnboardingPresented(false);
    EXPECT_FALSE(state->isOnboardingPresented());
    EXPECT_FALSE(store.object("hasSeenOnboarding").has_value());
    EXPECT_TRUE(make()->isOnboardingPresented()) << "shown again at the next start";

    state = make();
    state->completeOnboarding();
    EXPECT_FALSE(state->isOnboardingPresented());
    EXPECT_TRUE(store.boolean("hasSeenOnboarding"));
    EXPECT_FALSE(make()->isOnboardingPresented());
}

TEST_F(AppStatePreferences, OnlyPathsInsideTheHomeFolderAreAbbreviated)
{
    const auto state = make();
    const std::string root = home.root();
    EXPECT_EQ(state->abbreviatingHome(root), "~");
    EXPECT_EQ(state->abbreviatingHome(root + "/Code/app"), "~/Code/app");
    EXPECT_EQ(state->abbreviatingHome(root + "2/Code"), root + "2/Code");
    EXPECT_EQ(state->abbreviatingHome("/opt/code"), "/opt/code");
}

TEST_F(AppStatePreferences, StatisticsNeedTheirStartDate)
{
    store.set("statsCleanedBytes", int64_t{5000});
    store.set("statsCleanupRuns", int64_t{3});
    const auto before = std::chrono::system_clock::now();
    auto stats = make()->cleanupStats();
    EXPECT_GE(stats.startedAt, before);
    EXPECT_EQ(stats.cleanedBytes, 0);
    EXPECT_EQ(stats.cleanupRuns, 0);

    const Timestamp started(std::chrono::seconds(1'600'000'000));
    store.set("statsStartedAt", started);
    store.set("statsCleanedBytes", std::string("5000"));
    store.set("statsMovedToTrashBytes", int64_t{4000});
    store.set("statsPermanentlyDeletedBytes", 1000.0);
    store.set("statsCleanedFolders", int64_t{7});
    store.set("statsLastCleanupAt", std::string("yesterday"));
    stats = make()->cleanupStats();
    EXPECT_EQ(stats.startedAt, started);
    EXPECT_EQ(stats.cleanedBytes, 0) << "a string is not a number";
    EXPECT_EQ(stats.movedToTrashBytes, 4000);
    EXPECT_EQ(stats.permanentlyDeletedBytes, 1000);
    EXPECT_EQ(stats.cleanedFolders, 7);
    EXPECT_EQ(stats.cleanupRuns, 3);
    EXPECT_FALSE(stats.lastCleanupAt.has_value());
}

TEST_F(AppStatePreferences, HistoryIsTrimmedOrDroppedWhole)
{
    store.set("cleanupHistory", PreferenceData{encodeCleanupHistory(history(25))});
    auto state = make();
    ASSERT_EQ(state->cleanupHistory().size(), 20u);
    EXPECT_EQ(state->cleanupHistory().front(), historyEntry(0));
    EXPECT_EQ(state->cleanupHistory().back(), historyEntry(19));

    auto json = encodeCleanupHistory(history(2));
    const auto withoutSummary = std::string(json).replace(json.find(",\"folderSummary\":\"node_modules\""),
                                                           std::string(",\"folderSummary\":\"node_modules\"").size(), "");
    store.set("cleanupHistory", PreferenceData{withoutSummary});
    state = make();
    ASSERT_EQ(state->cleanupHistory().size(), 2u);
    EXPECT_EQ(state->cleanupHistory()[0].folderSummary, "") << "absent reads as empty";
    EXPECT_EQ(state->cleanupHistory()[1].folderSummary, "node_modules");

    const auto withoutBytes = std::string(json).replace(json.find(",\"bytes\":1000"), std::string(",\"bytes\":1000").size(), "");
    store.set("cleanupHistory", PreferenceData{withoutBytes});
    EXPECT_TRUE(make()->cleanupHistory().empty());
    EXPECT_EQ(store.data("cleanupHistory")->bytes, withoutBytes) << "left as stored until the next save";

    store.set("cleanupHistory", std::string("[]"));  // a string, not data
    EXPECT_TRUE(make()->cleanupHistory().empty());
}

// --- Figures a person may have edited by hand ---

struct StoredFigureCase {
    const char *label;
    const char *json;  // the number as written in the file
    int64_t readsAs;   // as a lifetime total
    bool historyLoads;
};

void PrintTo(const StoredFigureCase &c, std::ostream *out)
{
    *out << c.label;
}

class StoredFigures : public ::testing::TestWithParam<StoredFigureCase> {};

// The figure stands in for every lifetime total of a real preferences file, and for the counts and
// size of a history entry.
TEST_P(StoredFigures, OnlyCountsThatFitAreRead)
{
    FixtureTree folder;
    const auto &c = GetParam();
    const std::string placeholder = "4242424242";
    PreferenceMap values{{"statsStartedAt", PreferenceDate(std::chrono::seconds(1'600'000'000))}};
    const char *totals[] = {"statsCleanedBytes", "statsMovedToTrashBytes", "statsPermanentlyDeletedBytes",
                            "statsCleanedFolders", "statsCleanupRuns"};
    for (const char *key : totals) {
        values[key] = int64_t{4242424242};
    }
    std::string text = encodePreferences(values);
    for (std::size_t at; (at = text.find(placeholder)) != std::string::npos;) {
        text.replace(at, placeholder.size(), c.json);
    }
    const std::string file = folder.file("preferences.json");
    std::ofstream(file, std::ios::trunc) << text;
    const JsonFilePreferencesStore stored(file);
    const CleanupStats stats = AppState::savedCleanupStats(stored);
    EXPECT_EQ(stats.cleanedBytes, c.readsAs) << text;
    EXPECT_EQ(stats.movedToTrashBytes, c.readsAs);
    EXPECT_EQ(stats.permanentlyDeletedBytes, c.readsAs);
    EXPECT_EQ(stats.cleanedFolders, c.readsAs);
    EXPECT_EQ(stats.cleanupRuns, c.readsAs);

    std::string json = encodeCleanupHistory({historyEntry(1, 4242424242)});
    json.replace(json.find(placeholder), placeholder.size(), c.json);
    EXPECT_EQ(decodeCleanupHistory(json).has_value(), c.historyLoads) << json;
    json = encodeCleanupHistory({historyEntry(1)});
    json.replace(json.find("\"folderCount\":1"), std::string("\"folderCount\":1").size(),
                 std::string("\"folderCount\":") + c.json);
    EXPECT_EQ(decodeCleanupHistory(json).has_value(), c.historyLoads) << json;
}

INSTANTIATE_TEST_SUITE_P(
    Figures, StoredFigures,
    ::testing::Values(StoredFigureCase{"largest", "9223372036854775807", INT64_MAX, true},
                      StoredFigureCase{"zero", "0", 0, true},
                      StoredFigureCase{"negative", "-1", 0, false},
                      StoredFigureCase{"most negative", "-9223372036854775808", 0, false},
                      StoredFigureCase{"one past the largest", "9223372036854775808", 0, false},
                      StoredFigureCase{"beyond any integer", "18446744073709551616", 0, false},
                      StoredFigureCase{"negative real", "-5.0", 0, false}),
    testing::labelTestName<StoredFigureCase>);

TEST_F(AppStatePreferences, SavedFormsAreSortedTypedAndComplete)
{
    auto state = make();
    state->setExcludedPaths({"/z", "/a/b", "/m"});
    state->setEnabledRuleKeys({"venv", "Pods", "node_modules", ".next"});
    EXPECT_EQ(store.stringArray("excludedPaths"), (std::vector<std::string>{"/a/b", "/m", "/z"}));
    EXPECT_EQ(store.stringArray("enabledRuleKeys"), (std::vector<std::string>{".next", "Pods", "node_modules", "venv"}));
    EXPECT_FALSE(store.object("statsLastCleanupAt").has_value());
    EXPECT_FALSE(store.object("hasSeenOnboarding").has_value());

    auto stats = state->cleanupStats();
    stats.lastCleanupAt = Timestamp(std::chrono::seconds(1'700'000'000));
    state->setCleanupStats(stats);
    EXPECT_TRUE(store.date("statsLastCleanupAt").has_value());
    stats.lastCleanupAt.reset();
    state->setCleanupStats(stats);
    EXPECT_FALSE(store.object("statsLastCleanupAt").has_value()) << "removed, not stored empty";

    state->setCleanupHistory({historyEntry(1)});
    const auto bytes = store.data("cleanupHistory")->bytes;
    EXPECT_NE(bytes.find("\"id\":\"00000001-AAAA-4BBB-8CCC-000000000001\""), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\"date\":721692801"), std::string::npos) << "seconds since 2001-01-01: " << bytes;

    for (const char *key : {"roots", "enabledRuleKeys", "includeAggressive", "cleanupPreset", "cleanupAction",
                            "minimumSizePreset", "sortMode", "excludedPaths", "analyticsOptIn",
                            "automaticUpdateChecksEnabled", "cleanupHistory", "statsStartedAt", "statsCleanedBytes",
                            "statsCleanedFolders", "statsMovedToTrashBytes", "statsPermanentlyDeletedBytes",
                            "statsCleanupRuns"}) {
        EXPECT_TRUE(store.object(key).has_value()) << key;
    }
}

TEST(AppStateRestart, EverySettingSurvivesARestartWithItsKind)
{
    FixtureTree home;
    home.folder("Code");
    home.folder("More");
    const std::string file = home.path(".config/Tarnwick/preferences.json");
    CleanupStats stats;
    {
        JsonFilePreferencesStore store(file);
        AppState state(store, testing::isolatedEnvironment(home.root()));
        state.setRoots({home.path("Code"), home.path("More")});
        state.setCleanupPreset(CleanupPreset::custom);
        state.setEnabledRuleKeys({"target", "dist"});
        state.setIncludeAggressive(true);
        state.setCleanupAction(CleanupAction::deletePermanently);
        state.setMinimumSizePreset(SizePreset::mb500);
        state.setSortMode(CandidateSortMode::path);
        state.setExcludedPaths({home.path("Code/keep")});
        state.setAutomaticUpdateChecksEnabled(false);
        state.setCleanupHistory(history(3));
        stats = state.cleanupStats();
        stats.cleanedBytes = 5'000'000'000'000;
        stats.cleanedFolders = 12;
        stats.movedToTrashBytes = 4'000'000'000'000;
        stats.permanentlyDeletedBytes = 1'000'000'000'000;
        stats.cleanupRuns = 4;
        stats.lastCleanupAt = Timestamp(std::chrono::milliseconds(1'733'000'000'250));
        state.setCleanupStats(stats);
    }
    JsonFilePreferencesStore store(file);
    EXPECT_TRUE(std::holds_alternative<int64_t>(*store.object("statsCleanedBytes")));
    EXPECT_TRUE(std::holds_alternative<PreferenceDate>(*store.object("statsStartedAt")));
    EXPECT_TRUE(std::holds_alternative<PreferenceData>(*store.object("cleanupHistory")));
    EXPECT_TRUE(std::holds_alternative<bool>(*store.object("includeAggressive")));
    AppState state(store, testing::isolatedEnvironment(home.root()));
    EXPECT_EQ(state.roots(), (std::vector<std::string>{home.path("Code"), home.path("More")}));
    EXPECT_EQ(state.cleanupPreset(), CleanupPreset::custom);
    EXPECT_EQ(state.enabledRuleKeys(), (std::set<std::string>{"dist", "target"}));
    EXPECT_TRUE(state.includeAggressive());
    EXPECT_EQ(state.cleanupAction(), CleanupAction::deletePermanently);
    EXPECT_EQ(state.minimumSizePreset(), SizePreset::mb500);
    EXPECT_EQ(state.sortMode(), CandidateSortMode::path);
    EXPECT_EQ(state.excludedPaths(), std::set<std::string>{home.path("Code/keep")});
    EXPECT_FALSE(state.automaticUpdateChecksEnabled());
    EXPECT_EQ(state.cleanupHistory().size(), 3u);
    EXPECT_EQ(state.cleanupHistory()[2].id, historyEntry(2).id);
    EXPECT_EQ(state.cleanupStats().cleanedBytes, stats.cleanedBytes);
    EXPECT_EQ(state.cleanupStats().cleanupRuns, 4);
    EXPECT_EQ(state.cleanupStats().lastCleanupAt, stats.lastCleanupAt);
    EXPECT_LE(std::chrono::abs(state.cleanupStats().startedAt - stats.startedAt), std::chrono::microseconds(1));
}

}  // namespace
}  // namespace tarnwick
