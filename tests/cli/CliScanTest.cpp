#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "cli/CliOptions.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::cli;
using testing::FixtureTree;
using testing::kCli;
using testing::runProcess;

TEST(CliScan, TablePrintsSizeRuleAndPathWithATotal)
{
    FixtureTree tree;
    tree.file("app/node_modules/a", 5000);
    tree.file("app/Cargo.toml");
    tree.file("app/target/b", 20000);
    tree.file("odd\nname/node_modules/c", 1);
    const auto result = cli({"scan", tree.root()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "") << "no progress when standard error is not a terminal";
    const std::string expectedTarget = " KB  target        " + tree.path("app/target") + "\n";
    EXPECT_NE(result.out.find(expectedTarget), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(tree.root() + "/odd\\x0aname/node_modules\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Total: "), std::string::npos);
    EXPECT_NE(result.out.find(" in 3 folders\n"), std::string::npos);
    // largest first
    EXPECT_LT(result.out.find("target"), result.out.find("app/node_modules"));
}

TEST(CliScan, JsonCarriesEveryFieldAndExactPaths)
{
    FixtureTree tree;
    tree.file("p/node_modules/a", 5000);
    const std::string invalid = "bad-\xff-name";
    tree.file(invalid + "/node_modules/b", 10);
    const auto result = cli({"scan", "--json", tree.root()});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[1]["path"], tree.path("bad-\uFFFD-name/node_modules"));
    EXPECT_EQ(json[1]["pathBytes"], tree.path("bad-%FF-name/node_modules"));
    EXPECT_FALSE(json[0].contains("pathBytes"));
    const auto &first = json[0];
    EXPECT_EQ(first["id"], tree.path("p/node_modules"));
    EXPECT_EQ(first["path"], tree.path("p/node_modules"));
    EXPECT_EQ(first["key"], "node_modules");
    EXPECT_EQ(first["category"], "JavaScript");
    EXPECT_EQ(first["description"], "npm, yarn, and pnpm installed packages");
    EXPECT_EQ(first["risk"], "safe");
    EXPECT_EQ(first["size"], testing::referenceSize(tree.path("p/node_modules")));
    const std::string modified = first["modifiedAt"];
    EXPECT_EQ(modified.size(), 20u);
    EXPECT_EQ(modified.back(), 'Z');

    const auto empty = cli({"scan", "--json", tree.path("p/node_modules/a")});
    EXPECT_EQ(empty.status, 2);
    const auto none = cli({"scan", "--json", tree.path("p/node_modules")});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(nlohmann::json::parse(none.out), nlohmann::json::array());
}

