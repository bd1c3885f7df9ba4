// The review list of the application state on candidates from a real scan of a real tree.

#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "app/CandidateOrdering.h"
#include "app/InMemoryPreferencesStore.h"
#include "core/NaturalOrder.h"
#include "engine/CleanupRules.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;

class AppStateReview : public ::testing::Test {
protected:
    // Five candidates: two node_modules of equal size under app2 and app10, Pods, a Cargo target
    // and a Python cache, all of different sizes, modified on different days.
    void SetUp() override
    {
        tree.file("code/app10/node_modules/index.js", 8192);
        tree.file("code/app2/node_modules/index.js", 8192);
        tree.file("code/ios/Podfile");
        tree.file("code/ios/Pods/lib.a", 65536);
        tree.file("code/tool/Cargo.toml");
        tree.file("code/tool/target/app", 262144);
        tree.file("code/py/__pycache__/m.pyc", 16384);
        const std::pair<const char *, int> days[] = {{"code/app10/node_modules", 5},
                                                     {"code/app2/node_modules", 9},
                                                     {"code/ios/Pods", 1},
                                                     {"code/tool/target", 7},
                                                     {"code/py/__pycache__", 3}};
        for (const auto &[folder, day] : days) {
            const struct timespec times[2] = {{day * 86400L, 0}, {day * 86400L, 0}};
            ::utimensat(AT_FDCWD, tree.path(folder).c_str(), times, 0);
        }
        store.set("automaticUpdateChecksEnabled", false);
        store.set("roots", std::vector<std::string>{tree.path("code")});
        store.set("cleanupPreset", std::string("custom"));
        store.set("enabledRuleKeys", std::vector<std::string>{"node_modules", "Pods", "target", "__pycache__"});
        state = std::make_unique<AppState>(store, testing::isolatedEnvironment(home.home(), &shell));
    }

    void scanAndWait()
    {
        state->scan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state->isScanning(); }, 20000));
        ASSERT_EQ(state->candidates().size(), 5u);
    }

    std::string path(const std::string &relative) const { return tree.path("code/" + relative); }

    std::vector<std::string> shownPaths() const
    {
        std::vector<std::string> paths;
        for (const auto &candidate : state->displayedCandidates()) {
            paths.push_back(candidate.path);
        }
        return paths;
    }

    CleanupCandidate candidateAt(const std::string &relative) const
    {
        for (const auto &candidate : state->candidates()) {
            if (candidate.path == path(relative)) {
                return candidate;
            }
        }
        throw std::runtime_error("no candidate " + relative);
    }

    testing::ScopedHome home;
    testing::FakeDesktopShell shell;
    InMemoryPreferencesStore store;
    FixtureTree tree;
    std::unique_ptr<AppState> state;
};

TEST_F(AppStateReview, SortModesOrderTheScannedFolders)
{
    scanAndWait();
    const std::vector<std::pair<CandidateSortMode, std::vector<std::string>>> expected = {
        {CandidateSortMode::largest,
         {"tool/target", "ios/Pods", "py/__pycache__", "app2/node_modules", "app10/node_modules"}},
        {CandidateSortMode::smallest,
         {"app2/node_modules", "app10/node_modules", "py/__pycache__", "ios/Pods", "tool/target"}},
        {CandidateSortMode::target,
         {"py/__pycache__", "app2/node_modules", "app10/node_modules", "ios/Pods", "tool/target"}},
        {CandidateSortMode::lastModified,
         {"ios/Pods", "py/__pycache__", "app10/node_modules", "tool/target", "app2/node_modules"}},
        {CandidateSortMode::path,
         {"app2/node_modules", "app10/node_modules", "ios/Pods", "py/__pycache__", "tool/target"}},
    };
    for (const auto &[mode, relative] : expected) {
        state->setSortMode(mode);
        std::vector<std::string> paths;
        for (const auto &each : relative) {
            paths.push_back(path(each));
        }
        EXPECT_EQ(shownPaths(), paths) << rawValue(mode);
    }
    EXPECT_EQ(store.string("sortMode"), "path");
}

