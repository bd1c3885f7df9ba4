// Attacks on the way from a scan's decision to a cleanup's act. Each one changes the tree between
// the scan and the cleanup the way another user who can write below a scan root could, at an exact
// point (before the cleanup, or at the progress report of an earlier candidate), and checks that
// nothing outside the reviewed folders is removed or moved.

#include "DeletionTestSupport.h"
#include "FixtureTree.h"
#include "ScopedMount.h"
#include "TestEnvironment.h"
#include "core/FileSystemSnapshot.h"
#include "engine/CleanupRules.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::DeletionInputs;
using testing::entryExists;
using testing::FixtureTree;
using testing::listing;
using testing::runCommand;
using testing::runDeletion;
using testing::ScopedHome;
using testing::ScopedMount;
using testing::shellQuote;

std::vector<CleanupCandidate> scanned(const std::string &root, std::set<std::string> excluded = {},
                                      bool allowRootMatches = false)
{
    ScanOptions options;
    options.roots = {root};
    options.selectedTargetKeys = CleanupRules::allKeys();
    options.includeAggressive = true;
    options.excludedPaths = std::move(excluded);
    options.allowRootMatches = allowRootMatches;
    CancellationToken token;
    return Tarnwicker::scan(options, {}, {}, token);
}

std::vector<std::string> paths(const std::vector<CleanupCandidate> &candidates)
{
    std::vector<std::string> result;
    for (const auto &candidate : candidates) {
        result.push_back(candidate.path);
    }
    std::sort(result.begin(), result.end());
    return result;
}

// --- A folder on the way to a candidate swapped for a link ---------------------------------------

enum class Level { parent, grandparent };
enum class Style {
    redirect, // the folder is renamed aside and a link to another project takes its name
    moveOut,  // the folder itself is moved outside the root and a link to it takes its name
};
enum class Mode { classic, guided };
enum class When { beforeCleanup, afterEarlierCandidate };

struct SwapCase {
    Level level;
    Style style;
    CleanupAction action;
    Mode mode;
    When when;
};

std::string caseName(const ::testing::TestParamInfo<SwapCase> &info)
{
    const SwapCase &c = info.param;
    return std::string(c.level == Level::parent ? "Parent" : "Grandparent") +
           (c.style == Style::redirect ? "Redirected" : "MovedOut") +
           (c.action == CleanupAction::moveToTrash ? "Trash" : "Permanent") +
           (c.mode == Mode::classic ? "Classic" : "Guided") +
           (c.when == When::beforeCleanup ? "BeforeCleanup" : "MidRun");
}

class SwappedWay : public ::testing::TestWithParam<SwapCase> {};

