// How runs end other than by finishing: cancelled, failed, or cut short by the application
// quitting. Each run is held at an exact report through the test probe, so where it stops does not
// depend on how fast anything is.

#include "AppStateFixture.h"
#include "app/AppSettings.h"
#include "app/JsonFilePreferencesStore.h"

#include <QTest>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>

namespace tarnwick {
namespace {

using testing::exists;
using testing::RunHold;

class AppStateRunEnds : public testing::AppStateFixture {
protected:
    // Two roots of one project folder each, scanned in this order.
    void makeTwoRoots()
    {
        tree.file("a/node_modules/x", 100);
        tree.file("b/node_modules/x", 100);
        state(endpoint.available()).addRoots({tree.path("a"), tree.path("b")});
    }

    // The two roots are walked side by side, so either folder may be the first one reported.
    static std::function<bool(const RunEvent &)> firstFolderFound(std::string &found)
    {
        return RunHold::at<CleanupCandidate>("scan", [&found](const CleanupCandidate &candidate) {
            found = candidate.path;
            return true;
        });
    }

    bool isEitherFolder(const std::string &path)
    {
        return path == tree.path("a/node_modules") || path == tree.path("b/node_modules");
    }

    // Five folders, largest first in the list; each holds two files, so a permanent deletion of
    // one reports after its first entry, while the folder is half gone.
    void makeFiveAndScan()
    {
        for (const char *name : {"a", "b", "c", "d", "e"}) {
            const int64_t size = 1000 * (6 - (name[0] - 'a'));
            tree.file(std::string("p/") + name + "/node_modules/one", size);
            tree.file(std::string("p/") + name + "/node_modules/two", size);
        }
        state(endpoint.available()).addRoots({tree.path("p")});
        scanAndWait();
        ASSERT_EQ(state().candidates().size(), 5u);
        ASSERT_EQ(state().candidates()[1].path, tree.path("p/b/node_modules"));
    }

    // Right after the first entry of the folder at `index` (from 1) is deleted.
    static std::function<bool(const RunEvent &)> halfWayThrough(int64_t index)
    {
        return RunHold::at<DeleteProgress>("cleanup", [index](const DeleteProgress &progress) {
            return progress.currentIndex == index && progress.entriesDeletedInCurrent == 1;
        });
    }
};

TEST_F(AppStateRunEnds, ACancelledScanKeepsWhatItFound)
{
    makeTwoRoots();
    std::string first;
    RunHold hold(firstFolderFound(first));
    state().scan();
    ASSERT_TRUE(hold.waitUntilHolding());
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().candidates().size() == 1; }, 20000));
    state().cancelScan();
    EXPECT_EQ(state().statusMessage(), "Cancelling scan...");
    EXPECT_TRUE(state().isScanning()) << "until the scan's thread has stopped";
    // The cancel lets the held scan go on, to its next check of the token.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isScanning(); }, 20000));

    EXPECT_EQ(candidatePaths(), std::vector<std::string>{first});
    EXPECT_TRUE(state().selectedCandidateIDs().contains(first));
    EXPECT_EQ(state().scanProgress().phase, OperationPhase::cancelled);
    EXPECT_EQ(state().scanProgress().message, "Scan cancelled");
    EXPECT_EQ(state().statusMessage(), "Scan cancelled.");
    EXPECT_EQ(state().lastOutcome(), RunOutcome::scanCancelled);
    if (endpoint.available()) {
        const auto events = endpoint.events(state());
        EXPECT_EQ(std::count(events.begin(), events.end(), "scan_cancelled"), 1);
        EXPECT_EQ(std::count(events.begin(), events.end(), "scan_completed"), 0);
    }
}

