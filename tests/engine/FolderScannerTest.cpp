#include "FixtureTree.h"
#include "ScanTestSupport.h"
#include "TestEnvironment.h"

#include <chrono>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::everyRule;
using testing::FixtureTree;
using testing::foundKeys;
using testing::recordScan;

std::string summary(const ScanProgress &p)
{
    return std::string(rawValue(p.phase)) + "|" + p.message + "|" + p.currentPath + "|" + p.currentItem + "|" +
           std::to_string(p.visitedDirs) + "|" + std::to_string(p.matchedDirs) + "|" +
           std::to_string(p.measuredEntries) + "|" + std::to_string(p.bytesSoFar);
}

TEST(FolderScanner, NoUsableRootGivesOnlyStartAndEnd)
{
    for (const std::vector<std::string> &roots :
         {std::vector<std::string>{}, std::vector<std::string>{"/no/such/folder", "/etc/hostname"}}) {
        const auto recording = recordScan(everyRule(roots));
        EXPECT_TRUE(recording.result.empty());
        ASSERT_EQ(recording.progress.size(), 2u);
        EXPECT_EQ(summary(recording.progress[0]), "starting|Starting scan|||0|0|0|0");
        EXPECT_EQ(summary(recording.progress[1]), "done|Scan complete|||0|0|0|0");
    }
}

TEST(FolderScanner, ProgressRecordsOfOneMatch)
{
    FixtureTree tree;
    tree.file("p/node_modules/f", 5000);
    const std::string nm = tree.path("p/node_modules");
    const auto recording = recordScan(everyRule({tree.root()}));
    const int64_t size = testing::referenceSize(nm);
    std::vector<std::string> lines;
    for (const auto &p : recording.progress) {
        lines.push_back(summary(p));
    }
    const auto s = std::to_string(size);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "starting|Starting scan|||0|0|0|0",
                         "measuring|Checking size|" + nm + "||3|1|0|0",
                         "measuring|Checking size of node_modules|" + nm + "||3|1|0|0",
                         "measuring|Finished checking node_modules|" + nm + "||3|1|1|" + s,
                         "scanning|Found node_modules|" + nm + "||3|1|0|" + s,
                         "done|Scan complete|||3|1|0|0",
                     }));
    ASSERT_EQ(recording.result.size(), 1u);
    const auto &candidate = recording.result[0];
    EXPECT_EQ(candidate.id, nm);
    EXPECT_EQ(candidate.path, nm);
    EXPECT_EQ(candidate.category, "JavaScript");
    EXPECT_EQ(candidate.description, "npm, yarn, and pnpm installed packages");
    EXPECT_EQ(candidate.risk, CleanupRisk::safe);
    EXPECT_EQ(candidate.size, size);
    ASSERT_TRUE(candidate.modifiedAt.has_value());
    struct stat status {};
    ::stat(nm.c_str(), &status);
    EXPECT_EQ(std::chrono::system_clock::to_time_t(*candidate.modifiedAt), status.st_mtime);
    EXPECT_EQ(recording.delivered, recording.result);
}

TEST(FolderScanner, EveryFiftiethFolderIsReported)
{
    FixtureTree tree;
    for (int i = 0; i < 120; ++i) {
        tree.folder("src/d" + std::to_string(i));
    }
    const auto recording = recordScan(everyRule({tree.root()}));
    std::vector<std::string> checked;
    for (const auto &p : recording.progress) {
        if (p.phase == OperationPhase::scanning) {
            checked.push_back(p.message + "@" + std::to_string(p.visitedDirs));
            EXPECT_TRUE(p.currentPath.starts_with(tree.path("src/d"))) << p.currentPath;
        }
    }
    EXPECT_EQ(checked, (std::vector<std::string>{"Checked 50 folders@50", "Checked 100 folders@100"}));
    EXPECT_EQ(recording.progress.back().visitedDirs, 122);
}

TEST(FolderScanner, RootMatchesOnlyWhenAllowed)
{
    FixtureTree tree;
    tree.file("node_modules/pkg/.next/cache", 100);
    auto options = everyRule({tree.path("node_modules")});
    auto recording = recordScan(options);
    EXPECT_EQ(foundKeys(recording.result, tree.root()),
              (std::map<std::string, std::string>{{"node_modules/pkg/.next", ".next"}}));

    options.allowRootMatches = true;
    recording = recordScan(options);
    ASSERT_EQ(recording.result.size(), 1u);
    EXPECT_EQ(recording.result[0].path, tree.path("node_modules"));
    EXPECT_EQ(recording.progress.back().visitedDirs, 1);
}

TEST(FolderScanner, VersionControlFoldersAreSkippedExceptAsRoot)
{
    FixtureTree tree;
    tree.folder("repo/.git/node_modules");
    tree.folder("repo/.hg/node_modules");
    tree.folder("repo/.svn/node_modules");
    tree.folder("repo/app/node_modules");
    auto recording = recordScan(everyRule({tree.path("repo")}));
    EXPECT_EQ(foundKeys(recording.result, tree.root()),
              (std::map<std::string, std::string>{{"repo/app/node_modules", "node_modules"}}));
    EXPECT_EQ(recording.progress.back().visitedDirs, 3); // repo, app, app/node_modules

    recording = recordScan(everyRule({tree.path("repo/.git")}));
    EXPECT_EQ(foundKeys(recording.result, tree.root()),
              (std::map<std::string, std::string>{{"repo/.git/node_modules", "node_modules"}}));
}

