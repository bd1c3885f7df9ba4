// What the command line prints for people.

#include "ChildProcess.h"
#include "FixtureTree.h"
#include "TestNames.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::runProcess;

const std::string kCli = TARNWICK_CLI_PATH;

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

}  // namespace
}  // namespace tarnwick
