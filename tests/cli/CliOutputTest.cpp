// What the command line prints for people, and what it does when its output cannot be written.

#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "TestNames.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::kCli;
using testing::runProcess;

// --- Names that could steer the terminal ---

struct NameCase {
    const char *label;
    std::string name;     // the folder's name on disk
    std::string display;  // how a table shows it
};

void PrintTo(const NameCase &c, std::ostream *out)
{
    *out << c.label;
}

class CliDisplayedNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(CliDisplayedNames, AreShownSoThatTheyReadAsWhatTheyAre)
{
    FixtureTree tree;
    tree.file(GetParam().name + "/node_modules/x", 10);
    for (const char *command : {"scan", "analyze"}) {
        const auto result = runProcess({kCli, command, tree.root()});
        ASSERT_EQ(result.status, 0) << command << ": " << result.err;
        EXPECT_NE(result.out.find(tree.root() + "/" + GetParam().display + "/node_modules\n"), std::string::npos)
            << command << ":\n"
            << result.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, CliDisplayedNames,
    ::testing::Values(
        // Shown raw, "report\u202Efdp.exe" reads as "reportexe.pdf".
        NameCase{"right to left override", "report\u202Efdp.exe", "report\\u{202e}fdp.exe"},
        NameCase{"other bidirectional controls", "\u202Aa\u202B\u202C\u202D\u2066b\u2067\u2068\u2069\u200E\u200F\u061C",
                 "\\u{202a}a\\u{202b}\\u{202c}\\u{202d}\\u{2066}b\\u{2067}\\u{2068}\\u{2069}"
                 "\\u{200e}\\u{200f}\\u{61c}"},
        NameCase{"C1 controls", "a\u0080b\u0085c\u009B[2Jd\u009F", "a\\u{80}b\\u{85}c\\u{9b}[2Jd\\u{9f}"},
        NameCase{"line and paragraph separators", "a\u2028b\u2029c", "a\\u{2028}b\\u{2029}c"},
        // A name that spells an escape must not pass for one.
        NameCase{"backslashes", "a\\x41\\u{202e}\\", "a\\\\x41\\\\u{202e}\\\\"},
        NameCase{"C0 controls and stray bytes", "\x1b[31m\x7f\xff", "\\x1b[31m\\x7f\\xff"},
        NameCase{"ordinary text outside ASCII", "caf\u00e9 \u65e5\u672c \u05e9\u05dc\u05d5\u05dd",
                 "caf\u00e9 \u65e5\u672c \u05e9\u05dc\u05d5\u05dd"}),
    testing::labelTestName<NameCase>);

// --- Output that cannot be written ---

struct SinkCase {
    const char *label;
    const char *redirection;  // applied to the command by /bin/sh
    const char *reason;
};

struct CommandCase {
    const char *label;
    std::vector<std::string> arguments;  // "{root}" and "{many}" stand for the fixture's roots
    bool cleans;
};

void PrintTo(const SinkCase &c, std::ostream *out)
{
    *out << c.label;
}

void PrintTo(const CommandCase &c, std::ostream *out)
{
    *out << c.label;
}

class CliUnwritableOutput : public ::testing::TestWithParam<std::tuple<SinkCase, CommandCase>> {};

TEST_P(CliUnwritableOutput, ExitsWithOneAndSaysWhy)
{
    const auto &[sink, command] = GetParam();
    testing::ScopedHome home;
    FixtureTree tree;
    tree.file("root/app/node_modules/x", 3000);
    std::vector<std::string> argv{"/bin/sh", "-c", std::string("exec \"$0\" \"$@\" ") + sink.redirection, kCli};
    for (const auto &argument : command.arguments) {
        if (argument == "{many}") {
            // Enough rows that the table outgrows any output buffer and is written while the run
            // goes on, not only when it ends.
            for (int i = 0; i < 300; ++i) {
                tree.file("many/project-with-a-long-name-" + std::to_string(i) + "/node_modules/x", 10);
            }
        }
        argv.push_back(argument == "{root}" ? tree.path("root") : argument == "{many}" ? tree.path("many") : argument);
    }

    const auto result = runProcess(argv);
    EXPECT_EQ(result.status, 1) << result.err;
    const std::string message = "tarnwick-cli: cannot write output: " + std::string(sink.reason) + "\n";
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(message), result.err.rfind(message)) << "said once";
    struct stat status {};
    EXPECT_EQ(::lstat(tree.path("root/app/node_modules").c_str(), &status) != 0, command.cleans)
        << "the work itself is done either way";
}

std::string unwritableOutputName(const ::testing::TestParamInfo<std::tuple<SinkCase, CommandCase>> &info)
{
    std::string name = std::string(std::get<0>(info.param).label) + "_" + std::get<1>(info.param).label;
    for (char &c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Sinks, CliUnwritableOutput,
    ::testing::Combine(::testing::Values(SinkCase{"full device", ">/dev/full", "No space left on device"},
                                         SinkCase{"closed", ">&-", "Bad file descriptor"}),
                       ::testing::Values(CommandCase{"scan", {"scan", "{root}"}, false},
                                         CommandCase{"scan json", {"scan", "--json", "{root}"}, false},
                                         CommandCase{"scan of many", {"scan", "{many}"}, false},
                                         CommandCase{"analyze", {"analyze", "{root}"}, false},
                                         CommandCase{"clean", {"clean", "--yes", "{root}"}, true},
                                         CommandCase{"help", {"--help"}, false})),
    unwritableOutputName);

}  // namespace
}  // namespace tarnwick
