// The guided flow through its coordinator with the real engine: scopes, live scans and cleanings on
// real folder trees, the real Trash and journal of a private home, and a real event loop.

#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "SuperCleanTestSupport.h"
#include "TestEnvironment.h"
#include "engine/CancellationToken.h"
#include "engine/TrashTransactionRecord.h"
#include "platform/FileIO.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::scanAndWait;
using testing::cleanAndWait;
using testing::selectOnly;

std::vector<std::string> journalLines(const std::string &path, bool *endsWithLineFeed = nullptr)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        readAll(fd, text);
        ::close(fd);
    }
    if (endsWithLineFeed != nullptr) {
        *endsWithLineFeed = !text.empty() && text.back() == '\n';
    }
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class SuperCleanCoordinatorTest : public ::testing::Test {
protected:
    void SetUp() override { coordinator.prepare({}, {}); }

    // Prepares a session whose only existing location is each folder given (the private home has
    // none of the standard ones).
    void chooseFolders(const std::vector<std::string> &paths)
    {
        coordinator.prepare({}, {});
        coordinator.addManualRoots(paths);
    }

    std::vector<std::string> itemPaths() const
    {
        std::vector<std::string> paths;
        for (const auto &item : coordinator.items()) {
            paths.push_back(item.candidate.path.substr(tree.root().size() + 1));
        }
        return paths;
    }

    const SuperCleanScopeGroup &projects() const { return coordinator.scopeGroups().front(); }
    std::string journal() const { return home.home() + "/.local/share/Tarnwick/SuperCleanTransactions.jsonl"; }

    testing::ScopedHome home;
    FixtureTree tree;
    SuperCleanCoordinator coordinator{home.home()};
};

TEST_F(SuperCleanCoordinatorTest, WithNothingPresentOnlyAbsentLocationsAreOffered)
{
    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::choosingScope);
    EXPECT_EQ(coordinator.statusMessage(), "Choose what Super Clean should analyze.");
    std::vector<SuperCleanScopeKind> kinds;
    for (const auto &group : coordinator.scopeGroups()) {
        kinds.push_back(group.kind);
        EXPECT_TRUE(group.selectedRoots().empty());
    }
    EXPECT_EQ(kinds, std::vector<SuperCleanScopeKind>(allSuperCleanScopeKinds.begin(), allSuperCleanScopeKinds.end()));
    ASSERT_EQ(projects().roots.size(), 4u);
    for (const auto &root : projects().roots) {
        EXPECT_FALSE(root.exists) << root.path;
        EXPECT_EQ(root.source, "Common folder");
    }
    EXPECT_EQ(coordinator.scopeGroups()[3].roots[2].path, home.home() + "/.docker/desktop/vms/0/data")
        << "the system's own location from the standard table";

    coordinator.startScan();
    EXPECT_EQ(coordinator.statusMessage(), "Select at least one existing folder.");
    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::choosingScope);
}

TEST_F(SuperCleanCoordinatorTest, EachLocationIsListedOnceUnderItsFirstLabel)
{
    std::filesystem::create_directories(home.home() + "/Code");
    std::filesystem::create_directories(home.home() + "/Projects");
    coordinator.prepare({home.home() + "/Code/"}, {});
    std::vector<std::string> listed;
    for (const auto &root : projects().roots) {
        listed.push_back(root.path.substr(home.home().size() + 1) + " " + root.source + (root.exists ? "" : " absent"));
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"Code Current folder", "Developer Common folder absent",
                                                "Projects Common folder", "Workspace Common folder absent"}));

    tree.folder("chosen");
    tree.file("notes.txt");
    coordinator.addManualRoots({tree.path("chosen"), tree.path("chosen/."), tree.path("notes.txt"),
                                tree.path("missing"), home.home() + "/Projects"});
    ASSERT_EQ(projects().roots.size(), 5u);
    EXPECT_EQ(projects().roots.back().id, tree.path("chosen"));
    EXPECT_EQ(projects().roots.back().source, "Chosen folder");

    coordinator.toggleRoot(tree.path("chosen"));
    EXPECT_FALSE(projects().roots.back().isSelected);
    coordinator.toggleRoot(tree.path("chosen"));
    coordinator.toggleRoot(tree.path("unknown"));
    EXPECT_TRUE(projects().roots.back().isSelected);

    // While a scan runs the scopes stay as they are.
    coordinator.startScan();
    ASSERT_TRUE(coordinator.isBusy());
    const auto before = coordinator.scopeGroups();
    coordinator.toggleRoot(tree.path("chosen"));
    tree.folder("later");
    coordinator.addManualRoots({tree.path("later")});
    EXPECT_EQ(coordinator.scopeGroups(), before);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator.isBusy(); }, 20000));
}

TEST_F(SuperCleanCoordinatorTest, NestedLocationsAreScannedOnceFromTheOuterOne)
{
    testing::javaScriptProject(tree, "outer/inner/app");
    chooseFolders({tree.path("outer/inner"), tree.path("outer")});
    scanAndWait(coordinator);
    ASSERT_EQ(itemPaths(), std::vector<std::string>{"outer/inner/app/node_modules"});
    EXPECT_EQ(coordinator.items()[0].approvedRoot, tree.path("outer"));
}

