#include "DeletionTestSupport.h"
#include "FixtureTree.h"
#include "ScopedMount.h"
#include "TestEnvironment.h"
#include "platform/FileDescriptor.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <stdio.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::candidateAt;
using testing::DeletionInputs;
using testing::entryExists;
using testing::FixtureTree;
using testing::listing;
using testing::runCommand;
using testing::runDeletion;
using testing::ScopedHome;
using testing::ScopedMount;
using testing::shellQuote;

// While a permanent deletion runs, another thread keeps putting links to a folder outside the
// candidate in the place of folders of the candidate: it makes a fresh link beside the folder and
// exchanges the two names atomically (renameat2 RENAME_EXCHANGE), so a folder the deletion has
// listed but not yet entered is a link when it gets there. The deletion may remove the links or
// fail (the displaced folders keep their new names), but it must never remove or change anything
// outside.
TEST(DeletionSafety, FoldersSwappedForLinksMidRunNeverLeadOutside)
{
    FixtureTree tree;
    for (int f = 0; f < 20; ++f) {
        tree.file("victim/f" + std::to_string(f), 1);
        tree.file("victim/sub/g" + std::to_string(f), 1);
    }
    const std::string victim = tree.path("victim");
    const std::string before = listing(victim);

    constexpr int kFolders = 16;
    long exchanges = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int runs = 0;
    for (; runs < 200 && std::chrono::steady_clock::now() < deadline; ++runs) {
        const std::string candidate = tree.path("run" + std::to_string(runs) + "/node_modules");
        for (int d = 0; d < kFolders; ++d) {
            const std::string folder = "run" + std::to_string(runs) + "/node_modules/p" + std::to_string(d);
            for (int f = 0; f < 6; ++f) {
                tree.file(folder + "/lib/f" + std::to_string(f), 1);
                tree.file(folder + "/f" + std::to_string(f), 1);
            }
        }
        std::atomic<bool> done{false};
        std::atomic<long> swapped{0};
        std::thread attacker([&, seed = runs] {
            std::minstd_rand random(static_cast<unsigned>(seed));
            for (long n = 0; !done.load(); ++n) {
                const std::string package = "p" + std::to_string(random() % kFolders);
                const bool deep = random() % 2 == 0;
                // The attacker works through a descriptor of the folder's parent opened without
                // following links, so it never writes into the victim itself.
                const FileDescriptor parent(::open((deep ? candidate + "/" + package : candidate).c_str(),
                                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                const std::string name = deep ? "lib" : package;
                const std::string link = name + ".x" + std::to_string(n);
                if (parent.valid() && ::symlinkat(victim.c_str(), parent.get(), link.c_str()) == 0 &&
                    ::renameat2(parent.get(), link.c_str(), parent.get(), name.c_str(), RENAME_EXCHANGE) == 0) {
                    swapped.fetch_add(1);
                }
            }
        });
        const auto run = runDeletion({candidateAt(candidate)}, CleanupAction::deletePermanently);
        done.store(true);
        attacker.join();
        exchanges += swapped.load();
        ASSERT_EQ(run.result.deleted.size() + run.result.failures.size(), 1u);
        ASSERT_EQ(listing(victim), before) << "run " << runs << " reached outside the candidate";
    }
    EXPECT_GT(exchanges, 0) << "the attacker never got a swap in";
    RecordProperty("runs", runs);
    RecordProperty("exchanges", static_cast<int>(exchanges));
}

TEST(DeletionSafety, ALinkInsideTheCandidateIsRemovedAsALink)
{
    FixtureTree tree;
    tree.file("elsewhere/keep", 100);
    tree.file("node_modules/pkg/index.js", 10);
    tree.symlink("node_modules/pkg/out", tree.path("elsewhere"));
    tree.symlink("node_modules/out-file", tree.path("elsewhere/keep"));
    const auto run = runDeletion({candidateAt(tree.path("node_modules"))}, CleanupAction::deletePermanently);
    EXPECT_EQ(run.result.deleted.size(), 1u);
    EXPECT_FALSE(entryExists(tree.path("node_modules")));
    EXPECT_TRUE(entryExists(tree.path("elsewhere/keep")));
}

// The candidate itself was replaced by a link to a folder elsewhere after the scan.
struct SwappedCandidateCase {
    const char *name;
    CleanupAction action;
    bool withSnapshot;
    bool expectDeleted; // the link itself went (permanently or to the Trash); else skipped
};

std::ostream &operator<<(std::ostream &out, const SwappedCandidateCase &c)
{
    return out << c.name;
}

class SwappedCandidate : public ::testing::TestWithParam<SwappedCandidateCase> {};

TEST_P(SwappedCandidate, IsNeverFollowed)
{
    const auto &c = GetParam();
    ScopedHome home;
    FixtureTree tree;
    tree.file("project/node_modules/f", 10);
    tree.file("elsewhere/keep", 100);
    const auto candidate = candidateAt(tree.path("project/node_modules"));
    DeletionInputs inputs;
    if (c.withSnapshot) {
        inputs.snapshots[candidate.id] = FileSystemSnapshot::capture(candidate.path, std::chrono::system_clock::now());
        inputs.approvedRoots[candidate.id] = tree.path("project");
    }
    runCommand("rm -rf " + shellQuote(candidate.path));
    tree.symlink("project/node_modules", tree.path("elsewhere"));
    const std::string before = listing(tree.path("elsewhere"));

    const auto run = runDeletion({candidate}, c.action, inputs);

    EXPECT_EQ(listing(tree.path("elsewhere")), before);
    EXPECT_TRUE(run.result.failures.empty());
    if (c.expectDeleted) {
        EXPECT_EQ(run.result.deleted.size(), 1u);
        EXPECT_FALSE(entryExists(candidate.path));
    } else {
        ASSERT_EQ(run.result.skipped.size(), 1u);
        EXPECT_EQ(run.result.skipped[0].reason, "became a symbolic link");
        EXPECT_TRUE(entryExists(candidate.path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwappedCandidate,
    ::testing::Values(SwappedCandidateCase{"PermanentWithoutSnapshot", CleanupAction::deletePermanently, false, true},
                      SwappedCandidateCase{"PermanentWithSnapshot", CleanupAction::deletePermanently, true, false},
                      SwappedCandidateCase{"TrashWithoutSnapshot", CleanupAction::moveToTrash, false, true},
                      SwappedCandidateCase{"TrashWithSnapshot", CleanupAction::moveToTrash, true, false}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

// A permanent deletion of a folder that is, or holds, a mount point fails before it removes anything.
enum class MountKind { tmpfsInside, bindInside, candidateIsTmpfs };

class MountedCandidate : public ::testing::TestWithParam<MountKind> {};

TEST_P(MountedCandidate, FailsBeforeRemovingAnything)
{
    FixtureTree tree;
    tree.file("node_modules/a/f", 10);
    tree.file("node_modules/b", 10);
    tree.folder("node_modules/mnt");
    tree.file("shared/keep", 10);
    const std::string candidatePath = tree.path("node_modules");
    const std::string point = GetParam() == MountKind::candidateIsTmpfs ? candidatePath : tree.path("node_modules/mnt");
    auto mount =
        GetParam() == MountKind::bindInside ? ScopedMount::bind(tree.path("shared"), point) : ScopedMount::tmpfs(point);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    tree.file(GetParam() == MountKind::bindInside ? "shared/also" : (point.substr(tree.root().size() + 1) + "/mounted"),
              10);
    const std::string before = listing(candidatePath);
    const std::string sharedBefore = listing(tree.path("shared"));

    const auto run = runDeletion({candidateAt(candidatePath)}, CleanupAction::deletePermanently);

    ASSERT_EQ(run.result.failures.size(), 1u);
    const std::string expected = GetParam() == MountKind::candidateIsTmpfs
                                     ? "It is a mount point; nothing was deleted"
                                     : "It holds a mount point at " + point + "; nothing was deleted";
    EXPECT_EQ(run.result.failures[0].message, expected);
    EXPECT_EQ(run.progress[run.progress.size() - 2].entriesDeletedInCurrent, 0);
    EXPECT_EQ(listing(candidatePath), before);
    EXPECT_EQ(listing(tree.path("shared")), sharedBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, MountedCandidate,
                         ::testing::Values(MountKind::tmpfsInside, MountKind::bindInside, MountKind::candidateIsTmpfs),
                         [](const auto &testInfo) {
                             switch (testInfo.param) {
                             case MountKind::tmpfsInside:
                                 return std::string("TmpfsInside");
                             case MountKind::bindInside:
                                 return std::string("BindMountInside");
                             case MountKind::candidateIsTmpfs:
                                 return std::string("CandidateIsTmpfs");
                             }
                             return std::string();
                         });

TEST(DeletionSafety, ATreeDeeperThanPathMaxIsRemovedCompletely)
{
    FixtureTree tree;
    constexpr int kDepth = 1200; // 1200 * 16 bytes: four times PATH_MAX
    const std::string name = "deep-folder-name";
    int fd = ::open(tree.folder("node_modules").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < kDepth; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int file = ::openat(fd, "f", O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(file, 0);
        ::close(file);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(child, 0);
        fd = child;
    }
    ::close(fd);

    const auto run = runDeletion({candidateAt(tree.path("node_modules"))}, CleanupAction::deletePermanently);
    ASSERT_EQ(run.result.deleted.size(), 1u) << (run.result.failures.empty() ? "" : run.result.failures[0].message);
    EXPECT_EQ(run.progress[run.progress.size() - 2].entriesDeletedInCurrent, 2 * kDepth + 1);
    EXPECT_FALSE(entryExists(tree.path("node_modules")));
}

} // namespace
} // namespace tarnwick