TEST_F(AppStateReview, ListStaysInFoundOrderWhileScanning)
{
    int liveChecks = 0;
    QObject::connect(state.get(), &AppState::candidatesChanged, [&] {
        if (!state->isScanning() || state->candidates().size() < 2) {
            return;
        }
        // Largest and smallest cannot both leave two folders of different sizes as they came.
        for (const auto mode : {CandidateSortMode::largest, CandidateSortMode::smallest}) {
            state->setSortMode(mode);
            EXPECT_TRUE(std::ranges::equal(state->displayedCandidates(), state->candidates())) << rawValue(mode);
        }
        ++liveChecks;
    });
    scanAndWait();
    EXPECT_GT(liveChecks, 0);
    EXPECT_EQ(shownPaths().front(), path("app2/node_modules")) << "sorted smallest first once the scan ended";
}

TEST_F(AppStateReview, SearchIsTrimmedAndLooksAtPathKeyCategoryAndDescription)
{
    scanAndWait();
    state->setSortMode(CandidateSortMode::path);
    const std::vector<std::pair<std::string, std::vector<std::string>>> searches = {
        {" \n\t\u00a0", {"app2/node_modules", "app10/node_modules", "ios/Pods", "py/__pycache__", "tool/target"}},
        {"pods", {"ios/Pods"}},
        {"  PODS\n", {"ios/Pods"}},
        {"rust", {"tool/target"}},        // category
        {"BYTECODE", {"py/__pycache__"}},  // description
        {"node_MODULES", {"app2/node_modules", "app10/node_modules"}},
        {"app1", {"app10/node_modules"}},
        {"262144", {}},  // sizes are not searched
    };
    for (const auto &[text, relative] : searches) {
        state->setSearchText(text);
        std::vector<std::string> paths;
        for (const auto &each : relative) {
            paths.push_back(path(each));
        }
        EXPECT_EQ(shownPaths(), paths) << "'" << text << "'";
    }
    EXPECT_FALSE(store.values().contains("searchText"));
}

TEST_F(AppStateReview, FiltersFollowTheSelection)
{
    scanAndWait();
    state->setReviewFilter(ReviewFilter::selected);
    EXPECT_EQ(state->displayedCandidates().size(), 5u) << "a finished scan selects everything";
    state->clearSelection();
    EXPECT_TRUE(state->displayedCandidates().empty());

    state->toggleCandidateSelection(path("ios/Pods"));
    state->setCandidate(path("tool/target"), true);
    state->setCandidate("/not/a/candidate", true);
    EXPECT_EQ(shownPaths(), (std::vector<std::string>{path("tool/target"), path("ios/Pods")}));
    const auto totals = state->selectionTotals();
    EXPECT_EQ(totals.count, 2) << "the stray id does not count";
    EXPECT_EQ(totals.bytes, candidateAt("tool/target").size + candidateAt("ios/Pods").size);
    state->toggleCandidateSelection(path("tool/target"));
    EXPECT_EQ(shownPaths(), std::vector<std::string>{path("ios/Pods")});

    state->setReviewFilter(ReviewFilter::unselected);
    EXPECT_EQ(state->displayedCandidates().size(), 4u);
    state->selectAllCandidates();
    EXPECT_TRUE(state->displayedCandidates().empty());
    EXPECT_EQ(state->selectedCandidateIDs().size(), 5u) << "the stray id is gone, every candidate is in";
}

TEST_F(AppStateReview, FocusFallsBackToTheOnlySelectedThenToTheFirstShown)
{
    scanAndWait();
    state->setFocusedCandidateID(std::nullopt);
    state->setSortMode(CandidateSortMode::path);
    EXPECT_EQ(state->focusedCandidate()->path, path("app2/node_modules")) << "all selected: the first shown";

    state->clearSelection();
    state->setCandidate(path("py/__pycache__"), true);
    state->setCandidate("/not/a/candidate", true);
    state->setReviewFilter(ReviewFilter::unselected);
    EXPECT_EQ(state->focusedCandidate()->path, path("py/__pycache__")) << "even though the filter hides it";

    state->setFocusedCandidateID(path("tool/target"));
    EXPECT_EQ(state->focusedCandidate()->path, path("tool/target"));
    state->setFocusedCandidateID("/gone");
    EXPECT_EQ(state->focusedCandidate()->path, path("py/__pycache__"));

    state->setCandidate(path("ios/Pods"), true);
    EXPECT_EQ(state->focusedCandidate()->path, path("app2/node_modules"));
    state->setSearchText("nothing matches this");
    EXPECT_FALSE(state->focusedCandidate().has_value());
}