TEST_F(SuperCleanCoordinatorTest, ItemsArriveSortedAndOnlyRecommendedOnesEndSelected)
{
    testing::javaScriptProject(tree, "web");
    tree.file("web/dist/bundle.js", 90000);
    tree.file("py/.venv/lib/site.py", 1000);
    chooseFolders({tree.root()});
    std::vector<std::string> statuses;
    bool alwaysInOrder = true;
    QObject::connect(&coordinator, &SuperCleanCoordinator::statusMessageChanged,
                     [&] { statuses.push_back(coordinator.statusMessage()); });
    QObject::connect(&coordinator, &SuperCleanCoordinator::itemsChanged, [&] {
        const auto &items = coordinator.items();
        if (coordinator.phase() != SuperCleanPhase::scanning || items.empty()) {
            return;
        }
        alwaysInOrder = alwaysInOrder && std::is_sorted(items.begin(), items.end(), SuperCleanAnalysis::comesBefore);
        // The user cannot change the selection while the list fills.
        coordinator.setItem(items.back().id, true);
    });
    scanAndWait(coordinator);

    EXPECT_TRUE(alwaysInOrder);
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Analyzing... 1 folder found so far."), statuses.end());
    EXPECT_EQ(itemPaths(), (std::vector<std::string>{"web/node_modules", "web/dist", "py/.venv"}));
    EXPECT_EQ(coordinator.selectedItemIDs(), std::set<std::string>{tree.path("web/node_modules")});
    EXPECT_EQ(coordinator.focusedItemID(), tree.path("web/node_modules"));
    EXPECT_EQ(coordinator.statusMessage(), "Review 3 folders. Only Recommended items are selected.");
    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::reviewing);
    EXPECT_EQ((std::vector<int64_t>{coordinator.recommendedCount(), coordinator.reviewCount(),
                                    coordinator.advancedCount()}),
              (std::vector<int64_t>{1, 1, 1}));
    EXPECT_EQ(coordinator.foundBytes(), coordinator.items()[0].candidate.size + coordinator.items()[1].candidate.size +
                                            coordinator.items()[2].candidate.size);

    // Chosen by hand after the review, an item of another tier is unselected again by a new scan.
    coordinator.setItem(tree.path("web/dist"), true);
    EXPECT_EQ(coordinator.selectedItemIDs().size(), 2u);
    scanAndWait(coordinator);
    EXPECT_EQ(coordinator.selectedItemIDs(), std::set<std::string>{tree.path("web/node_modules")});
}

// The finished scan's items are put in order on the background pool; the scan's view stays as it
// was meanwhile, and a failure there ends the scan as a failure of the walk would.
TEST_F(SuperCleanCoordinatorTest, TheFinishedListIsPutInOrderApartAndAFailureThereIsReported)
{
    testing::javaScriptProject(tree, "a");
    testing::javaScriptProject(tree, "b");
    chooseFolders({tree.root()});
    std::size_t countWhileAnalyzing = 0;
    std::size_t leadingWhileAnalyzing = 0;
    QObject::connect(&coordinator, &SuperCleanCoordinator::phaseChanged, [&] {
        if (coordinator.phase() == SuperCleanPhase::analyzing) {
            countWhileAnalyzing = coordinator.itemCount();
            leadingWhileAnalyzing = coordinator.leadingItems().size();
        }
    });
    scanAndWait(coordinator);
    EXPECT_EQ(countWhileAnalyzing, 2u);
    EXPECT_EQ(leadingWhileAnalyzing, 2u);
    ASSERT_EQ(itemPaths(), (std::vector<std::string>{"a/node_modules", "b/node_modules"}));

    RunProbe failing([](const RunEvent &event) -> bool {
        if (event.run == "superCleanScan" && event.get<std::vector<SuperCleanItem>>() != nullptr) {
            throw std::runtime_error("Cannot allocate memory");
        }
        return false;
    });
    scanAndWait(coordinator);
    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::failed);
    EXPECT_EQ(coordinator.scanProgress().message, "Cannot allocate memory");
    EXPECT_EQ(coordinator.statusMessage(), "Super Clean could not finish.");
    EXPECT_TRUE(coordinator.items().empty());
    EXPECT_EQ(coordinator.itemCount(), 0u);
}

TEST_F(SuperCleanCoordinatorTest, AlwaysKeepTakesAnItemOutOfThisAndLaterScans)
{
    tree.file("a/node_modules/big", 50000);
    testing::javaScriptProject(tree, "a");
    testing::javaScriptProject(tree, "b");
    chooseFolders({tree.root()});
    scanAndWait(coordinator);
    ASSERT_EQ(itemPaths(), (std::vector<std::string>{"a/node_modules", "b/node_modules"}));
    coordinator.markAlwaysKeep(coordinator.items().front());
    EXPECT_EQ(itemPaths(), std::vector<std::string>{"b/node_modules"});
    EXPECT_EQ(coordinator.focusedItemID(), tree.path("b/node_modules"));
    EXPECT_EQ(coordinator.selectedItemIDs(), std::set<std::string>{tree.path("b/node_modules")});
    EXPECT_EQ(coordinator.statusMessage(), "Added to Always Keep.");
    scanAndWait(coordinator);
    EXPECT_EQ(itemPaths(), std::vector<std::string>{"b/node_modules"});
}