TEST_F(AppStateRunEnds, AFailedScanKeepsWhatItFoundAndSaysSo)
{
    makeTwoRoots();
    // The walk fails when it reports its second folder, as an error deep in the file system would.
    // Reports reach the probe one at a time, on one thread.
    std::vector<std::string> found;
    RunProbe failing([&found](const RunEvent &event) -> bool {
        if (event.run != "scan") {
            return false;
        }
        if (const auto *candidate = event.get<CleanupCandidate>()) {
            found.push_back(candidate->path);
            if (found.size() == 2) {
                throw std::runtime_error("Input/output error");
            }
        }
        return false;
    });
    scanAndWait();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(candidatePaths(), std::vector<std::string>{found[0]});
    EXPECT_EQ(state().scanProgress().phase, OperationPhase::failed);
    EXPECT_EQ(state().scanProgress().message, "Input/output error");
    EXPECT_EQ(state().statusMessage(), "Scan failed.");
    EXPECT_EQ(state().lastOutcome(), RunOutcome::scanFailed);
    if (endpoint.available()) {
        const auto events = endpoint.events(state());
        EXPECT_EQ(std::count(events.begin(), events.end(), "scan_completed"), 0);
        EXPECT_EQ(std::count(events.begin(), events.end(), "scan_cancelled"), 0);
    }
}

TEST_F(AppStateRunEnds, CancellingDuringTheSecondOfFiveFinishesThatFolderOnly)
{
    makeFiveAndScan();
    state().setCleanupAction(CleanupAction::deletePermanently);
    RunHold hold(halfWayThrough(2));
    state().deleteSelected();
    ASSERT_TRUE(hold.waitUntilHolding());
    state().cancelCleanup();
    EXPECT_EQ(state().statusMessage(), "Cancelling after the current folder...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isDeleting(); }, 20000));

    EXPECT_FALSE(exists(tree.path("p/b/node_modules"))) << "the folder in progress is finished";
    EXPECT_TRUE(exists(tree.path("p/c/node_modules/one"))) << "no other is touched";
    EXPECT_EQ(state().statusMessage(), "Cleanup cancelled. Deleted 2 folders.");
    EXPECT_EQ(state().lastOutcome(), RunOutcome::cleanupCancelled);
    EXPECT_EQ(state().deleteProgress().phase, OperationPhase::cancelled);
    EXPECT_EQ(state().deleteProgress().message, "Cleanup cancelled");
    EXPECT_EQ(state().candidates().size(), 3u);
    ASSERT_EQ(state().cleanupHistory().size(), 1u);
    EXPECT_TRUE(state().cleanupHistory()[0].cancelled);
    EXPECT_EQ(state().cleanupHistory()[0].folderCount, 2);
    EXPECT_EQ(state().cleanupStats().cleanedFolders, 2);
    ASSERT_TRUE(state().cleanupSummary().has_value());
    EXPECT_EQ(state().cleanupSummary()->folderCount, 2);
    EXPECT_TRUE(state().cleanupSummary()->cancelled);
    if (endpoint.available()) {
        // Cancelled and completed travel on parallel connections: in any order.
        const auto events = endpoint.events(state());
        EXPECT_EQ(std::count(events.begin(), events.end(), "cleanup_cancelled"), 1);
        EXPECT_EQ(std::count(events.begin(), events.end(), "cleanup_completed"), 1);
        EXPECT_EQ(endpoint.properties("cleanup_completed")[0]["cleaned_count_bucket"].toString(), "2-5");
    }
}

TEST_F(AppStateRunEnds, CancellingBeforeTheFirstFolderCleansNothingAndRecordsNothing)
{
    makeFiveAndScan();
    const CleanupStats stats = state().cleanupStats();
    RunHold hold(RunHold::at<DeleteProgress>(
        "cleanup", [](const DeleteProgress &progress) { return progress.phase == OperationPhase::starting; }));
    state().deleteSelected();
    ASSERT_TRUE(hold.waitUntilHolding());
    state().cancelCleanup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state().isDeleting(); }, 20000));

    EXPECT_EQ(state().statusMessage(), "Cleanup cancelled.");
    EXPECT_EQ(state().lastOutcome(), RunOutcome::cleanupCancelled);
    EXPECT_EQ(state().deleteProgress().phase, OperationPhase::cancelled);
    EXPECT_EQ(state().candidates().size(), 5u);
    EXPECT_TRUE(exists(tree.path("p/a/node_modules/one")));
    EXPECT_EQ(state().cleanupStats(), stats);
    EXPECT_TRUE(state().cleanupHistory().empty());
    EXPECT_FALSE(state().cleanupSummary().has_value());
}