TEST_F(AppStateReview, AlwaysKeepRemovesTheFolderAndMovesOnlyItsOwnFocus)
{
    scanAndWait();
    state->setSortMode(CandidateSortMode::path);
    state->setFocusedCandidateID(path("app2/node_modules"));
    // Handed a row of the displayed list itself, which the exclusion rebuilds.
    state->exclude(state->displayedCandidates().front());
    EXPECT_EQ(state->statusMessage(), "Added to Always Keep.");
    EXPECT_EQ(state->excludedPaths(), std::set<std::string>{path("app2/node_modules")});
    EXPECT_EQ(store.stringArray("excludedPaths"), std::vector<std::string>{path("app2/node_modules")});
    EXPECT_EQ(state->candidates().size(), 4u);
    EXPECT_FALSE(state->selectedCandidateIDs().contains(path("app2/node_modules")));
    EXPECT_EQ(state->focusedCandidateID(), path("app10/node_modules")) << "the first shown after the removal";

    state->exclude(candidateAt("tool/target"));
    EXPECT_EQ(state->focusedCandidateID(), path("app10/node_modules"));
    EXPECT_EQ(shownPaths(),
              (std::vector<std::string>{path("app10/node_modules"), path("ios/Pods"), path("py/__pycache__")}));

    state->setSearchText("no such folder");
    state->exclude(candidateAt("app10/node_modules"));
    EXPECT_EQ(state->focusedCandidateID(), std::nullopt) << "nothing shown, nothing focused";

    state->removeExcludedPath(path("tool/target"));
    state->removeExcludedPath("/never/kept");
    EXPECT_EQ(state->statusMessage(), "Removed from Always Keep.");
    EXPECT_EQ(store.stringArray("excludedPaths"),
              (std::vector<std::string>{path("app10/node_modules"), path("app2/node_modules")}));

    state->scan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state->isScanning(); }, 20000));
    EXPECT_EQ(state->candidates().size(), 3u) << "kept folders are not found again";
}

TEST_F(AppStateReview, PresetsAndRuleSwitches)
{
    state->applyPreset(CleanupPreset::custom);
    EXPECT_EQ(state->statusMessage(), "Custom folder type selection.");
    EXPECT_EQ(state->enabledRuleKeys(), (std::set<std::string>{"Pods", "__pycache__", "node_modules", "target"}));

    state->applyPreset(CleanupPreset::deep);
    EXPECT_EQ(state->statusMessage(), "Deep preset selected.");
    EXPECT_EQ(state->enabledRuleKeys().size(), 38u);
    EXPECT_TRUE(state->includeAggressive());
    EXPECT_EQ(store.string("cleanupPreset"), "deep");

    state->setRule("dist", false);
    EXPECT_EQ(state->cleanupPreset(), CleanupPreset::custom);
    EXPECT_FALSE(state->enabledRuleKeys().contains("dist"));
    EXPECT_EQ(store.stringArray("enabledRuleKeys")->size(), 37u);
    EXPECT_EQ(store.string("cleanupPreset"), "custom");

    state->applyPreset(CleanupPreset::safe);
    EXPECT_EQ(state->statusMessage(), "Safe preset selected.");
    EXPECT_EQ(state->enabledRuleKeys(), CleanupRules::keys(CleanupPreset::safe));
    EXPECT_FALSE(state->includeAggressive());
    state->setIncludeAggressiveByHand(true);
    EXPECT_TRUE(state->includeAggressive());
    EXPECT_EQ(state->cleanupPreset(), CleanupPreset::custom);
    EXPECT_TRUE(store.boolean("includeAggressive"));
}