TEST_F(SuperCleanCoordinatorTest, ChangedAndVanishedItemsAreSkippedAndMovesAreJournaledInOrder)
{
    for (const char *name : {"replaced", "vanished", "first", "second"}) {
        testing::javaScriptProject(tree, name);
    }
    chooseFolders({tree.root()});
    scanAndWait(coordinator);
    ASSERT_EQ(coordinator.selectedItemIDs().size(), 4u);

    coordinator.setItem(tree.path("first/node_modules"), false);
    coordinator.setItem(tree.path("second/node_modules"), false);
    std::filesystem::remove_all(tree.path("replaced/node_modules"));
    tree.folder("replaced/node_modules");
    std::filesystem::remove_all(tree.path("vanished/node_modules"));
    cleanAndWait(coordinator);

    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::completed);
    ASSERT_TRUE(coordinator.result().has_value());
    EXPECT_EQ(coordinator.result()->missingCount, 1);
    ASSERT_EQ(coordinator.result()->skipped.size(), 1u);
    EXPECT_EQ(coordinator.result()->skipped[0].candidate.path, tree.path("replaced/node_modules"));
    EXPECT_EQ(coordinator.result()->report.skippedCount, 2);
    EXPECT_EQ(itemPaths(), (std::vector<std::string>{"first/node_modules", "replaced/node_modules",
                                                     "second/node_modules"}));
    EXPECT_TRUE(std::filesystem::exists(tree.path("replaced/node_modules")));
    EXPECT_EQ(coordinator.statusMessage(), coordinator.result()->report.summaryText());
    EXPECT_FALSE(std::filesystem::exists(journal())) << "nothing moved, nothing journaled";

    for (const char *name : {"first", "second"}) {
        selectOnly(coordinator, {tree.path(std::string(name) + "/node_modules")});
        cleanAndWait(coordinator);
        EXPECT_EQ(coordinator.result()->report.movedCount, 1);
    }
    bool endsWithLineFeed = false;
    const auto lines = journalLines(journal(), &endsWithLineFeed);
    EXPECT_TRUE(endsWithLineFeed);
    ASSERT_EQ(lines.size(), 2u);
    std::vector<std::string> moved;
    for (const auto &line : lines) {
        const auto record = TrashTransactionRecord::fromJson(nlohmann::ordered_json::parse(line));
        ASSERT_TRUE(record.has_value()) << line;
        moved.push_back(record->originalPath);
        EXPECT_TRUE(std::filesystem::exists(record->trashPath));
    }
    EXPECT_EQ(moved, (std::vector<std::string>{tree.path("first/node_modules"), tree.path("second/node_modules")}));
    EXPECT_EQ(itemPaths(), std::vector<std::string>{"replaced/node_modules"});
}

TEST_F(SuperCleanCoordinatorTest, CancellingAfterTheThirdOfTenStopsThere)
{
    for (int i = 0; i < 10; ++i) {
        testing::javaScriptProject(tree, "p" + std::to_string(i));
    }
    chooseFolders({tree.root()});
    scanAndWait(coordinator);
    ASSERT_EQ(coordinator.selectedItemIDs().size(), 10u);

    // Held right after the third move, and cancelled there.
    testing::RunHold hold(testing::RunHold::at<DeleteProgress>(
        "superCleanCleaning", [](const DeleteProgress &progress) { return progress.deletedCount == 3; }));
    std::size_t listedAtCompletion = 0;
    coordinator.setOnCompleted([&](const SuperCleanCompletionReport &) { listedAtCompletion = coordinator.items().size(); });
    coordinator.cleanSelected();
    ASSERT_TRUE(hold.waitUntilHolding());
    coordinator.cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator.isBusy(); }, 20000));

    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::cancelled);
    ASSERT_TRUE(coordinator.result().has_value());
    EXPECT_TRUE(coordinator.result()->cancelled);
    EXPECT_EQ(coordinator.result()->report.movedCount, 3);
    EXPECT_EQ(listedAtCompletion, 10u) << "the handler runs before moved items leave the list";
    EXPECT_EQ(coordinator.items().size(), 7u);
    EXPECT_EQ(coordinator.selectedItemIDs().size(), 7u);
    EXPECT_EQ(coordinator.statusMessage(), coordinator.result()->report.summaryText());
    EXPECT_EQ(journalLines(journal()).size(), 3u);

    selectOnly(coordinator, {});
    coordinator.cleanSelected();
    EXPECT_EQ(coordinator.statusMessage(), "Select at least one item first.");
    EXPECT_EQ(coordinator.phase(), SuperCleanPhase::cancelled);
}

}  // namespace
}  // namespace tarnwick
