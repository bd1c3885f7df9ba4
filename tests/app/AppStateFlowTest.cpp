// The classic flow through the application state with the real engine: roots, scans and cleanups
// on real folder trees, the real Trash of a private home, and a real event loop.

#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "app/InMemoryPreferencesStore.h"
#include "app/JsonFilePreferencesStore.h"
#include "app/PutBackController.h"
#include "core/CountPhrase.h"
#include "engine/CleanupRules.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/mount.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;

bool exists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

class AppStateFlow : public ::testing::Test {
protected:
    void SetUp() override { store.set("automaticUpdateChecksEnabled", false); }

    AppState &state(bool withAnalytics = false)
    {
        if (!m_state) {
            auto environment = testing::isolatedEnvironment(home.home(), &shell);
            if (withAnalytics) {
                if (!endpoint.available()) {
                    throw std::runtime_error("no TLS endpoint");
                }
                environment.analyticsEndpoint = endpoint.url();
                store.set("analyticsOptIn", true);
            }
            m_state = std::make_unique<AppState>(store, environment);
            QObject::connect(m_state.get(), &AppState::statusMessageChanged,
                             [this] { statuses.push_back(m_state->statusMessage()); });
        }
        return *m_state;
    }

    void scanAndWait()
    {
        state().scan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isScanning(); }, 20000));
    }

    void cleanAndWait()
    {
        state().deleteSelected();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isDeleting(); }, 20000));
    }

    std::vector<std::string> candidatePaths()
    {
        std::vector<std::string> paths;
        for (const auto &candidate : state().candidates()) {
            paths.push_back(candidate.path);
        }
        return paths;
    }

    testing::ScopedHome home;
    testing::FakeDesktopShell shell;
    testing::RecordingEndpoint endpoint;
    InMemoryPreferencesStore store;
    std::vector<std::string> statuses;
    FixtureTree tree;

private:
    std::unique_ptr<AppState> m_state;
};

TEST_F(AppStateFlow, RootsAreStandardizedAndAddedOnce)
{
    tree.folder("code");
    tree.file("notes.txt");
    state().addRoots({tree.path("notes.txt"), ""});
    EXPECT_TRUE(state().roots().empty()) << "an empty path is not the working folder";
    EXPECT_EQ(state().statusMessage(), "Choose a folder to scan.");

    state().addRoots({tree.path("code"), tree.path("code/."), tree.path("code/../code/"), tree.path("missing")});
    EXPECT_EQ(state().roots(), std::vector<std::string>{tree.path("code")});
    EXPECT_EQ(state().statusMessage(), "Ready to scan.");
    EXPECT_EQ(store.stringArray("roots"), std::vector<std::string>{tree.path("code")}) << "saved at once";

    state().removeRoot(tree.path("elsewhere"));
    EXPECT_EQ(state().roots().size(), 1u);
    state().removeRoot(tree.path("code/"));
    EXPECT_TRUE(state().roots().empty());
    EXPECT_EQ(state().statusMessage(), "Choose a folder to scan.");
}

