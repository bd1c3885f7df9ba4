// The command line's share of the cleanup's safety: what it takes for a folder, what it lists, and
// what happens when the tree changes while it waits for an answer.

#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "ScopedMount.h"
#include "TestEnvironment.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::runCommand;
using testing::ScopedHome;
using testing::ScopedMount;
using testing::shellQuote;

using testing::cli;
using testing::exists;
using testing::kCli;

std::vector<std::string> listedPaths(const std::string &json)
{
    std::vector<std::string> paths;
    for (const auto &candidate : nlohmann::json::parse(json)) {
        paths.push_back(candidate["path"].get<std::string>());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// While the question waits, the project's folder is renamed aside and a link to another project
// takes its name. Answering yes must not clean the other project.
class SwapAtTheQuestion : public ::testing::TestWithParam<bool> {};

TEST_P(SwapAtTheQuestion, CleansNothingOutsideTheRoot)
{
    const bool permanently = GetParam();
    ScopedHome home;
    FixtureTree tree;
    tree.file("scan/p/node_modules/f", 10);
    tree.file("elsewhere/p/node_modules/keep", 10);
    std::vector<std::string> arguments{"clean", "-q", tree.path("scan")};
    if (permanently) {
        arguments.push_back("--permanently");
    }

    const auto run = testing::runOnTerminal(arguments, "y\n", [&] {
        ASSERT_EQ(::rename(tree.path("scan/p").c_str(), tree.path("scan/p.aside").c_str()), 0);
        ASSERT_EQ(::symlink(tree.path("elsewhere/p").c_str(), tree.path("scan/p").c_str()), 0);
    });

    EXPECT_EQ(run.status, 1) << run.screen;
    EXPECT_NE(run.screen.find("It changed since it was scanned; nothing was deleted"), std::string::npos) << run.screen;
    EXPECT_TRUE(exists(tree.path("elsewhere/p/node_modules/keep")));
    EXPECT_TRUE(exists(tree.path("scan/p.aside/node_modules/f")));
}

INSTANTIATE_TEST_SUITE_P(Attacks, SwapAtTheQuestion, ::testing::Bool(),
                         [](const auto &testInfo) { return std::string(testInfo.param ? "Permanent" : "Trash"); });

// An empty argument, say an unset shell variable, is not the folder the command runs in.
TEST(EmptyArguments, AreUsageErrors)
{
    ScopedHome home;
    FixtureTree tree;
    tree.file("work/node_modules/f", 10);
    const std::string inWork = "cd " + shellQuote(tree.path("work")) + " && " + shellQuote(kCli);

    int status = 0;
    runCommand(inWork + " clean --yes --permanently '' 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(exists(tree.path("work/node_modules/f")));

    const auto excluded = cli({"scan", "--exclude", "", tree.path("work")});
    EXPECT_EQ(excluded.status, 2);
    EXPECT_NE(excluded.err.find("--exclude"), std::string::npos) << excluded.err;
    EXPECT_EQ(cli({"scan", "--", "", tree.path("work")}).status, 2);
}

// Roots that repeat one another, by text or through a link, list each folder once, so the total
// and the question count every folder once.
TEST(RepeatedRoots, ListEachFolderOnce)
{
    FixtureTree tree;
    tree.file("t/p/node_modules/f", 10);
    tree.file("t/q/node_modules/f", 10);
    tree.symlink("link", tree.path("t"));
    const std::vector<std::string> once{tree.path("t/p/node_modules"), tree.path("t/q/node_modules")};

    const auto nested = cli({"scan", "--json", "-q", tree.path("t"), tree.path("t/p"), tree.path("t") + "/."});
    ASSERT_EQ(nested.status, 0) << nested.err;
    EXPECT_EQ(listedPaths(nested.out), once);

    const auto throughLink = cli({"scan", "--json", "-q", tree.path("t"), tree.path("link/p")});
    ASSERT_EQ(throughLink.status, 0) << throughLink.err;
    EXPECT_EQ(listedPaths(throughLink.out), once);

    const auto table = cli({"scan", "-q", tree.path("t/p"), tree.path("t")});
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 4) << table.out; // heading, two rows, total
}

// A volume whose trash cannot be made: the folder stays where it is, and the message says that a
// permanent deletion is the way out.
TEST(UnusableTrash, LeavesTheFolderAndNamesTheWayOut)
{
    ScopedHome home;
    FixtureTree tree;
    tree.folder("vol");
    auto mount = ScopedMount::tmpfs(tree.path("vol"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    tree.file("vol/p/node_modules/f", 10);
    tree.file("vol/.Trash-" + std::to_string(::geteuid()), 1); // a file where the trash folder goes

    const auto run = cli({"clean", "--yes", "-q", tree.path("vol")});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("There is no usable Trash on its volume"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("it was left untouched"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--permanently deletes instead"), std::string::npos) << run.err;
    EXPECT_TRUE(exists(tree.path("vol/p/node_modules/f")));
}

} // namespace
} // namespace tarnwick