TEST_F(AppStateRunEnds, QuittingDuringAScanStopsItBeforeTheNextFolder)
{
    makeTwoRoots();
    std::mutex mutex;
    std::vector<std::string> reported;
    bool endReported = false;
    // Holds at every folder found; records every report the scan's thread makes, delivered or not.
    RunProbe probe([&](const RunEvent &event) {
        if (event.run != "scan") {
            return false;
        }
        const std::lock_guard lock(mutex);
        if (const auto *candidate = event.get<CleanupCandidate>()) {
            reported.push_back(candidate->path);
            return true;
        }
        endReported = endReported || (event.get<OperationPhase>() != nullptr && !event.current);
        return false;
    });
    state().scan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.isHolding(); }, 20000));
    quit();

    // Destroying the state cancelled the scan and waited for its thread, which ended at its next
    // check of the token: the end it reported on the way out was dropped.
    const std::lock_guard lock(mutex);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_TRUE(isEitherFolder(reported[0])) << reported[0];
    EXPECT_TRUE(endReported);
}

// What quitting does to a permanent deletion, with the preferences in their real file: the folder
// in progress is finished, no other is touched, and the run is in the history and the statistics
// on disk when the state is gone.
TEST_F(AppStateRunEnds, QuittingDuringAPermanentCleanupRecordsWhatWasDone)
{
    for (const char *name : {"a", "b", "c", "d"}) {
        const int64_t size = 1000 * (5 - (name[0] - 'a'));
        tree.file(std::string("p/") + name + "/node_modules/one", size);
        tree.file(std::string("p/") + name + "/node_modules/two", size);
    }
    const std::string file = home.home() + "/config/Tarnwick/preferences.json";
    int64_t firstTwoBytes = 0;
    {
        JsonFilePreferencesStore preferences(file);
        preferences.set("automaticUpdateChecksEnabled", false);
        auto running = std::make_unique<AppState>(preferences, testing::isolatedEnvironment(home.home()));
        running->addRoots({tree.path("p")});
        running->setCleanupAction(CleanupAction::deletePermanently);
        running->scan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !running->isScanning(); }, 20000));
        ASSERT_EQ(running->candidates().size(), 4u);
        firstTwoBytes = running->candidates()[0].size + running->candidates()[1].size;

        RunHold hold(halfWayThrough(2));
        running->deleteSelected();
        ASSERT_TRUE(hold.waitUntilHolding());
        ASSERT_TRUE(exists(tree.path("p/b/node_modules"))) << "half way through the second folder";
        running.reset();
    }

    EXPECT_FALSE(exists(tree.path("p/a/node_modules")));
    EXPECT_FALSE(exists(tree.path("p/b/node_modules")));
    EXPECT_TRUE(exists(tree.path("p/c/node_modules/two")));
    EXPECT_TRUE(exists(tree.path("p/d/node_modules/two")));
    const JsonFilePreferencesStore reread(file);
    const AppSettings saved = AppSettings::load(reread, home.home());
    ASSERT_EQ(saved.cleanupHistory.size(), 1u);
    EXPECT_EQ(saved.cleanupHistory[0].actionRawValue, "deletePermanently");
    EXPECT_EQ(saved.cleanupHistory[0].folderCount, 2);
    EXPECT_EQ(saved.cleanupHistory[0].bytes, firstTwoBytes);
    EXPECT_TRUE(saved.cleanupHistory[0].cancelled);
    EXPECT_EQ(saved.cleanupStats.cleanedFolders, 2);
    EXPECT_EQ(saved.cleanupStats.permanentlyDeletedBytes, firstTwoBytes);
    EXPECT_EQ(saved.cleanupStats.cleanupRuns, 1);
}

}  // namespace
}  // namespace tarnwick