TEST_F(AppStateFlow, StandardFolderActionsTellWhatHappened)
{
    const std::string homeFolder = home.home();
    std::filesystem::create_directories(homeFolder + "/Code");
    std::filesystem::create_directories(homeFolder + "/Projects");
    state(endpoint.available());
    ASSERT_EQ(state().roots(), std::vector<std::string>{homeFolder + "/Code"}) << "the first launch's default";
    state().addProjectRoots();
    EXPECT_EQ(state().statusMessage(), "Added 1 project folder.");
    EXPECT_EQ(state().roots(), (std::vector<std::string>{homeFolder + "/Code", homeFolder + "/Projects"}));
    EXPECT_FALSE(state().standardFolderNotice().has_value());

    state().addXcodeRoot();
    EXPECT_EQ(state().statusMessage(), "No Xcode folders found.");
    ASSERT_TRUE(state().standardFolderNotice().has_value());
    EXPECT_EQ(state().standardFolderNotice()->title, "No Xcode Folder Found");
    EXPECT_TRUE(state().standardFolderNotice()->showsChooseFolder);

    std::filesystem::create_directories(homeFolder + "/.docker");
    std::filesystem::create_directories(homeFolder + "/.colima");
    state().addDockerRoots();
    EXPECT_EQ(state().statusMessage(), "Added 2 Docker folders.");
    state().addDockerRoots();
    EXPECT_EQ(state().statusMessage(), "Those Docker folders are already added.");
    EXPECT_EQ(state().standardFolderNotice()->title, "Already Added");
    EXPECT_EQ(state().standardFolderNotice()->message, "The matching Docker folders are already in the scan list.");
    EXPECT_FALSE(state().standardFolderNotice()->showsChooseFolder);

    if (endpoint.available()) {
        std::filesystem::create_directories(homeFolder + "/.gradle");
        std::filesystem::create_directories(homeFolder + "/.npm");
        state().addRecommendedRoots();
        EXPECT_EQ(state().statusMessage(), "Added 2 recommended folders.");
        const auto events = endpoint.events(4);
        EXPECT_EQ(std::count(events.begin(), events.end(), "folder_added"), 3) << "one per action that added";
        std::multiset<std::string> added;
        for (const auto &properties : endpoint.properties("folder_added")) {
            added.insert(properties["added_count"].toString().toStdString());
        }
        EXPECT_EQ(added, (std::multiset<std::string>{"1", "2-5", "2-5"}));
    }
}

TEST_F(AppStateFlow, AScanPublishesLiveResultsThenTheSortedList)
{
    tree.file("a/app10/node_modules/x", 5000);
    tree.file("a/app2/node_modules/x", 5000);
    tree.file("a/big/node_modules/x", 50000);
    tree.file("gone/node_modules/x");
    state().addRoots({tree.path("a"), tree.path("gone")});
    std::filesystem::remove_all(tree.path("gone"));

    std::vector<std::size_t> liveCounts;
    bool deselected = false;
    QObject::connect(&state(), &AppState::candidatesChanged, [&] {
        liveCounts.push_back(state().candidates().size());
        if (state().isScanning() && !deselected && !state().candidates().empty()) {
            state().setCandidate(state().candidates().front().id, false); // the user unticks the first
            deselected = true;
        }
    });
    scanAndWait();
    EXPECT_EQ(state().roots().size(), 2u) << "a missing root stays listed";
    EXPECT_EQ(candidatePaths(),
              (std::vector<std::string>{tree.path("a/big/node_modules"), tree.path("a/app2/node_modules"),
                                        tree.path("a/app10/node_modules")}));
    EXPECT_EQ(state().selectedCandidateIDs().size(), 3u) << "completion selects everything again";
    EXPECT_EQ(state().focusedCandidateID(), tree.path("a/big/node_modules"));
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Scanning... 1 folder found so far."), 1);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Scanning... 3 folders found so far."), 1);
    EXPECT_TRUE(statuses.back().starts_with("Found 3 folders, about ")) << statuses.back();
    EXPECT_TRUE(deselected);
    EXPECT_EQ(liveCounts.front(), 0u); // the list is cleared first

    // the same folder reached from two roots is listed once
    state().addRoots({tree.path("a/big")});
    scanAndWait();
    EXPECT_EQ(state().candidates().size(), 3u);
}

TEST_F(AppStateFlow, ScanChecksAndEmptyResults)
{
    state().scan();
    EXPECT_EQ(state().statusMessage(), "Choose a folder to scan first.");
    tree.folder("empty");
    state().addRoots({tree.path("empty")});
    state().setEnabledRuleKeys({"dist"}); // an extra type while extra types are off
    state().scan();
    EXPECT_FALSE(state().isScanning());
    EXPECT_EQ(state().statusMessage(), "Choose at least one folder type.");

    state().applyPreset(CleanupPreset::safe);
    scanAndWait();
    EXPECT_EQ(state().statusMessage(), "No cleanup folders found.");
    EXPECT_FALSE(state().focusedCandidateID().has_value());
}

