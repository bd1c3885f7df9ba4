// The trash's directorysizes cache as other trash readers see it: appended to after whatever is
// there, cleared of stale lines once they make up most of it, and never waited on.

#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "TestNames.h"
#include "platform/Trash.h"
#include "platform/UserFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::runCommand;
using testing::ScopedHome;
using testing::shellQuote;

std::string trashFolder()
{
    return dataHomeFolder() + "/Trash";
}

std::string cachePath()
{
    return trashFolder() + "/directorysizes";
}

std::string readText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct stat entryStatus(const std::string &path)
{
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status;
}

void makeTrash()
{
    runCommand("mkdir -p " + shellQuote(trashFolder() + "/files") + " " + shellQuote(trashFolder() + "/info"));
}

// The line a reader should find for a folder just trashed as `name`.
std::string expectedLine(const TrashMoveResult &moved, const std::string &name)
{
    const std::string du = runCommand("du -s -B1 " + shellQuote(moved.trashedPath) + " | cut -f1");
    const struct stat info = entryStatus(trashFolder() + "/info/" + name + ".trashinfo");
    return du.substr(0, du.size() - 1) + " " + std::to_string(info.st_mtime) + " " + name + "\n";
}

// `text` followed by stale lines up to a few bytes short of 64 KiB, the first size at which the
// cache is looked at for stale lines, so the next line appended takes it past that size.
std::string paddedToFirstCheck(std::string text)
{
    const std::size_t target = 64 * 1024 - 8;
    for (int i = 0; text.size() + 24 <= target; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "1 1 gone-%08d\n", i);
        text += line;
    }
    return text + "1 1 " + std::string(target - text.size() - 5, 'z') + "\n";
}

// --- Something other than a regular file at the cache's name ---

struct OddCacheCase {
    const char *label;
    // Puts the odd entry at `cache`; `outside` is a file beyond the trash that must stay as it is.
    void (*place)(const std::string &cache, const std::string &outside);
};

void PrintTo(const OddCacheCase &c, std::ostream *out)
{
    *out << c.label;
}

class TrashCacheThatIsNotAFile : public ::testing::TestWithParam<OddCacheCase> {};

TEST_P(TrashCacheThatIsNotAFile, IsLeftAloneWhileTheMoveCompletes)
{
    ScopedHome home;
    FixtureTree tree;
    makeTrash();
    const std::string outside = tree.file("elsewhere/notes", 10);
    GetParam().place(cachePath(), outside);
    const mode_t placedType = entryStatus(cachePath()).st_mode & S_IFMT;
    tree.file("p/node_modules/x", 5000);
    const std::string folder = tree.path("p/node_modules");

    // A FIFO opened for reading waits for a writer that never comes: in a child, so a regression
    // fails here instead of hanging the run.
    EXPECT_TRUE(testing::returnsInChild([&folder] { moveToTrash(folder); }, 20));
    EXPECT_EQ(::access(folder.c_str(), F_OK), -1);
    EXPECT_TRUE(S_ISDIR(entryStatus(trashFolder() + "/files/node_modules").st_mode));
    EXPECT_EQ(entryStatus(cachePath()).st_mode & S_IFMT, placedType) << "left as it was";
    EXPECT_EQ(readText(outside), std::string(10, 'x'));
}

INSTANTIATE_TEST_SUITE_P(
    OddEntries, TrashCacheThatIsNotAFile,
    ::testing::Values(
        OddCacheCase{"FIFO", [](const std::string &cache, const std::string &) { ::mkfifo(cache.c_str(), 0600); }},
        OddCacheCase{"folder", [](const std::string &cache, const std::string &) { ::mkdir(cache.c_str(), 0700); }},
        OddCacheCase{"link to a file elsewhere",
                     [](const std::string &cache, const std::string &outside) {
                         ::symlink(outside.c_str(), cache.c_str());
                     }}),
    testing::labelTestName<OddCacheCase>);

// --- Appending and compaction ---

TEST(TrashCache, AMoveAppendsItsLineAfterWhateverIsThere)
{
    ScopedHome home;
    FixtureTree tree;
    makeTrash();
    // A line left by an earlier node_modules that has since left the trash, and another tool's last
    // line without its line feed.
    const std::string existing = "4096 1 node_modules\n123 456 other%20folder";
    writeText(cachePath(), existing);
    const ino_t inode = entryStatus(cachePath()).st_ino;
    tree.file("p/node_modules/x", 5000);

    const TrashMoveResult moved = moveToTrash(tree.path("p/node_modules"));
    ASSERT_TRUE(moved.succeeded()) << moved.message;
    // Readers that re-read keep the last line of a name, so the stale one needs no rewrite.
    EXPECT_EQ(readText(cachePath()), existing + "\n" + expectedLine(moved, "node_modules"));
    EXPECT_EQ(entryStatus(cachePath()).st_ino, inode) << "appended in place, not rewritten";
}

TEST(TrashCache, MostlyStaleLinesAreDroppedOnceTheCacheHasGrown)
{
    ScopedHome home;
    FixtureTree tree;
    makeTrash();
    for (const char *name : {"kept-a", "kept b"}) {
        ASSERT_EQ(::mkdir((trashFolder() + "/files/" + name).c_str(), 0700), 0);
    }
    // kept-a has two lines, the later one written by a tool that encodes '-' too.
    writeText(cachePath(), paddedToFirstCheck("1 1 kept-a\n3 3 kept%20b\n2 2 kept%2Da\n"));
    const ino_t inode = entryStatus(cachePath()).st_ino;
    tree.file("p/node_modules/x", 5000);

    const TrashMoveResult moved = moveToTrash(tree.path("p/node_modules"));
    ASSERT_TRUE(moved.succeeded()) << moved.message;
    EXPECT_EQ(readText(cachePath()), "2 2 kept%2Da\n3 3 kept%20b\n" + expectedLine(moved, "node_modules"));
    EXPECT_NE(entryStatus(cachePath()).st_ino, inode) << "replaced whole, by a rename";
    EXPECT_EQ(runCommand("ls -A " + shellQuote(trashFolder())), "directorysizes\nfiles\ninfo\n") << "no temporary left";
}

TEST(TrashCache, ACacheOfLiveLinesIsOnlyAppendedTo)
{
    ScopedHome home;
    FixtureTree tree;
    makeTrash();
    // Long names, so that a few hundred folders in the trash fill most of the 64 KiB.
    std::string lines;
    for (int i = 0; i < 350; ++i) {
        const std::string name = "live-" + std::string(140, 'n') + "-" + std::to_string(i);
        ASSERT_EQ(::mkdir((trashFolder() + "/files/" + name).c_str(), 0700), 0);
        lines += "4096 1700000000 " + name + "\n";
    }
    const std::string existing = paddedToFirstCheck(lines);
    writeText(cachePath(), existing);
    const ino_t inode = entryStatus(cachePath()).st_ino;
    tree.file("p/node_modules/x", 5000);

    const TrashMoveResult moved = moveToTrash(tree.path("p/node_modules"));
    ASSERT_TRUE(moved.succeeded()) << moved.message;
    EXPECT_EQ(readText(cachePath()), existing + expectedLine(moved, "node_modules"));
    EXPECT_EQ(entryStatus(cachePath()).st_ino, inode);
}

}  // namespace
}  // namespace tarnwick