TEST(CliScan, OptionsNarrowTheScan)
{
    FixtureTree tree;
    tree.file("a/node_modules/big", 2'000'000);
    tree.file("a/b/node_modules/small", 10);
    tree.file("a/bc/node_modules/small", 10);
    tree.folder("a/web/dist");
    tree.folder("a/py/.venv");
    const auto paths = [&](const testing::ProcessResult &r) {
        std::vector<std::string> found;
        for (const auto &item : nlohmann::json::parse(r.out)) {
            found.push_back(item["path"].get<std::string>().substr(tree.root().size() + 1));
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(paths(cli({"scan", "--json", tree.root()})),
              (V{"a/b/node_modules", "a/bc/node_modules", "a/node_modules"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--min-size", "1MB", tree.root()})), (V{"a/node_modules"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--exclude", tree.path("a/b"), tree.root()})),
              (V{"a/bc/node_modules", "a/node_modules"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--preset", "deep", tree.root()})),
              (V{"a/b/node_modules", "a/bc/node_modules", "a/node_modules", "a/py/.venv", "a/web/dist"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--preset", "balanced", tree.root()})),
              (V{"a/b/node_modules", "a/bc/node_modules", "a/node_modules", "a/web/dist"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--preset", "custom", tree.root()})),
              (V{"a/b/node_modules", "a/bc/node_modules", "a/node_modules"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--preset", "deep", "--no-aggressive", tree.root()})),
              (V{"a/b/node_modules", "a/bc/node_modules", "a/node_modules"}));
    EXPECT_EQ(paths(cli({"scan", "--json", "--rule", "dist", "--aggressive", tree.root()})), (V{"a/web/dist"}));

    const auto quietRule = cli({"scan", "--json", "--rule", "dist", tree.root()});
    EXPECT_EQ(paths(quietRule), V{});
    EXPECT_NE(quietRule.err.find("only used with --aggressive"), std::string::npos);
}

TEST(CliScan, TheThreadCountChangesNothingInTheOutput)
{
    FixtureTree tree;
    for (int i = 0; i < 60; ++i) {
        tree.file("p" + std::to_string(i % 9) + "/q" + std::to_string(i) + "/node_modules/f", 100 * (i % 4));
    }
    for (const char *command : {"scan", "analyze"}) {
        const auto one = cli({command, "--json", "--threads", "1", tree.root()});
        const auto three = cli({command, "--json", "--threads", "3", tree.root()});
        ASSERT_EQ(one.status, 0) << one.err;
        EXPECT_EQ(three.status, 0) << three.err;
        EXPECT_EQ(nlohmann::json::parse(three.out).size(), 60u) << command;
        if (std::string(command) == "scan") {
            EXPECT_EQ(three.out, one.out);
        } else { // analyze judges by how many days old each folder is, which may tick between the runs
            EXPECT_EQ(nlohmann::json::parse(three.out).size(), nlohmann::json::parse(one.out).size());
        }
    }
}

struct UsageCase {
    std::vector<std::string> arguments;
    const char *expectedMessage;
};

class CliUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsage, BadUsageExitsWithTwoAndSaysWhy)
{
    const auto result = cli(GetParam().arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(GetParam().expectedMessage), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsage,
    ::testing::Values(UsageCase{{"scan", "--rule", "nodemodules", "/tmp"}, "Valid rules: \"node_modules\", \"Pods\""},
                      UsageCase{{"scan", "--preset", "extreme", "/tmp"}, "unknown preset 'extreme'"},
                      UsageCase{{"scan", "--min-size", "lots", "/tmp"}, "invalid size 'lots'"},
                      UsageCase{{"scan", "--threads", "0", "/tmp"}, "invalid thread count '0'"},
                      UsageCase{{"analyze", "--threads", "-2", "/tmp"}, "invalid thread count '-2'"},
                      UsageCase{{"scan"}, "no folder to scan given"},
                      UsageCase{{"scan", "--yes", "/tmp"}, "unknown option '--yes' for scan"},
                      UsageCase{{"frobnicate"}, "unknown command 'frobnicate'"},
                      UsageCase{{"scan", "/no/such/place"}, "/no/such/place: No such folder"},
                      UsageCase{{"scan", "/etc/hostname"}, "/etc/hostname: Not a folder"},
                      // Every message about an option names it, in the form the user wrote.
                      UsageCase{{"scan", "--preset=extreme", "/tmp"}, "--preset: unknown preset 'extreme'"},
                      UsageCase{{"scan", "--min-size=", "/tmp"}, "--min-size: invalid size ''"},
                      UsageCase{{"scan", "/tmp", "--min-size"}, "--min-size needs a value"},
                      UsageCase{{"scan", "--exclude=", "/tmp"}, "--exclude: an empty argument is not a folder"},
                      UsageCase{{"scan", "--json=yes", "/tmp"}, "--json takes no value"},
                      UsageCase{{"scan", "--color", "sometimes", "/tmp"}, "--color: unknown value 'sometimes'"},
                      UsageCase{{"scan", "--min-size", "x", "--preset", "y", "/tmp"}, "--min-size: invalid size 'x'"},
                      UsageCase{{"scan", "-qz", "/tmp"}, "unknown option '-z' for scan"},
                      UsageCase{{"analyze", "--rule", "dist", "/tmp"}, "unknown option '--rule' for analyze"},
                      UsageCase{{"--frobnicate"}, "unknown option '--frobnicate'"},
                      UsageCase{{"help", "frobnicate"}, "unknown command 'frobnicate'"},
                      UsageCase{{}, "missing command (scan, clean, analyze or restore)"}));

TEST(CliScan, MissingRootsAreReportedAndSkipped)
{
    FixtureTree tree;
    tree.folder("p/node_modules");
    const auto result = cli({"scan", "--json", "/no/such/root", tree.root()});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("/no/such/root: No such folder"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(result.out).size(), 1u);
}

bool hasOpenFolderBelow(pid_t pid, const std::string &folder)
{
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.string().starts_with(folder + "/")) {
            return true;
        }
    }
    return false;
}

TEST(CliScan, InterruptPrintsWhatWasFoundAndExits130)
{
    FixtureTree tree;
    tree.file("first/node_modules/a", 100);
    for (int i = 0; i < 30000; ++i) {
        tree.file("second/node_modules/p" + std::to_string(i % 50) + "/f" + std::to_string(i));
    }
    for (int attempt = 0; attempt < 5; ++attempt) {
        // One thread, so the first root is done before the second is entered.
        testing::ChildProcess child(
            {kCli, "scan", "--json", "--threads", "1", tree.path("first"), tree.path("second")});
        bool interrupted = false;
        for (int spin = 0; spin < 200000 && !interrupted; ++spin) {
            if (hasOpenFolderBelow(child.pid(), tree.path("second/node_modules"))) {
                child.signal(SIGINT);
                interrupted = true;
            }
        }
        const int status = child.wait();
        if (!interrupted) {
            continue; // the scan finished before it could be caught in the big folder; try again
        }
        EXPECT_EQ(status, 130) << child.err();
        const auto json = nlohmann::json::parse(child.out());
        ASSERT_EQ(json.size(), 1u);
        EXPECT_EQ(json[0]["path"], tree.path("first/node_modules"));
        EXPECT_NE(child.err().find("cancelled"), std::string::npos);
        return;
    }
    GTEST_SKIP() << "the scan always finished before it could be interrupted";
}

struct SizeCase {
    const char *text;
    int64_t bytes;
};

TEST(CliOptions, ByteSizesUseBinaryMultiples)
{
    for (const SizeCase c : {SizeCase{"0", 0}, SizeCase{"512", 512}, SizeCase{"100MB", 100LL << 20},
                             SizeCase{"1GB", 1LL << 30}, SizeCase{"1.5 GiB", 3LL << 29}, SizeCase{"2g", 2LL << 30},
                             SizeCase{"10kb", 10240}, SizeCase{"1T", 1LL << 40}}) {
        EXPECT_EQ(cli::parseByteSize(c.text), c.bytes) << c.text;
    }
    for (const char *bad : {"", "MB", "1..2MB", "-5", "5 parsecs", "1e3"}) {
        EXPECT_EQ(cli::parseByteSize(bad), std::nullopt) << bad;
    }
}

} // namespace
} // namespace tarnwick