TEST_F(AppStateFlow, CancellingKeepsWhatWasFound)
{
    tree.file("a/node_modules/x", 100);
    for (int i = 0; i < 20000; ++i) {
        tree.file("b/node_modules/p" + std::to_string(i % 100) + "/f" + std::to_string(i));
    }
    state(endpoint.available()).addRoots({tree.path("a"), tree.path("b")});
    QObject::connect(&state(), &AppState::candidatesChanged, [&] {
        if (state().isScanning() && state().candidates().size() == 1) {
            state().cancelScan();
        }
    });
    scanAndWait();
    EXPECT_EQ(candidatePaths(), std::vector<std::string>{tree.path("a/node_modules")});
    EXPECT_EQ(state().scanProgress().phase, OperationPhase::cancelled);
    EXPECT_EQ(state().scanProgress().message, "Scan cancelled");
    EXPECT_EQ(state().statusMessage(), "Scan cancelled.");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Cancelling scan..."), statuses.end());
    if (endpoint.available()) {
        const auto events = endpoint.events(3);
        EXPECT_NE(std::find(events.begin(), events.end(), "scan_cancelled"), events.end());
        EXPECT_EQ(std::find(events.begin(), events.end(), "scan_completed"), events.end());
    }
}

TEST_F(AppStateFlow, MovingTwoFoldersToTheTrashUpdatesEverything)
{
    tree.file("p/one/node_modules/x", 1000);
    tree.file("p/two/node_modules/x", 500);
    state(endpoint.available()).addRoots({tree.path("p")});
    scanAndWait();
    const int64_t bytes = state().totalSize();
    const auto startedStats = state().cleanupStats();
    cleanAndWait();
    const auto &stats = state().cleanupStats();
    EXPECT_EQ(stats.cleanedBytes, startedStats.cleanedBytes + bytes);
    EXPECT_EQ(stats.movedToTrashBytes, bytes);
    EXPECT_EQ(stats.permanentlyDeletedBytes, 0);
    EXPECT_EQ(stats.cleanedFolders, 2);
    EXPECT_EQ(stats.cleanupRuns, 1);
    EXPECT_TRUE(stats.lastCleanupAt.has_value());
    ASSERT_EQ(state().cleanupHistory().size(), 1u);
    EXPECT_EQ(state().cleanupHistory()[0].folderCount, 2);
    EXPECT_EQ(state().cleanupHistory()[0].folderSummary,
              "node_modules - " + tree.path("p/one") + ", node_modules - " + tree.path("p/two"));
    ASSERT_TRUE(state().cleanupSummary().has_value());
    EXPECT_EQ(state().cleanupSummary()->folderCount, 2);
    EXPECT_EQ(state().cleanupSummary()->historyBytes, stats.cleanedBytes);
    EXPECT_EQ(state().statusMessage(), "Moved 2 folders to Trash.");
    EXPECT_TRUE(state().candidates().empty());
    EXPECT_FALSE(exists(tree.path("p/one/node_modules")));
    EXPECT_NE(testing::runCommand("trash-list").find(tree.path("p/one/node_modules")), std::string::npos);
    EXPECT_TRUE(store.data("cleanupHistory").has_value()) << "saved at once";
    if (endpoint.available()) {
        const auto events = endpoint.events(6); // opened, folder added, scan started and done, cleanup
        EXPECT_NE(std::find(events.begin(), events.end(), "cleanup_started"), events.end());
        const auto completed = endpoint.properties("cleanup_completed");
        ASSERT_EQ(completed.size(), 1u);
        EXPECT_EQ(completed[0]["cleaned_count_bucket"].toString(), "2-5");
        EXPECT_EQ(completed[0]["cleanup_method"].toString(), "trash");
    }
}

TEST_F(AppStateFlow, TheLastCleanupIsPutBackOnlyWhereNothingTookItsPlace)
{
    tree.file("p/one/node_modules/x", 1000);
    tree.file("p/two/node_modules/x", 500);
    state().addRoots({tree.path("p")});
    EXPECT_FALSE(state().putBack().canPutBackLastCleanup());
    scanAndWait();
    cleanAndWait();
    ASSERT_TRUE(state().putBack().canPutBackLastCleanup());

    tree.file("p/two/node_modules/new", 1); // something took the place of one of them
    state().putBackLastCleanup();
    EXPECT_TRUE(exists(tree.path("p/one/node_modules/x")));
    EXPECT_FALSE(exists(tree.path("p/two/node_modules/x")));
    EXPECT_TRUE(state().statusMessage().starts_with("Put back 1 folder; 1 folder stayed in the Trash (" +
                                                    tree.path("p/two/node_modules") + ": Something is at"))
        << state().statusMessage();
    EXPECT_TRUE(state().putBack().canPutBackLastCleanup()) << "the other is still there";

    std::filesystem::remove_all(tree.path("p/two/node_modules"));
    state().putBackLastCleanup();
    EXPECT_TRUE(exists(tree.path("p/two/node_modules/x")));
    EXPECT_EQ(state().statusMessage(), "Put back 1 folder.");
    EXPECT_FALSE(state().putBack().canPutBackLastCleanup());
    EXPECT_EQ(testing::runCommand("trash-list").find("node_modules"), std::string::npos);
}

