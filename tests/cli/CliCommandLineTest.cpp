// The command line's grammar as a user meets it: both ways of giving a value, "--" before odd
// names, help for every command, the version, and which occurrence of an option counts.

#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "cli/CommandLine.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

namespace tarnwick {
namespace {

using testing::cli;
using testing::FixtureTree;
using testing::kCli;

std::vector<std::string> foundPaths(const testing::ProcessResult &result, const std::string &root)
{
    std::vector<std::string> found;
    for (const auto &item : nlohmann::json::parse(result.out)) {
        found.push_back(item["path"].get<std::string>().substr(root.size() + 1));
    }
    std::sort(found.begin(), found.end());
    return found;
}

struct FormCase {
    const char *name;
    std::vector<std::string> spaced;
    std::vector<std::string> joined;
};

std::ostream &operator<<(std::ostream &out, const FormCase &c)
{
    return out << c.name;
}

class CliOptionForms : public ::testing::TestWithParam<FormCase> {};

// "--option value" and "--option=value" are one thing; the fixture makes each option change the
// result, so a form that was ignored would show.
TEST_P(CliOptionForms, EqualsFormScansAsTheSpacedForm)
{
    FixtureTree tree;
    tree.file("a/node_modules/big", 2'000'000);
    tree.file("a/b/node_modules/small", 10);
    tree.folder("a/web/dist");
    tree.folder("a/py/.venv");
    const auto run = [&](std::vector<std::string> options) {
        // "@" in the case table stands for the fixture's root, which the table cannot know.
        for (auto &option : options) {
            if (const auto at = option.find('@'); at != std::string::npos) {
                option.replace(at, 1, tree.root());
            }
        }
        options.insert(options.begin(), {"scan", "--json", "-q"});
        options.push_back(tree.root());
        return cli(options);
    };
    const auto spaced = run(GetParam().spaced);
    const auto joined = run(GetParam().joined);
    ASSERT_EQ(spaced.status, 0) << spaced.err;
    ASSERT_EQ(joined.status, 0) << joined.err;
    const auto all = foundPaths(run({}), tree.root());
    EXPECT_NE(foundPaths(spaced, tree.root()), all) << "the option should change what is found";
    EXPECT_EQ(foundPaths(joined, tree.root()), foundPaths(spaced, tree.root()));
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliOptionForms,
    ::testing::Values(FormCase{"MinSize", {"--min-size", "1MB"}, {"--min-size=1MB"}},
                      FormCase{"Preset", {"--preset", "deep"}, {"--preset=deep"}},
                      FormCase{"Rule", {"--rule", "dist", "--aggressive"}, {"--rule=dist", "--aggressive"}},
                      FormCase{"Exclude", {"--exclude", "@/a/b"}, {"--exclude=@/a/b"}}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(CliCommandLine, LaterOccurrencesOverrideEarlierOnes)
{
    FixtureTree tree;
    tree.file("a/node_modules/big", 2'000'000);
    tree.file("a/b/node_modules/small", 10);
    tree.folder("a/web/dist");
    using V = std::vector<std::string>;
    EXPECT_EQ(
        foundPaths(cli({"scan", "--json", "--rule=dist", "--no-aggressive", "--aggressive", tree.root()}), tree.root()),
        V{"a/web/dist"});
    EXPECT_EQ(
        foundPaths(cli({"scan", "--json", "--rule=dist", "--aggressive", "--no-aggressive", tree.root()}), tree.root()),
        V{});
    EXPECT_EQ(foundPaths(cli({"scan", "--json", "--min-size", "1MB", "--min-size=0", tree.root()}), tree.root()).size(),
              2u);
}

// After "--" every argument is a folder, even one named like an option; before it, such a name is
// an unknown option.
TEST(CliCommandLine, DoubleDashMarksTheRestAsFolders)
{
    FixtureTree tree;
    tree.file("-odd/node_modules/f", 10);
    tree.file("--json/node_modules/f", 10);
    const std::string inTree = "cd " + testing::shellQuote(tree.root()) + " && " + testing::shellQuote(kCli);

    int status = -1;
    const std::string out = testing::runCommand(inTree + " scan -q --json -- -odd --json 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    std::set<std::string> paths;
    for (const auto &item : nlohmann::json::parse(out)) {
        paths.insert(item["path"].get<std::string>());
    }
    EXPECT_EQ(paths, (std::set<std::string>{tree.path("-odd/node_modules"), tree.path("--json/node_modules")}));

    const std::string refused = testing::runCommand(inTree + " scan -q -odd 2>&1", &status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(refused.find("unknown option '-o"), std::string::npos) << refused;
    EXPECT_NE(refused.find("Run 'tarnwick-cli scan --help'"), std::string::npos) << refused;
}

std::set<std::string> optionNames(const cli::CommandLineCommand &command)
{
    std::set<std::string> names;
    for (const auto &option : command.options) {
        names.insert(option.names.begin(), option.names.end());
    }
    return names;
}

bool mentions(const std::string &help, const std::string &option)
{
    // A name in the help stands alone: "--aggressive" must not count as seen inside "--no-aggressive".
    for (std::size_t at = help.find(option); at != std::string::npos; at = help.find(option, at + 1)) {
        const bool startsWord = at == 0 || help[at - 1] == ' ' || help[at - 1] == ',';
        const std::size_t end = at + option.size();
        const bool endsWord = end == help.size() || help[end] == ' ' || help[end] == ',' || help[end] == '\n';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

TEST(CliCommandLine, EveryCommandHasHelpWithItsOwnOptions)
{
    cli::CommandLine parser;
    const auto commands = parser.describe();
    std::set<std::string> everyOption;
    for (const auto &command : commands) {
        const auto names = optionNames(command);
        everyOption.insert(names.begin(), names.end());
    }
    for (const auto &command : commands) {
        const std::vector<std::string> askFor = command.name.empty() ? std::vector<std::string>{"--help"}
                                                                     : std::vector<std::string>{command.name, "--help"};
        const auto help = cli(askFor);
        ASSERT_EQ(help.status, 0) << help.err;
        EXPECT_EQ(help.err, "");
        const std::string usage = "Usage: tarnwick-cli" + (command.name.empty() ? "" : " " + command.name);
        EXPECT_NE(help.out.find(usage), std::string::npos) << help.out;
        const auto own = optionNames(command);
        for (const auto &option : everyOption) {
            EXPECT_EQ(mentions(help.out, option), own.contains(option))
                << "'" << option << "' in the help of '" << command.name << "':\n"
                << help.out;
        }
        if (command.name.empty()) {
            for (const auto &other : commands) {
                EXPECT_NE(help.out.find("  " + other.name + " "), std::string::npos) << help.out;
            }
        } else {
            EXPECT_EQ(cli({command.name, "-h"}).out, help.out);
            EXPECT_EQ(cli({"help", command.name}).out, help.out);
            EXPECT_EQ(cli({command.name, "/no/such/folder", "--help"}).out, help.out)
                << "help wins over what else is on the line";
        }
    }
}

TEST(CliCommandLine, VersionIsTheProjectVersion)
{
    const auto version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tarnwick-cli ") + TARNWICK_VERSION + "\n");
}

} // namespace
} // namespace tarnwick