TEST(FolderScanner, ExcludedPathsCoverTheirSubtreeOnly)
{
    FixtureTree tree;
    tree.folder("a/b/node_modules");
    tree.folder("a/b/c/node_modules");
    tree.folder("a/bc/node_modules");
    auto options = everyRule({tree.path("a")});
    options.excludedPaths = {tree.path("a/b")};
    auto recording = recordScan(options);
    EXPECT_EQ(foundKeys(recording.result, tree.root()),
              (std::map<std::string, std::string>{{"a/bc/node_modules", "node_modules"}}));
    EXPECT_EQ(recording.progress.back().visitedDirs, 3); // a, bc, bc/node_modules

    options.excludedPaths = {tree.path("a")};
    recording = recordScan(options);
    EXPECT_TRUE(recording.result.empty());
    EXPECT_EQ(recording.progress.back().visitedDirs, 0);
}

TEST(FolderScanner, SmallMatchesCountButAreNeitherReportedNorEntered)
{
    FixtureTree tree;
    tree.file("p/node_modules/x/.next/f", 10);
    tree.file("q/node_modules/big", 2'000'000);
    auto options = everyRule({tree.root()});
    options.minimumSizeBytes = 1'048'576;
    const auto recording = recordScan(options);
    EXPECT_EQ(foundKeys(recording.result, tree.root()),
              (std::map<std::string, std::string>{{"q/node_modules", "node_modules"}}));
    EXPECT_EQ(recording.progress.back().matchedDirs, 2);
    const std::string small = tree.path("p/node_modules");
    const auto found = std::find_if(recording.progress.begin(), recording.progress.end(), [&](const ScanProgress &p) {
        return p.message == "Found node_modules" && p.currentPath == small;
    });
    ASSERT_NE(found, recording.progress.end());
    EXPECT_EQ(found->bytesSoFar, testing::referenceSize(small));
}

TEST(FolderScanner, LinksAreNeverEnteredOrMatched)
{
    FixtureTree tree;
    tree.folder("outside/node_modules");
    tree.folder("outside/project/.next");
    tree.symlink("root/node_modules", tree.path("outside/node_modules"));
    tree.symlink("root/project", tree.path("outside/project"));
    tree.symlink("root/loop", ".");
    tree.symlink("root/dangling", "/nowhere");
    tree.fifo("root/pipe");
    tree.socket("root/sock");
    const auto recording = recordScan(everyRule({tree.path("root")}));
    EXPECT_TRUE(recording.result.empty());
    EXPECT_EQ(recording.progress.back().visitedDirs, 1);

    // a link chosen as the root is followed: the user picked it
    tree.symlink("root-link", tree.path("outside"));
    const auto viaLink = recordScan(everyRule({tree.path("root-link")}));
    EXPECT_EQ(foundKeys(viaLink.result, tree.root()),
              (std::map<std::string, std::string>{{"root-link/node_modules", "node_modules"},
                                                  {"root-link/project/.next", ".next"}}));
}

TEST(FolderScanner, LargestFirstAndEqualSizesInFoundOrder)
{
    FixtureTree tree;
    // One chain per folder so the walk order is fixed: the deepest-pushed child is the last listed.
    tree.file("a/node_modules/f", 4000);
    tree.file("b/node_modules/f", 4000);
    tree.file("c/node_modules/f", 400'000);
    for (const unsigned workers : {1u, 4u}) {
        const auto recording =
            recordScan(everyRule({tree.path("a"), tree.path("b"), tree.path("c")}), {}, {}, testing::threads(workers));
        ASSERT_EQ(recording.result.size(), 3u);
        EXPECT_EQ(recording.result[0].path, tree.path("c/node_modules"));
        EXPECT_EQ(recording.result[1].path, tree.path("a/node_modules"));
        EXPECT_EQ(recording.result[2].path, tree.path("b/node_modules"));
        if (workers == 1) { // with several, roots are walked at the same time
            EXPECT_EQ(recording.delivered[0].path, tree.path("a/node_modules"));
        }
    }

    // overlapping roots are not merged
    const auto twice = recordScan(everyRule({tree.path("a"), tree.path("a")}));
    EXPECT_EQ(twice.result.size(), 2u);
}

TEST(FolderScanner, OddNamesAreFoundMeasuredAndKeptByteExact)
{
    FixtureTree tree;
    const std::string newline = "with\nnewline";
    const std::string invalid = std::string("bad-\xff\xc3(-name");
    tree.file(newline + "/node_modules/f", 3000);
    tree.file(invalid + "/node_modules/g", 7000);
    tree.file("percent % and spaces/node_modules/h", 1);
    const auto recording = recordScan(everyRule({tree.root()}));
    ASSERT_EQ(recording.result.size(), 3u);
    for (const auto &candidate : recording.result) {
        EXPECT_EQ(candidate.size, testing::referenceSize(candidate.path)) << candidate.path;
    }
    const auto keys = foundKeys(recording.result, tree.root());
    EXPECT_TRUE(keys.contains(newline + "/node_modules"));
    EXPECT_TRUE(keys.contains(invalid + "/node_modules"));
}

// Builds root/d/d/.../d (depth levels) with relative calls, as no path to the bottom fits PATH_MAX.
std::string buildDeepChain(const std::string &root, int depth, int64_t bottomFileBytes)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = root;
    for (int i = 0; i < depth; ++i) {
        ::mkdirat(fd, "d", 0755);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += "/d";
    }
    ::mkdirat(fd, "node_modules", 0755);
    const int file = ::openat(fd, "node_modules/blob", O_WRONLY | O_CREAT, 0644);
    const std::string bytes(static_cast<std::size_t>(bottomFileBytes), 'z');
    (void)!::write(file, bytes.data(), bytes.size());
    ::close(file);
    ::close(fd);
    return path + "/node_modules";
}

