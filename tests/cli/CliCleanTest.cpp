#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "ScopedMount.h"
#include "TestEnvironment.h"
#include "platform/UserFolders.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::ScopedHome;
using testing::ScopedMount;

using testing::cli;
using testing::exists;
using testing::kCli;

// Two projects with node_modules folders of a few kilobytes, and nothing else to find.
struct TwoProjects {
    FixtureTree tree;
    TwoProjects()
    {
        tree.file("a/node_modules/x/index.js", 3000);
        tree.file("b/node_modules/y", 9000);
        tree.file("b/src/main.js", 10);
    }
    std::string a() const { return tree.path("a/node_modules"); }
    std::string b() const { return tree.path("b/node_modules"); }
};

struct CleanCase {
    const char *name;
    std::vector<std::string> options;
    int expectedStatus;
    const char *expectedOut; // a regular expression the whole standard output must match
    bool expectCleaned;
};

std::ostream &operator<<(std::ostream &out, const CleanCase &c)
{
    return out << c.name;
}

class CliClean : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CliClean, ExitsAndReportsAsExpected)
{
    const auto &c = GetParam();
    ScopedHome home;
    TwoProjects projects;
    std::vector<std::string> arguments{"clean"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(projects.tree.root());

    const auto result = cli(arguments);

    EXPECT_EQ(result.status, c.expectedStatus) << result.err;
    if (c.expectedStatus == 2) {
        EXPECT_NE(result.err.find("standard input is not a terminal"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::regex_match(result.out, std::regex(c.expectedOut))) << result.out;
    EXPECT_EQ(exists(projects.a()), !c.expectCleaned);
    EXPECT_EQ(exists(projects.b()), !c.expectCleaned);
    EXPECT_TRUE(exists(projects.tree.path("b/src/main.js")));
    const std::string trash = dataHomeFolder() + "/Trash/files";
    const bool toTrash =
        c.expectCleaned && std::find(c.options.begin(), c.options.end(), "--permanently") == c.options.end();
    // largest first: b is trashed first and keeps the plain name
    EXPECT_EQ(exists(trash + "/node_modules/y") && exists(trash + "/node_modules.2/x/index.js"), toTrash);
}

const char *kTable =
    R"( SIZE  RULE          PATH\n.* node_modules  .*/b/node_modules\n.* node_modules  .*/a/node_modules\n)"
    R"(Total: .* in 2 folders\n)";

INSTANTIATE_TEST_SUITE_P(
    Cases, CliClean,
    ::testing::Values(
        CleanCase{"ToTheTrash", {"--yes"}, 0, R"(([^\n]*\n){4}Moved 2 folders \(\d+ KB\) to the Trash\.\nHome volume: [^\n]+\n)", true},
        CleanCase{"Permanently",
                  {"--yes", "--permanently", "-q"},
                  0,
                  R"(([^\n]*\n){4}Deleted 2 folders \(\d+ KB\)\.\nHome volume: [^\n]+\n)",
                  true},
        // Without a terminal nobody can answer, so nothing is cleaned unless --yes says so.
        CleanCase{"RefusedWithoutATerminal", {}, 2, kTable, false},
        CleanCase{"RefusedWithoutATerminalPermanently", {"--permanently"}, 2, kTable, false},
        CleanCase{"NothingMatches", {"--yes", "--rule", "target"}, 0, "No cleanup folders found\\.\n", false}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(CliCleanJson, PrintsOnlyTheResultWithExactPaths)
{
    FixtureTree tree;
    tree.file("p/node_modules/a", 100);
    tree.file("bad-\xff/node_modules/b", 100);
    const auto result = cli({"clean", "--yes", "--permanently", "--json", tree.root()});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto json = nlohmann::ordered_json::parse(result.out);
    std::vector<std::string> keys;
    for (const auto &[key, value] : json.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"deleted", "failures", "missing", "skipped", "trashRecords", "cancelled",
                                        "availableBefore", "availableAfter", "inTrashOnHomeVolume"}));
    ASSERT_EQ(json["deleted"].size(), 2u);
    EXPECT_EQ(json["cancelled"], false);
    EXPECT_TRUE(json["failures"].empty() && json["missing"].empty() && json["skipped"].empty());
    std::set<std::string> pathBytes;
    for (const auto &candidate : json["deleted"]) {
        EXPECT_EQ(candidate["key"], "node_modules");
        EXPECT_TRUE(candidate.contains("size") && candidate.contains("modifiedAt") && candidate.contains("risk"));
        pathBytes.insert(candidate.value("pathBytes", candidate["path"].get<std::string>()));
    }
    EXPECT_EQ(pathBytes, (std::set<std::string>{tree.path("p/node_modules"), tree.path("bad-%FF/node_modules")}));
    EXPECT_FALSE(exists(tree.path("p/node_modules")) || exists(tree.path("bad-\xff/node_modules")));
}

TEST(CliCleanFailure, ReportsEachFailedFolderAndExitsWithOne)
{
    FixtureTree tree;
    tree.file("a/node_modules/f", 100);
    tree.file("b/node_modules/f", 100);
    const std::string point = tree.folder("b/node_modules/mnt");
    const auto mount = ScopedMount::tmpfs(point);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    const auto result = cli({"clean", "--yes", "--permanently", tree.root()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("tarnwick-cli: " + tree.path("b/node_modules") + ": It holds a mount point at " + point +
                              "; nothing was deleted\n"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(std::regex_search(result.out, std::regex(R"(\nDeleted 1 folder \(\d+ KB\); 1 folder failed\.\nHome volume: .+ available before, .+ after\.\n$)")))
        << result.out;
    EXPECT_FALSE(exists(tree.path("a/node_modules")));
    EXPECT_TRUE(exists(tree.path("b/node_modules/f")));
}

struct AnswerCase {
    const char *name;
    std::vector<std::string> options;
    const char *reply;
    const char *question; // regular expression
    int expectedStatus;
    bool expectCleaned;
};

std::ostream &operator<<(std::ostream &out, const AnswerCase &c)
{
    return out << c.name;
}

class CliCleanOnATerminal : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(CliCleanOnATerminal, AsksOnceAndDoesWhatTheAnswerSays)
{
    const auto &c = GetParam();
    ScopedHome home;
    TwoProjects projects;
    std::vector<std::string> arguments{"clean", "-q"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(projects.tree.root());

    const auto run = testing::runOnTerminal(arguments, c.reply);

    EXPECT_EQ(run.status, c.expectedStatus) << run.screen;
    EXPECT_TRUE(std::regex_search(run.screen, std::regex(std::string("Total: [^\\r\\n]+\\r\\n") + c.question)))
        << run.screen;
    EXPECT_EQ(exists(projects.a()), !c.expectCleaned);
    EXPECT_EQ(exists(projects.b()), !c.expectCleaned);
}

const char *kMoveQuestion = R"(Move 2 folders \(\d+ KB\) to the Trash\? \[y/N\] )";
const char *kDeleteQuestion = R"(Permanently delete 2 folders \(\d+ KB\)\? \[y/N\] )";

INSTANTIATE_TEST_SUITE_P(Cases, CliCleanOnATerminal,
                         ::testing::Values(AnswerCase{"Yes", {}, "y\n", kMoveQuestion, 0, true},
                                           AnswerCase{
                                               "YesPermanently", {"--permanently"}, "yes\n", kDeleteQuestion, 0, true},
                                           AnswerCase{"No", {}, "n\n", kMoveQuestion, 0, false},
                                           AnswerCase{"JustEnter", {"--permanently"}, "\n", kDeleteQuestion, 0, false},
                                           AnswerCase{"CtrlC", {}, "\x03", kMoveQuestion, 130, false}),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

} // namespace
} // namespace tarnwick
