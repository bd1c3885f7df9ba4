#include "DeletionTestSupport.h"
#include "FixtureTree.h"
#include "ScopedMount.h"
#include "TestEnvironment.h"
#include "core/PathRules.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <regex>
#include <sstream>

namespace tarnwick {
namespace {

using testing::candidateAt;
using testing::DeletionInputs;
using testing::entryExists;
using testing::FixtureTree;
using testing::progressRecord;
using testing::runDeletion;
using testing::ScopedHome;
using testing::ScopedMount;
using Phase = OperationPhase;

TEST(Deletion, AnEmptyListStartsAndCompletes)
{
    const auto run = runDeletion({}, CleanupAction::moveToTrash);
    EXPECT_EQ(run.result, DeleteResult{});
    EXPECT_EQ(run.progress, (std::vector<DeleteProgress>{progressRecord(Phase::starting, "Preparing cleanup", 0, 0, 0, 0),
                                                         progressRecord(Phase::done, "Cleanup complete", 0, 0, 0, 0)}));
}

TEST(Deletion, AFolderGoneSinceTheScanIsMissingNotFailed)
{
    FixtureTree tree;
    const auto gone = candidateAt(tree.path("gone/node_modules"));
    const auto run = runDeletion({gone}, CleanupAction::deletePermanently);
    EXPECT_EQ(run.result.missing, std::vector<CleanupCandidate>{gone});
    EXPECT_TRUE(run.result.deleted.empty() && run.result.failures.empty() && run.result.skipped.empty());
    EXPECT_EQ(run.progress,
              (std::vector<DeleteProgress>{progressRecord(Phase::starting, "Preparing cleanup", 1, 0, 0, 0),
                                           progressRecord(Phase::deleting, "Already gone: node_modules", 1, 1, 0, 0,
                                                          gone.path),
                                           progressRecord(Phase::done, "Cleanup complete", 1, 1, 0, 0)}));
}

// One re-validation situation. The tree has root/item (the candidate, holding a file), the folder
// root/elsewhere/sub and a link root/hop to it, and outside/. The snapshot of `candidate` is taken,
// `change` runs, and the deletion gets the snapshot and `approvedRoot`.
struct RevalidationCase {
    const char *name;
    std::function<void(FixtureTree &)> change;
    const char *expectedMessage;  // the record of the candidate
    const char *expectedReason;   // empty when not skipped
    bool expectDeleted = false;
    bool expectMissing = false;
    const char *approvedRoot = "root";  // nullptr: no approved root, so no identity check
    const char *candidate = "root/item";
    bool needsMount = false;
};

std::ostream &operator<<(std::ostream &out, const RevalidationCase &c)
{
    return out << c.name;
}

void removeItem(FixtureTree &tree)
{
    testing::runCommand("rm -rf " + testing::shellQuote(tree.path("root/item")));
}

class Revalidation : public ::testing::TestWithParam<RevalidationCase> {};

TEST_P(Revalidation, DecidesTheOutcomeBeforeAnythingIsTouched)
{
    const RevalidationCase &c = GetParam();
    FixtureTree tree;
    tree.file("root/item/file", 100);
    tree.folder("root/elsewhere/sub");
    tree.symlink("root/hop", "elsewhere/sub");
    tree.file("outside/keep", 10);
    const auto candidate = candidateAt(tree.path(c.candidate));
    DeletionInputs inputs;
    inputs.snapshots[candidate.id] = FileSystemSnapshot::capture(candidate.path, std::chrono::system_clock::now());
    if (c.approvedRoot != nullptr) {
        inputs.approvedRoots[candidate.id] = tree.path(c.approvedRoot);
    }
    if (c.change) {
        c.change(tree);
    }
    std::optional<ScopedMount> mount;
    if (c.needsMount) {
        mount.emplace(ScopedMount::tmpfs(tree.path("root/item")));
        if (!mount->mounted()) {
            GTEST_SKIP() << mount->why();
        }
    }

    const auto run = runDeletion({candidate}, CleanupAction::deletePermanently, inputs);

    ASSERT_EQ(run.progress.size(), c.expectDeleted ? 5u : 3u);
    EXPECT_EQ(run.progress[1].message, c.expectedMessage);
    EXPECT_EQ(run.progress[1].currentPath, candidate.path);
    EXPECT_EQ(run.result.deleted.size(), c.expectDeleted ? 1u : 0u);
    EXPECT_EQ(run.result.missing.size(), c.expectMissing ? 1u : 0u);
    EXPECT_TRUE(run.result.failures.empty());
    if (std::strlen(c.expectedReason) > 0) {
        ASSERT_EQ(run.result.skipped.size(), 1u);
        EXPECT_EQ(run.result.skipped[0].reason, c.expectedReason);
        EXPECT_EQ(run.result.skipped[0].candidate, candidate);
        struct stat status {};
        EXPECT_EQ(::stat(candidate.path.c_str(), &status), 0) << "a skipped candidate is never touched";
    } else {
        EXPECT_TRUE(run.result.skipped.empty());
    }
    EXPECT_TRUE(entryExists(tree.path("outside/keep")));
    EXPECT_TRUE(entryExists(tree.path("root/elsewhere/sub")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Revalidation,
    ::testing::Values(
        RevalidationCase{"Unchanged", nullptr, "Deleting node_modules", "", true},
        RevalidationCase{"ReplacedByANewFolder",
                         [](FixtureTree &fixture) {
                             removeItem(fixture);
                             fixture.file("root/item/file", 100);
                         },
                         "Skipped node_modules: changed since scan", "changed since scan"},
        RevalidationCase{"ModificationTimeTouched",
                         [](FixtureTree &fixture) {
                             const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
                             ::utimensat(AT_FDCWD, fixture.path("root/item").c_str(), old, 0);
                         },
                         "Skipped node_modules: changed since scan", "changed since scan"},
        RevalidationCase{"ReplacedByALink",
                         [](FixtureTree &fixture) {
                             removeItem(fixture);
                             fixture.symlink("root/item", fixture.path("outside"));
                         },
                         "Skipped node_modules: became a symbolic link", "became a symbolic link"},
        RevalidationCase{"MountedOver", nullptr, "Skipped node_modules: became a mount point", "became a mount point",
                         false, false, "root", "root/item", true},
        RevalidationCase{"OutsideTheApprovedFolder", nullptr, "Skipped node_modules: outside approved folder",
                         "outside approved folder", false, false, "outside"},
        RevalidationCase{"ReachableOnlyThroughALink",
                         [](FixtureTree &fixture) {
                             removeItem(fixture);
                             fixture.folder("root/elsewhere/item");
                         },
                         "Skipped node_modules: not accessible", "not accessible", false, false, "root",
                         "root/hop/../item"},
        RevalidationCase{"Deleted", removeItem, "Already gone: node_modules", "", false, true},
        // Without an approved root the snapshot is not checked: only existence counts.
        RevalidationCase{"ReplacedButNoApprovedRoot",
                         [](FixtureTree &fixture) {
                             removeItem(fixture);
                             fixture.file("root/item/file", 100);
                         },
                         "Deleting node_modules", "", true, false, nullptr}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

// Runs in the child that dropped privileges: one line per progress record, then the failures.
void deleteAsNobody(int writeFd, const std::string &candidate)
{
    const auto run = runDeletion({candidateAt(candidate)}, CleanupAction::deletePermanently);
    std::ostringstream out;
    for (const auto &p : run.progress) {
        out << rawValue(p.phase) << '|' << p.message << '|' << p.currentIndex << '|' << p.deletedCount << '|'
            << p.failedCount << '|' << p.entriesDeletedInCurrent << '\n';
    }
    for (const auto &failure : run.result.failures) {
        out << "failure|" << failure.path << '|' << failure.message << '\n';
    }
    const std::string text = out.str();
    [[maybe_unused]] const auto written = ::write(writeFd, text.data(), text.size());
}

TEST(Deletion, AFolderThatCannotBeRemovedFailsWithTheSystemMessageAndKeepsWhatWasRemoved)
{
    FixtureTree tree;
    tree.folder("node_modules", 0777);
    tree.file("node_modules/free", 10);
    tree.file("node_modules/locked/kept", 10);
    tree.openToEveryone();
    const std::string candidate = tree.path("node_modules");
    bool ran = false;
    const std::string output =
        testing::runUnprivileged("delete", [&candidate](int fd) { deleteAsNobody(fd, candidate); }, ran);
    if (!ran) {
        GTEST_SKIP() << "cannot drop privileges here (needs root and a 'nobody' user)";
    }
    const std::string permissionDenied = std::strerror(EACCES);
    EXPECT_EQ(output, "starting|Preparing cleanup|0|0|0|0\n"
                      "deleting|Deleting node_modules|1|0|0|0\n"
                      "deleting|Deleted 1 entries from node_modules|1|0|0|1\n"
                      "deleting|Failed to clean node_modules|1|0|1|1\n"
                      "done|Cleanup complete|1|0|1|0\n"
                      "failure|" + candidate + "|" + permissionDenied + "\n");
    EXPECT_FALSE(entryExists(tree.path("node_modules/free")));
    EXPECT_TRUE(entryExists(tree.path("node_modules/locked/kept")));
}

std::vector<CleanupCandidate> fiveCandidates(FixtureTree &tree)
{
    std::vector<CleanupCandidate> candidates;
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "c" + std::to_string(i);
        tree.file(name + "/node_modules/f", 10);
        candidates.push_back(candidateAt(tree.path(name + "/node_modules"), "k" + std::to_string(i)));
    }
    return candidates;
}

TEST(DeletionCancellation, BeforeTheThirdOfFiveReportsTwoOutcomesAndTouchesNoMore)
{
    FixtureTree tree;
    const auto candidates = fiveCandidates(tree);
    DeletionInputs inputs;
    inputs.onProgress = [](const DeleteProgress &p, CancellationToken &token) {
        if (p.message == "Deleted k2") {
            token.cancel();
        }
    };
    const auto run = runDeletion(candidates, CleanupAction::deletePermanently, inputs);
    EXPECT_TRUE(run.result.cancelled);
    EXPECT_EQ(run.result.deleted, (std::vector<CleanupCandidate>{candidates[0], candidates[1]}));
    EXPECT_EQ(run.progress.back(), progressRecord(Phase::cancelled, "Cleanup cancelled", 5, 2, 2, 0));
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_TRUE(entryExists(candidates[i].path));
    }
}

TEST(DeletionCancellation, RightBeforeAMoveToTheTrashLeavesThatFolderInPlaceAndUnlisted)
{
    ScopedHome home;
    FixtureTree tree;
    const auto candidates = fiveCandidates(tree);
    DeletionInputs inputs;
    inputs.onProgress = [](const DeleteProgress &p, CancellationToken &token) {
        if (p.message == "Moving k2") {
            token.cancel();
        }
    };
    const auto run = runDeletion(candidates, CleanupAction::moveToTrash, inputs);
    EXPECT_TRUE(run.result.cancelled);
    EXPECT_EQ(run.result.deleted, std::vector<CleanupCandidate>{candidates[0]});
    EXPECT_TRUE(run.result.failures.empty() && run.result.missing.empty() && run.result.skipped.empty());
    EXPECT_EQ(run.progress.back(), progressRecord(Phase::cancelled, "Cleanup cancelled", 5, 2, 1, 0, candidates[1].path));
    EXPECT_TRUE(entryExists(candidates[1].path));
}

TEST(Deletion, PermanentRemovalReportsTheFirstAndEveryHundredthEntry)
{
    FixtureTree tree;
    // 250 entries with the folder itself: 9 folders of 26 files, and 6 files at the top.
    for (int d = 0; d < 9; ++d) {
        for (int f = 0; f < 26; ++f) {
            tree.file("node_modules/d" + std::to_string(d) + "/f" + std::to_string(f), 1);
        }
    }
    for (int f = 0; f < 6; ++f) {
        tree.file("node_modules/top" + std::to_string(f), 1);
    }
    const auto candidate = candidateAt(tree.path("node_modules"));
    const auto run = runDeletion({candidate}, CleanupAction::deletePermanently);

    ASSERT_EQ(run.progress.size(), 7u);
    std::vector<std::string> messages;
    for (const auto &p : run.progress) {
        messages.push_back(p.message);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"Preparing cleanup", "Deleting node_modules",
                                                  "Deleted 1 entries from node_modules",
                                                  "Deleted 100 entries from node_modules",
                                                  "Deleted 200 entries from node_modules", "Deleted node_modules",
                                                  "Cleanup complete"}));
    for (std::size_t i = 2; i <= 4; ++i) {
        const auto &p = run.progress[i];
        EXPECT_EQ(p.entriesDeletedInCurrent, i == 2 ? 1 : (static_cast<int64_t>(i) - 2) * 100);
        EXPECT_EQ(p.currentPath, candidate.path);
        EXPECT_TRUE(isPathInside(p.currentItem, candidate.path) && p.currentItem != candidate.path) << p.currentItem;
        EXPECT_EQ(p.deletedCount, 0);
    }
    EXPECT_EQ(run.progress[5], progressRecord(Phase::deleting, "Deleted node_modules", 1, 1, 1, 0, candidate.path, {}, 250));
    EXPECT_EQ(run.result.deleted, std::vector<CleanupCandidate>{candidate});
    EXPECT_TRUE(run.result.trashRecords.empty()) << "a permanent deletion never makes a Trash record";
    EXPECT_FALSE(entryExists(candidate.path));
}

TEST(Deletion, AMoveToTheTrashIsRecordedOnlyForASnapshottedCandidate)
{
    ScopedHome home;
    FixtureTree tree;
    tree.file("a/node_modules/f", 10);
    tree.file("b/node_modules/f", 10);
    const auto withSnapshot = candidateAt(tree.path("a/node_modules"));
    const auto without = candidateAt(tree.path("b/node_modules"), "other");
    DeletionInputs inputs;
    const auto snapshot = FileSystemSnapshot::capture(withSnapshot.path, std::chrono::system_clock::now());
    inputs.snapshots[withSnapshot.id] = snapshot;
    inputs.approvedRoots[withSnapshot.id] = tree.root();
    const auto before = std::chrono::system_clock::now();

    const auto run = runDeletion({withSnapshot, without}, CleanupAction::moveToTrash, inputs);

    ASSERT_EQ(run.progress.size(), 8u);
    const std::string trashPath = run.progress[2].currentItem;
    EXPECT_EQ(run.progress[1], progressRecord(Phase::deleting, "Moving node_modules", 2, 1, 0, 0, withSnapshot.path));
    EXPECT_EQ(run.progress[2],
              progressRecord(Phase::deleting, "Moved node_modules to Trash", 2, 1, 0, 0, withSnapshot.path, trashPath, 1));
    EXPECT_EQ(run.progress[3], progressRecord(Phase::deleting, "Moved node_modules", 2, 1, 1, 0, withSnapshot.path, {}, 1));
    EXPECT_EQ(run.progress[6], progressRecord(Phase::deleting, "Moved other", 2, 2, 2, 0, without.path, {}, 1));
    EXPECT_TRUE(entryExists(trashPath + "/f"));
    EXPECT_FALSE(entryExists(withSnapshot.path));

    ASSERT_EQ(run.result.trashRecords.size(), 1u);
    const auto &record = run.result.trashRecords[0];
    EXPECT_TRUE(std::regex_match(record.id, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << record.id;
    EXPECT_EQ(record.originalPath, withSnapshot.path);
    EXPECT_EQ(record.trashPath, trashPath);
    EXPECT_EQ(record.snapshot, snapshot);
    EXPECT_EQ(record.category, withSnapshot.category);
    EXPECT_EQ(record.size, withSnapshot.size);
    EXPECT_GE(record.timestamp, before);
}

TEST(TrashTransactionRecordJson, WritesTheKeysInOrderAndReadsThemBack)
{
    TrashTransactionRecord record;
    record.id = "0F1E2D3C-4B5A-4968-8776-655443322110";
    record.originalPath = "/p/node_modules";
    record.trashPath = "/h/.local/share/Trash/files/node_modules.2";
    record.snapshot.path = record.snapshot.canonicalPath = record.originalPath;
    record.snapshot.entryType = FileSystemEntryType::directory;
    record.category = "JavaScript";
    record.size = 123456;
    record.timestamp = std::chrono::system_clock::time_point(std::chrono::seconds(1714555800));

    const auto object = record.toJson();
    std::vector<std::string> keys;
    for (const auto &[key, value] : object.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"id", "originalPath", "trashPath", "snapshot", "category", "size",
                                              "timestamp"}));
    EXPECT_EQ(object["timestamp"], "2024-05-01T09:30:00Z");
    EXPECT_EQ(object["snapshot"], record.snapshot.toJson());
    EXPECT_EQ(TrashTransactionRecord::fromJson(nlohmann::ordered_json::parse(object.dump())), record);

    auto damaged = object;
    damaged["snapshot"].erase("inode");
    EXPECT_EQ(TrashTransactionRecord::fromJson(damaged), std::nullopt);
    damaged = object;
    damaged["size"] = "123456";
    EXPECT_EQ(TrashTransactionRecord::fromJson(damaged), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