TEST_F(AppStateFlow, PermanentDeletionGoneFoldersAndTheHistoryLimit)
{
    std::vector<CleanupHistoryEntry> twenty;
    for (int i = 0; i < 20; ++i) {
        twenty.push_back({"00000000-0000-4000-8000-0000000000" + std::to_string(10 + i), Timestamp{}, "moveToTrash", 1,
                          10, "", 0, false});
    }
    store.set("cleanupHistory", PreferenceData{encodeCleanupHistory(twenty)});
    tree.file("p/one/node_modules/x", 1000);
    tree.file("p/two/node_modules/x", 1000);
    state().addRoots({tree.path("p")});
    scanAndWait();
    state().setCleanupAction(CleanupAction::deletePermanently);
    state().setCandidate(tree.path("p/two/node_modules"), false);
    cleanAndWait();
    EXPECT_EQ(state().statusMessage(), "Deleted 1 folder permanently.");
    EXPECT_GT(state().cleanupStats().permanentlyDeletedBytes, 0);
    EXPECT_EQ(state().cleanupHistory().size(), 20u);
    EXPECT_EQ(state().cleanupHistory()[0].actionRawValue, "deletePermanently");
    EXPECT_EQ(state().cleanupHistory()[19].id, twenty[18].id) << "the oldest dropped";

    // the remaining folder vanishes before it is cleaned
    std::filesystem::remove_all(tree.path("p/two/node_modules"));
    state().selectAllCandidates();
    const auto stats = state().cleanupStats();
    cleanAndWait();
    EXPECT_EQ(state().statusMessage(), "1 folder already gone.");
    EXPECT_EQ(state().cleanupStats(), stats);
    EXPECT_EQ(state().cleanupHistory().size(), 20u);
    EXPECT_TRUE(state().candidates().empty());
}

// The list is only a review of what the scan found: taking the root off the list does not stop its
// folders from being cleaned from it, and a folder swapped for a link meanwhile is not followed.
TEST_F(AppStateFlow, ACleanupReachesFoldersFromTheirScanRootOnly)
{
    tree.file("real/one/node_modules/x", 1000);
    tree.file("real/two/node_modules/x", 1000);
    tree.file("elsewhere/node_modules/keep", 10);
    tree.symlink("link", tree.path("real"));
    state().addRoots({tree.path("link")});
    scanAndWait();
    ASSERT_EQ(state().candidates().size(), 2u);
    state().removeRoot(tree.path("link"));
    std::filesystem::rename(tree.path("real/two"), tree.path("real/two.aside"));
    tree.symlink("real/two", tree.path("elsewhere"));
    state().setCleanupAction(CleanupAction::deletePermanently);
    cleanAndWait();
    EXPECT_FALSE(exists(tree.path("real/one/node_modules")));
    EXPECT_TRUE(exists(tree.path("elsewhere/node_modules/keep")));
    EXPECT_TRUE(exists(tree.path("real/two.aside/node_modules/x")));
    EXPECT_EQ(state().cleanupStats().cleanedFolders, 1);
}

TEST_F(AppStateFlow, NothingSelectedAndBusyRequestsAreRefused)
{
    tree.file("p/node_modules/x");
    state().addRoots({tree.path("p")});
    scanAndWait();
    state().clearSelection();
    state().requestDeleteConfirmation();
    EXPECT_FALSE(state().isDeleteConfirmationPresented());
    EXPECT_EQ(state().statusMessage(), "Select folders first.");
    state().selectAllCandidates();
    state().requestDeleteConfirmation();
    EXPECT_TRUE(state().isDeleteConfirmationPresented());
    state().dismissDeleteConfirmation();

    state().deleteSelected();
    ASSERT_TRUE(state().isDeleting());
    state().scan(); // ignored while cleaning
    EXPECT_FALSE(state().isScanning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isDeleting(); }, 20000));
}