TEST_P(SwappedWay, NeverReachesOutsideTheRoot)
{
    const SwapCase &c = GetParam();
    ScopedHome home;
    FixtureTree tree;
    // Inside the root: a large candidate cleaned first, and the target below scan/g/p.
    tree.file("scan/big/node_modules/blob", 200000);
    tree.file("scan/g/p/node_modules/f", 10);
    // Outside: a victim project laid out like the target, and where a moved-out folder goes.
    tree.file("elsewhere/g/p/node_modules/keep", 4000);
    tree.folder("outside");
    const std::string root = tree.path("scan");
    const std::string swapped = c.level == Level::parent ? "scan/g/p" : "scan/g";
    const std::string target = tree.path("scan/g/p/node_modules");
    const std::string victim = tree.path("elsewhere");
    const std::string victimBefore = listing(victim);

    const std::vector<CleanupCandidate> candidates = scanned(root);
    ASSERT_EQ(candidates.size(), 2u);
    ASSERT_EQ(candidates[1].path, target);
    DeletionInputs inputs;
    if (c.mode == Mode::guided) {
        for (const auto &candidate : candidates) {
            inputs.snapshots[candidate.id] = FileSystemSnapshot::capture(candidate.path, {});
            inputs.approvedRoots[candidate.id] = root;
        }
    }

    std::string movedTo;
    const auto attack = [&] {
        const std::string from = tree.path(swapped);
        const std::string relative = swapped.substr(std::string("scan/").size());
        if (c.style == Style::redirect) {
            ASSERT_EQ(::rename(from.c_str(), (from + ".aside").c_str()), 0);
            ASSERT_EQ(::symlink((victim + "/" + relative).c_str(), from.c_str()), 0);
        } else {
            movedTo = tree.path("outside/" + swapped.substr(swapped.rfind('/') + 1));
            ASSERT_EQ(::rename(from.c_str(), movedTo.c_str()), 0);
            ASSERT_EQ(::symlink(movedTo.c_str(), from.c_str()), 0);
        }
    };
    if (c.when == When::beforeCleanup) {
        attack();
    } else {
        inputs.onProgress = [&, attacked = false](const DeleteProgress &progress, CancellationToken &) mutable {
            if (!attacked && progress.currentIndex == 1 &&
                (progress.message.starts_with("Moved ") || progress.message.starts_with("Deleted "))) {
                attacked = true;
                attack();
            }
        };
    }
    const auto run = runDeletion(candidates, c.action, inputs);

    EXPECT_EQ(listing(victim), victimBefore) << "the cleanup reached the victim through the link";
    if (c.style == Style::moveOut) {
        ASSERT_FALSE(movedTo.empty());
        EXPECT_TRUE(entryExists(movedTo + (c.level == Level::parent ? "/node_modules/f" : "/p/node_modules/f")))
            << "the cleanup followed the link to the folder moved outside the root";
    }
    EXPECT_TRUE(run.result.deleted.size() == 1 && run.result.deleted[0].path == candidates[0].path)
        << "the earlier candidate is cleaned and the swapped one is not";
    if (c.mode == Mode::classic) {
        ASSERT_EQ(run.result.failures.size(), 1u);
        EXPECT_EQ(run.result.failures[0].path, target);
        EXPECT_EQ(run.result.failures[0].message, "It changed since it was scanned; nothing was deleted");
    } else {
        ASSERT_EQ(run.result.skipped.size(), 1u);
        EXPECT_EQ(run.result.skipped[0].candidate.path, target);
        EXPECT_EQ(run.result.skipped[0].reason, "changed since scan");
    }
}