TEST_F(AppStateReview, CopyPathPutsThePathOnTheClipboard)
{
    scanAndWait();
    state->copyPath(candidateAt("ios/Pods"));
    EXPECT_EQ(shell.clipboard, path("ios/Pods"));
    EXPECT_EQ(state->statusMessage(), "Copied path.");
}

// The list and the selection's totals are cached between reads; after any mix of changes, live
// results included, both must equal their definitions.
TEST_F(AppStateReview, CachedListAlwaysEqualsAFreshComputation)
{
    const auto freshTotals = [this] {
        std::pair<int64_t, int64_t> totals;
        for (const auto &each : state->selectedCandidates()) {
            ++totals.first;
            totals.second += each.size;
        }
        return totals;
    };
    const auto totalsMatch = [&] {
        const auto cached = state->selectionTotals();
        return std::pair(cached.count, cached.bytes) == freshTotals();
    };
    const auto fresh = [this] {
        std::string query = state->searchText();
        query.erase(0, query.find_first_not_of(" \n"));
        query.erase(query.find_last_not_of(" \n") + 1);
        std::vector<CleanupCandidate> kept;
        for (const auto &each : state->candidates()) {
            const bool selected = state->selectedCandidateIDs().contains(each.id);
            const bool filterKeeps = state->reviewFilter() == ReviewFilter::all ||
                                     selected == (state->reviewFilter() == ReviewFilter::selected);
            const bool found = containsIgnoringCase(each.path, query) || containsIgnoringCase(each.key, query) ||
                               containsIgnoringCase(each.category, query) ||
                               containsIgnoringCase(each.description, query);
            if (filterKeeps && found) {
                kept.push_back(each);
            }
        }
        if (!state->isScanning()) {
            std::stable_sort(kept.begin(), kept.end(), [this](const auto &a, const auto &b) {
                return candidateOrderedBefore(a, b, state->sortMode());
            });
        }
        return kept;
    };
    std::mt19937 random(11);
    const auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const std::vector<std::string> searches = {"", " ", "node", "APP1", "\n pods ", "python", "zzz"};
    const auto mutate = [&] {
        const auto &list = state->candidates();
        const std::string someID = list.empty() ? "/none" : list[pick(list.size())].id;
        switch (pick(9)) {
        case 0:
            state->setSearchText(searches[pick(searches.size())]);
            break;
        case 1:
            state->setReviewFilter(allReviewFilters[pick(3)]);
            break;
        case 2:
            state->setSortMode(allCandidateSortModes[pick(5)]);
            break;
        case 3:
            state->toggleCandidateSelection(someID);
            break;
        case 4:
            state->setCandidate(someID, pick(2) == 0);
            break;
        case 5:
            state->selectAllCandidates();
            break;
        case 6:
            state->clearSelection();
            break;
        case 7:
            if (pick(4) == 0 && !list.empty()) {
                state->exclude(list[pick(list.size())]);
            }
            break;
        default:
            state->setFocusedCandidateID(someID);
            break;
        }
    };
    int checks = 0;
    bool inHandler = false;  // an exclusion announces new candidates itself
    QObject::connect(state.get(), &AppState::candidatesChanged, [&] {
        if (state->isScanning() && !inHandler) {
            inHandler = true;
            mutate();
            EXPECT_EQ(state->displayedCandidates(), fresh()) << "during the scan";
            EXPECT_TRUE(totalsMatch()) << "during the scan";
            ++checks;
            inHandler = false;
        }
    });
    for (int round = 0; round < 3; ++round) {
        const auto kept = state->excludedPaths();
        for (const auto &each : kept) {
            state->removeExcludedPath(each);
        }
        scanAndWait();
        for (int step = 0; step < 150; ++step) {
            mutate();
            if (pick(3) != 0) {
                ASSERT_EQ(state->displayedCandidates(), fresh()) << "round " << round << " step " << step;
                ASSERT_TRUE(totalsMatch()) << "round " << round << " step " << step;
                ++checks;
            }
        }
    }
    EXPECT_GT(checks, 300);
}

}  // namespace
}  // namespace tarnwick