// A read-only bind mount of part of the tree: moving anything out of it fails for root too.
class ReadOnlyView {
public:
    ReadOnlyView(const std::string &source, const std::string &target)
    {
        std::filesystem::create_directories(target);
        m_mounted = ::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (m_mounted && ::mount(nullptr, target.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            ::umount(target.c_str());
            m_mounted = false;
        }
        m_target = target;
    }
    ~ReadOnlyView()
    {
        if (m_mounted) {
            ::umount2(m_target.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return m_mounted; }

private:
    std::string m_target;
    bool m_mounted = false;
};

TEST_F(AppStateFlow, FailuresAreCountedAndShown)
{
    tree.file("ok/node_modules/x", 1000);
    tree.file("source/node_modules/x", 1000);
    ReadOnlyView view(tree.path("source"), tree.path("locked"));
    if (!view.mounted()) {
        GTEST_SKIP() << "bind mounts are not permitted here";
    }
    state().addRoots({tree.path("ok"), tree.path("locked")});
    scanAndWait();
    ASSERT_EQ(state().candidates().size(), 2u);
    cleanAndWait();
    EXPECT_EQ(state().statusMessage(), "Moved 1 folder. 1 failed.");
    ASSERT_EQ(state().failures().size(), 1u);
    EXPECT_EQ(state().failures()[0].path, tree.path("locked/node_modules"));
    EXPECT_EQ(candidatePaths(), std::vector<std::string>{tree.path("locked/node_modules")}) << "failed stay listed";
    EXPECT_EQ(state().cleanupStats().cleanupRuns, 1);
    EXPECT_EQ(state().cleanupHistory()[0].failureCount, 1);

    // only failures: a history entry and a summary, but no run counted
    cleanAndWait();
    EXPECT_EQ(state().statusMessage(), "Moved 0 folders. 1 failed.");
    EXPECT_EQ(state().cleanupStats().cleanupRuns, 1);
    EXPECT_EQ(state().cleanupHistory().size(), 2u);
    EXPECT_EQ(state().cleanupSummary()->folderCount, 0);
}

TEST_F(AppStateFlow, CancellingAfterTwoOfFiveFinishesTheFolderInProgress)
{
    // Folders are cleaned largest first. The second is big enough that its permanent deletion is
    // still running when the cancellation (sent as soon as it starts) arrives, so the run finishes
    // it and stops before the third. A move to the Trash is a single rename, too quick to aim at.
    for (const char *name : {"c", "d", "e"}) {
        tree.file(std::string("p/") + name + "/node_modules/x", 100);
    }
    for (int i = 0; i < 6000; ++i) {
        tree.file("p/a/node_modules/q" + std::to_string(i % 100) + "/f" + std::to_string(i));
    }
    for (int i = 0; i < 5000; ++i) {
        tree.file("p/b/node_modules/q" + std::to_string(i % 100) + "/f" + std::to_string(i));
    }
    state(endpoint.available()).addRoots({tree.path("p")});
    scanAndWait();
    ASSERT_EQ(state().candidates().size(), 5u);
    ASSERT_EQ(state().candidates()[1].path, tree.path("p/b/node_modules"));
    state().setCleanupAction(CleanupAction::deletePermanently);
    QObject::connect(&state(), &AppState::deleteProgressChanged, [&] {
        if (state().deleteProgress().message == "Deleting node_modules" && state().deleteProgress().currentIndex == 2) {
            state().cancelCleanup();
        }
    });
    cleanAndWait();
    EXPECT_EQ(state().statusMessage(), "Cleanup cancelled. Deleted 2 folders.");
    EXPECT_EQ(state().deleteProgress().phase, OperationPhase::cancelled);
    EXPECT_EQ(state().deleteProgress().message, "Cleanup cancelled");
    EXPECT_EQ(state().candidates().size(), 3u);
    EXPECT_TRUE(state().cleanupHistory()[0].cancelled);
    EXPECT_EQ(state().cleanupHistory()[0].folderCount, 2);
    EXPECT_EQ(state().cleanupSummary()->folderCount, 2);
    if (endpoint.available()) {
        // opened, folder added, scan started and completed, method changed, cleanup started,
        // cancelled and completed (the last two travel on parallel connections: any order)
        const auto events = endpoint.events(8);
        EXPECT_EQ(std::count(events.begin(), events.end(), "cleanup_cancelled"), 1);
        EXPECT_EQ(std::count(events.begin(), events.end(), "cleanup_completed"), 1);
        EXPECT_EQ(endpoint.properties("cleanup_completed")[0]["cleaned_count_bucket"].toString(), "2-5");
    }
}

TEST(AppStateTotals, LifetimeFiguresNearTheLimitStayAtItAfterACleanup)
{
    testing::ScopedHome home;
    FixtureTree tree;
    tree.file("p/one/node_modules/x", 1000);
    tree.file("p/two/node_modules/x", 1000);
    // A preferences file edited by hand: totals a few bytes short of the largest 64-bit figure.
    const std::string file = home.home() + "/preferences.json";
    constexpr int64_t nearly = INT64_MAX - 10;
    std::ofstream(file) << encodePreferences({{"automaticUpdateChecksEnabled", false},
                                              {"statsStartedAt", PreferenceDate(std::chrono::seconds(1'600'000'000))},
                                              {"statsCleanedBytes", nearly},
                                              {"statsMovedToTrashBytes", nearly},
                                              {"statsPermanentlyDeletedBytes", int64_t{5}},
                                              {"statsCleanedFolders", INT64_MAX},
                                              {"statsCleanupRuns", INT64_MAX}});
    {
        JsonFilePreferencesStore store(file);
        AppState state(store, testing::isolatedEnvironment(home.home()));
        state.addRoots({tree.path("p")});
        state.scan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning(); }, 20000));
        ASSERT_EQ(state.candidates().size(), 2u);
        const int64_t bytes = state.totalSize();
        state.deleteSelected();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isDeleting(); }, 20000));
        ASSERT_EQ(state.statusMessage(), "Moved 2 folders to Trash.");

        const CleanupStats &stats = state.cleanupStats();
        EXPECT_EQ(stats.cleanedBytes, INT64_MAX);
        EXPECT_EQ(stats.movedToTrashBytes, INT64_MAX);
        EXPECT_EQ(stats.permanentlyDeletedBytes, 5);
        EXPECT_EQ(stats.cleanedFolders, INT64_MAX);
        EXPECT_EQ(stats.cleanupRuns, INT64_MAX);
        EXPECT_EQ(state.cleanupHistory().at(0).bytes, bytes) << "the run's own figure is exact";
        ASSERT_TRUE(state.cleanupSummary().has_value());
        EXPECT_EQ(state.cleanupSummary()->historyBytes, INT64_MAX);
    }
    const JsonFilePreferencesStore reread(file);
    EXPECT_EQ(reread.integer("statsCleanedBytes"), INT64_MAX);
    EXPECT_EQ(reread.integer("statsCleanupRuns"), INT64_MAX);
}

TEST(FolderSummary, NamesTwoAndCountsTheRest)
{
    const auto candidate = [](std::string key, std::string path) {
        CleanupCandidate c;
        c.id = c.path = std::move(path);
        c.key = std::move(key);
        return c;
    };
    EXPECT_EQ(AppState::folderSummary({}, "/home/u"), "No folders cleaned");
    EXPECT_EQ(AppState::folderSummary({candidate("target", "/home/u/rust/target")}, "/home/u"), "target - ~/rust");
    EXPECT_EQ(AppState::folderSummary({candidate("target", "/home/u/b/target"), candidate("dist", "/srv/web/dist"),
                                       candidate("Pods", "/home/u/ios/Pods")},
                                      "/home/u"),
              "dist - /srv/web, Pods - ~/ios +1 more");
    EXPECT_EQ(AppState::folderSummary({candidate("node_modules", "/home/user2/x/node_modules")}, "/home/u"),
              "node_modules - /home/user2/x");
}

} // namespace
} // namespace tarnwick