std::vector<SwapCase> swapCases()
{
    std::vector<SwapCase> cases;
    for (Level level : {Level::parent, Level::grandparent}) {
        for (Style style : {Style::redirect, Style::moveOut}) {
            for (CleanupAction action : {CleanupAction::moveToTrash, CleanupAction::deletePermanently}) {
                for (Mode mode : {Mode::classic, Mode::guided}) {
                    for (When when : {When::beforeCleanup, When::afterEarlierCandidate}) {
                        cases.push_back({level, style, action, mode, when});
                    }
                }
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Attacks, SwappedWay, ::testing::ValuesIn(swapCases()), caseName);

// The scan root itself replaced after the scan: the candidates found below it are not reached
// through whatever now has its name.
TEST(SwappedRoot, IsRefusedForEveryCandidateBelowIt)
{
    ScopedHome home;
    FixtureTree tree;
    tree.file("scan/p/node_modules/f", 10);
    tree.file("elsewhere/p/node_modules/keep", 10);
    const std::string root = tree.path("scan");
    const auto candidates = scanned(root);
    ASSERT_EQ(candidates.size(), 1u);
    ASSERT_EQ(::rename(root.c_str(), tree.path("scan.aside").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("elsewhere").c_str(), root.c_str()), 0);

    for (CleanupAction action : {CleanupAction::moveToTrash, CleanupAction::deletePermanently}) {
        const auto run = runDeletion(candidates, action);
        ASSERT_EQ(run.result.failures.size(), 1u);
        EXPECT_EQ(run.result.failures[0].message, "It changed since it was scanned; nothing was deleted");
    }
    EXPECT_TRUE(entryExists(tree.path("elsewhere/p/node_modules/keep")));
}

// A root the user has since taken off the list is still where the candidate is reached from, so a
// root given through a link keeps working.
TEST(ScanRootThroughALink, StillReachesItsCandidates)
{
    ScopedHome home;
    FixtureTree tree;
    tree.file("real/p/node_modules/f", 10);
    tree.symlink("link", tree.path("real"));
    const auto candidates = scanned(tree.path("link"));
    ASSERT_EQ(paths(candidates), std::vector<std::string>{tree.path("link/p/node_modules")});
    const auto run = runDeletion(candidates, CleanupAction::deletePermanently);
    EXPECT_EQ(run.result.deleted.size(), 1u);
    EXPECT_FALSE(entryExists(tree.path("real/p/node_modules")));
}

// --- Mounts inside a candidate -------------------------------------------------------------------

enum class InsideMount { tmpfsInside, bindInside, candidateIsBindMount };

struct MountCase {
    InsideMount kind;
    CleanupAction action;
};

std::string mountCaseName(const ::testing::TestParamInfo<MountCase> &info)
{
    static const char *const kinds[] = {"TmpfsInside", "BindMountInside", "CandidateIsBindMount"};
    return std::string(kinds[static_cast<int>(info.param.kind)]) +
           (info.param.action == CleanupAction::moveToTrash ? "Trash" : "Permanent");
}

class MountInsideCandidate : public ::testing::TestWithParam<MountCase> {};

// A mount carried into the Trash would be deleted with it when the Trash is emptied: a Trash move
// refuses a candidate that is or holds a mount point as a permanent deletion does, with the same
// sentence, before anything moves.
TEST_P(MountInsideCandidate, IsRefusedBeforeAnythingMoves)
{
    const MountCase &c = GetParam();
    ScopedHome home;
    FixtureTree tree;
    tree.file("scan/p/node_modules/a/f", 10);
    tree.folder("scan/p/node_modules/mnt");
    tree.file("shared/keep", 10);
    const std::string candidatePath = tree.path("scan/p/node_modules");
    const auto candidates = scanned(tree.path("scan"));
    ASSERT_EQ(candidates.size(), 1u);

    const std::string point =
        c.kind == InsideMount::candidateIsBindMount ? candidatePath : tree.path("scan/p/node_modules/mnt");
    auto mount = c.kind == InsideMount::tmpfsInside  ? ScopedMount::tmpfs(point)
                 : c.kind == InsideMount::bindInside ? ScopedMount::bind(tree.path("shared"), point)
                                                   : ScopedMount::bind(candidatePath, point);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    const std::string sharedBefore = listing(tree.path("shared"));
    const std::string before = listing(candidatePath);

    // A bind mount of the candidate onto itself keeps its identity, so the scan's record still fits.
    const auto run = runDeletion(candidates, c.action);

    ASSERT_EQ(run.result.failures.size(), 1u);
    const std::string expected = c.kind == InsideMount::candidateIsBindMount
                                     ? "It is a mount point; nothing was deleted"
                                     : "It holds a mount point at " + point + "; nothing was deleted";
    EXPECT_EQ(run.result.failures[0].message, expected);
    EXPECT_EQ(listing(candidatePath), before);
    EXPECT_EQ(listing(tree.path("shared")), sharedBefore);
    EXPECT_EQ(runCommand("ls -A " + shellQuote(dataHomeFolder() + "/Trash/files") + " 2>/dev/null"), "");
}

INSTANTIATE_TEST_SUITE_P(Attacks, MountInsideCandidate,
                         ::testing::Values(MountCase{InsideMount::tmpfsInside, CleanupAction::moveToTrash},
                                           MountCase{InsideMount::bindInside, CleanupAction::moveToTrash},
                                           MountCase{InsideMount::candidateIsBindMount, CleanupAction::moveToTrash},
                                           MountCase{InsideMount::candidateIsBindMount,
                                                     CleanupAction::deletePermanently}),
                         mountCaseName);

// The snapshot of a guided cleanup sees a bind mount of the same file system as a mount point, so
// such an item is never taken for a plain folder.
TEST(MountInsideCandidateSnapshot, SeesABindMountOfTheSameFileSystem)
{
    FixtureTree tree;
    tree.file("p/node_modules/f", 10);
    const std::string point = tree.path("p/node_modules");
    auto mount = ScopedMount::bind(point, point);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    const FileSystemSnapshot snapshot = FileSystemSnapshot::capture(point, {});
    EXPECT_TRUE(snapshot.isMountPoint);
    EXPECT_EQ(snapshot.validate(point, tree.root()), SnapshotValidationResult::mountPoint);
}

// --- The walk and the Trash ----------------------------------------------------------------------

// Folders already in a trash are on their way out: a scan over a home or a volume never lists them,
// so a cleanup never fails on them or deletes them behind their info files.
TEST(TrashFolders, AreNeverScanned)
{
    ScopedHome home;
    FixtureTree tree;
    tree.file("vol/p/node_modules/f", 10);
    const std::string dataHome = dataHomeFolder();
    ASSERT_EQ(runCommand("mkdir -p " + shellQuote(dataHome + "/Trash/files/old/node_modules") + " " +
                         shellQuote(home.home() + "/proj/node_modules") + " && echo ok"),
              "ok\n");
    std::vector<std::string> expectedHome{home.home() + "/proj/node_modules"};
    EXPECT_EQ(paths(scanned(home.home())), expectedHome);
    EXPECT_TRUE(paths(scanned(dataHome + "/Trash")).empty()) << "a trash given as the root itself";
    EXPECT_EQ(paths(scanned(home.home(), {}, true)), expectedHome) << "as the guided scan walks";

    auto mount = ScopedMount::tmpfs(tree.path("vol"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    const std::string uid = std::to_string(::geteuid());
    ASSERT_EQ(runCommand("cd " + shellQuote(tree.path("vol")) + " && mkdir -p p/node_modules .Trash-" + uid +
                         "/files/x/node_modules .Trash-4242/files/y/node_modules .Trash/" + uid +
                         "/files/z/node_modules && echo ok"),
              "ok\n");
    EXPECT_EQ(paths(scanned(tree.root())), std::vector<std::string>{tree.path("vol/p/node_modules")});
}

// An exclusion names a folder, not a spelling of its path: a root given through a link still
// leaves the folder out when it is excluded by its real path, and the other way round.
TEST(Exclusions, HoldWhateverPathLeadsToTheFolder)
{
    FixtureTree tree;
    tree.file("real/p/node_modules/f", 10);
    tree.file("real/q/node_modules/f", 10);
    tree.symlink("link", tree.path("real"));
    EXPECT_EQ(paths(scanned(tree.path("link"), {tree.path("real/p")})),
              std::vector<std::string>{tree.path("link/q/node_modules")});
    EXPECT_EQ(paths(scanned(tree.path("real"), {tree.path("link/q/node_modules")})),
              std::vector<std::string>{tree.path("real/p/node_modules")});
    EXPECT_TRUE(scanned(tree.path("link"), {tree.path("real")}).empty());
}

// --- Candidates deeper than PATH_MAX -------------------------------------------------------------

// Builds `levels` folders of a long name below `base` through descriptors and puts a node_modules
// with one file at the bottom; returns the node_modules path.
std::string deepCandidate(const std::string &base, int levels)
{
    const std::string name(200, 'd');
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = base;
    for (int level = 0; level < levels && fd >= 0; ++level) {
        ::mkdirat(fd, name.c_str(), 0755);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = child;
        path += "/" + name;
    }
    ::mkdirat(fd, "node_modules", 0755);
    const int file = ::openat(fd, "node_modules/index.js", O_WRONLY | O_CREAT, 0644);
    ::close(file);
    ::close(fd);
    return path + "/node_modules";
}

// Whether a node_modules is left anywhere below `base`; find works relative to descriptors, so
// depth is no obstacle.
bool holdsNodeModules(const std::string &base)
{
    return runCommand("cd " + shellQuote(base) + " && find . -name node_modules | wc -l") != "0\n";
}

class DeepCandidate : public ::testing::TestWithParam<CleanupAction> {};

TEST_P(DeepCandidate, IsCleanedThroughDescriptors)
{
    ScopedHome home;
    FixtureTree tree;
    const std::string root = tree.folder("scan");
    const std::string target = deepCandidate(root, 30); // about 6,000 bytes of path
    ASSERT_GT(target.size(), static_cast<std::size_t>(PATH_MAX));
    const auto candidates = scanned(root);
    ASSERT_EQ(paths(candidates), std::vector<std::string>{target});

    const auto run = runDeletion(candidates, GetParam());

    EXPECT_TRUE(run.result.missing.empty()) << "a folder that is there is not already gone";
    ASSERT_EQ(run.result.deleted.size(), 1u) << (run.result.failures.empty() ? "" : run.result.failures[0].message);
    EXPECT_FALSE(holdsNodeModules(root));
}

INSTANTIATE_TEST_SUITE_P(Attacks, DeepCandidate,
                         ::testing::Values(CleanupAction::moveToTrash, CleanupAction::deletePermanently),
                         [](const auto &testInfo) {
                             return std::string(testInfo.param == CleanupAction::moveToTrash ? "Trash" : "Permanent");
                         });

} // namespace
} // namespace tarnwick