TEST(FolderScanner, ChainsDeeperThanPathMaxAreWalkedAndMeasured)
{
    FixtureTree tree;
    const std::string expected = buildDeepChain(tree.root(), 3000, 100'000);
    ASSERT_GT(expected.size(), static_cast<std::size_t>(PATH_MAX));
    const auto recording = recordScan(everyRule({tree.root()}));
    ASSERT_EQ(recording.result.size(), 1u);
    EXPECT_EQ(recording.result[0].path, expected);
    EXPECT_GE(recording.result[0].size, 100'000);
    EXPECT_LT(recording.result[0].size, 200'000);
    EXPECT_EQ(recording.progress.back().visitedDirs, 3002);
}

int openDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

class DeepTree : public ::testing::TestWithParam<unsigned> {};

TEST_P(DeepTree, KeepsFewDescriptorsOpenAndReturnsToEveryLevel)
{
    // Every level of a 400-deep chain also holds a folder with a match, so the walk must come back
    // to folders whose descriptors it closed on the way down, and with several workers the others
    // take those side folders over from deep inside the chain.
    FixtureTree tree;
    const int depth = 400;
    std::string relative;
    for (int i = 0; i < depth; ++i) {
        tree.folder(relative + "side/node_modules");
        relative += "d/";
    }
    const unsigned workers = GetParam();
    const auto window = static_cast<int>(walkDescriptorWindow(workers));
    const int before = openDescriptorCount();
    int mostOpen = 0;
    const auto recording = recordScan(
        everyRule({tree.root()}), {},
        [&](const ScanProgress &) { mostOpen = std::max(mostOpen, openDescriptorCount() - before); },
        testing::threads(workers));
    EXPECT_EQ(recording.result.size(), static_cast<std::size_t>(depth));
    // Each worker: its window, every window-th folder above it, and the folder it is leasing.
    EXPECT_LE(mostOpen, static_cast<int>(workers) * (window + depth / window + 4));
    EXPECT_GT(mostOpen, window / 2) << "the window should be in use on a tree this deep";
}

INSTANTIATE_TEST_SUITE_P(Workers, DeepTree, ::testing::Values(1u, 4u));

TEST(FolderScanner, UnreadableFoldersAreSkippedSilently)
{
    FixtureTree tree;
    tree.openToEveryone();
    tree.folder("r/locked/node_modules");
    tree.file("r/open/node_modules/f", 100);
    tree.file("r/halfopen/node_modules/f", 100);
    tree.chmod("r/locked", 0000);
    tree.chmod("r/halfopen", 0311); // enterable but not listable
    const std::string root = tree.path("r");
    bool ran = false;
    const std::string output = testing::runUnprivileged(
        "scan",
        [&root](int fd) {
            const auto recording = recordScan(everyRule({root}));
            std::string text;
            for (const auto &candidate : recording.result) {
                text += candidate.path + "\n";
            }
            (void)!::write(fd, text.data(), text.size());
        },
        ran);
    if (!ran) {
        GTEST_SKIP() << "cannot drop privileges here; run the suite as root to test unreadable folders";
    }
    EXPECT_EQ(output, tree.path("r/open/node_modules") + "\n");
}

TEST(FolderScanner, ChildDirectoriesListsFoldersButNotLinks)
{
    FixtureTree tree;
    tree.folder("r/a");
    tree.folder("r/.hidden");
    tree.file("r/file");
    tree.symlink("r/link", tree.path("r/a"));
    auto children = Tarnwicker::childDirectories(tree.path("r"));
    std::sort(children.begin(), children.end());
    EXPECT_EQ(children, (std::vector<std::string>{tree.path("r/.hidden"), tree.path("r/a")}));
    EXPECT_TRUE(Tarnwicker::childDirectories(tree.path("missing")).empty());
}

} // namespace
} // namespace tarnwick
