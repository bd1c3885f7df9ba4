#include "platform/ReachedEntry.h"

#include "FixtureTree.h"

#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using Outcome = ReachedEntry::Outcome;

FileIdentity identityOf(const std::string &path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return FileIdentity::of(status);
}

// Both ways of walking below the root must give the same answers: the kernel's resolver and the
// step-by-step walk used where the kernel has none.
class ReachEntry : public ::testing::TestWithParam<BeneathResolution> {
protected:
    ReachedEntry reach(const std::string &root, const std::string &path,
                       const std::optional<FileIdentity> &rootIdentity = std::nullopt)
    {
        return reachEntry(root, rootIdentity, path, GetParam());
    }
};

TEST_P(ReachEntry, FindsAnEntryBelowTheRootAndTellsWhereItReallyIs)
{
    FixtureTree tree;
    tree.file("real/a/b/node_modules/f", 10);
    tree.symlink("root", tree.path("real"));
    const std::string target = tree.path("root/a/b/node_modules");

    const ReachedEntry entry = reach(tree.path("root"), target, identityOf(tree.path("real")));

    ASSERT_EQ(entry.outcome, Outcome::reached);
    EXPECT_EQ(entry.name, "node_modules");
    EXPECT_TRUE(identityOf(tree.path("real/a/b/node_modules")).matches(entry.status));
    char real[PATH_MAX];
    ASSERT_NE(::realpath(tree.path("real/a/b/node_modules").c_str(), real), nullptr);
    EXPECT_EQ(entry.canonicalPath, real);
}

TEST_P(ReachEntry, RefusesEveryLinkBelowTheRoot)
{
    FixtureTree tree;
    tree.file("root/a/b/node_modules/f", 10);
    tree.file("elsewhere/b/node_modules/f", 10);
    tree.file("elsewhere/node_modules/f", 10);
    tree.symlink("root/relative", "a");
    tree.symlink("root/absolute", tree.path("elsewhere"));
    tree.symlink("root/a/up", "../..");
    const std::string root = tree.path("root");

    EXPECT_EQ(reach(root, root + "/relative/b/node_modules").outcome, Outcome::changed);
    EXPECT_EQ(reach(root, root + "/absolute/b/node_modules").outcome, Outcome::changed);
    EXPECT_EQ(reach(root, root + "/a/up/elsewhere/node_modules").outcome, Outcome::changed);
    // A final link is the entry itself: reached, and described as the link it is.
    const ReachedEntry link = reach(root, root + "/absolute");
    ASSERT_EQ(link.outcome, Outcome::reached);
    EXPECT_TRUE(S_ISLNK(link.status.st_mode));
}

TEST_P(ReachEntry, TellsMissingFromChanged)
{
    FixtureTree tree;
    tree.file("root/a/file", 1);
    tree.folder("root/b");
    tree.folder("other");
    const std::string root = tree.path("root");

    EXPECT_EQ(reach(root, root + "/gone/node_modules").outcome, Outcome::missing);
    EXPECT_EQ(reach(root, root + "/b/node_modules").outcome, Outcome::missing);
    EXPECT_EQ(reach(root, root + "/a/file/node_modules").outcome, Outcome::changed);
    EXPECT_EQ(reach(root, tree.path("other")).outcome, Outcome::changed) << "outside the root";
    EXPECT_EQ(reach(root, root + "/b", identityOf(tree.path("other"))).outcome, Outcome::changed)
        << "the root is not the folder that was scanned";
    EXPECT_EQ(reach(tree.path("absent"), tree.path("absent/x")).outcome, Outcome::missing);
}

TEST_P(ReachEntry, ReachesTheRootItselfThroughItsParent)
{
    FixtureTree tree;
    tree.file("cache/f", 1);
    const ReachedEntry entry = reach(tree.path("cache"), tree.path("cache"));
    ASSERT_EQ(entry.outcome, Outcome::reached);
    EXPECT_EQ(entry.name, "cache");
    EXPECT_TRUE(identityOf(tree.path("cache")).matches(entry.status));
}

TEST_P(ReachEntry, WorksBelowPathMax)
{
    FixtureTree tree;
    const std::string root = tree.folder("root");
    const std::string name(200, 'n');
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = root;
    for (int level = 0; level < 30; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = child;
        path += "/" + name;
    }
    ::close(fd);
    ASSERT_GT(path.size(), static_cast<std::size_t>(PATH_MAX));

    const ReachedEntry entry = reach(root, path);
    ASSERT_EQ(entry.outcome, Outcome::reached);
    EXPECT_TRUE(S_ISDIR(entry.status.st_mode));
    EXPECT_EQ(entry.canonicalPath.size(), path.size());
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ReachEntry,
                         ::testing::Values(BeneathResolution::automatic, BeneathResolution::componentSteps),
                         [](const auto &testInfo) {
                             return std::string(testInfo.param == BeneathResolution::automatic ? "KernelResolver"
                                                                                               : "ComponentSteps");
                         });

} // namespace
} // namespace tarnwick
