// What a terminal shows: colour only where it was asked for or a person reads it, and a progress
// line that fits the window.

#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "cli/ProgressLine.h"

#include <gtest/gtest.h>
#include <optional>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::TerminalSetup;

const std::string kColoredKey = "\033[32mnode_modules\033[0m";

struct ColorCase {
    const char *name;
    bool onTerminal;
    std::vector<std::string> options;
    std::map<std::string, std::optional<std::string>> environment;
    bool expectColor;
};

std::ostream &operator<<(std::ostream &out, const ColorCase &c)
{
    return out << c.name;
}

class CliColor : public ::testing::TestWithParam<ColorCase> {};

TEST_P(CliColor, ColorsOnlyWhereItShould)
{
    const auto &c = GetParam();
    FixtureTree tree;
    tree.file("p/node_modules/f", 100);
    std::vector<std::string> arguments{"scan", "-q"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(tree.root());

    std::string out;
    if (c.onTerminal) {
        auto environment = c.environment;
        environment.try_emplace("TERM", "xterm-256color");
        environment.try_emplace("NO_COLOR", std::nullopt);
        const auto run = testing::runOnTerminal(arguments, "", {}, TerminalSetup{80, environment});
        ASSERT_EQ(run.status, 0) << run.screen;
        out = run.screen;
    } else {
        std::vector<std::string> command{"/usr/bin/env", "-u", "NO_COLOR"};
        for (const auto &[name, value] : c.environment) {
            command.push_back(name + "=" + value.value_or(""));
        }
        command.push_back(testing::kCli);
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto run = testing::runProcess(command);
        ASSERT_EQ(run.status, 0) << run.err;
        out = run.out;
    }
    EXPECT_NE(out.find("node_modules"), std::string::npos) << out;
    if (c.expectColor) {
        EXPECT_NE(out.find(kColoredKey), std::string::npos) << out;
        EXPECT_NE(out.find("\033[1mTotal: "), std::string::npos) << out;
    } else {
        EXPECT_EQ(out.find('\033'), std::string::npos) << out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliColor,
    ::testing::Values(ColorCase{"Terminal", true, {}, {}, true},
                      ColorCase{"TerminalNoColor", true, {}, {{"NO_COLOR", "1"}}, false},
                      ColorCase{"TerminalEmptyNoColor", true, {}, {{"NO_COLOR", ""}}, true},
                      ColorCase{"TerminalDumb", true, {}, {{"TERM", "dumb"}}, false},
                      ColorCase{"TerminalNever", true, {"--color=never"}, {}, false},
                      ColorCase{"Pipe", false, {}, {}, false},
                      ColorCase{"PipeAuto", false, {"--color", "auto"}, {}, false},
                      ColorCase{"PipeAlways", false, {"--color=always"}, {}, true},
                      ColorCase{"PipeAlwaysDespiteNoColor", false, {"--color=always"}, {{"NO_COLOR", "1"}}, true}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(CliColor, TiersOfTheAnalysisTakeTheirColors)
{
    FixtureTree tree;
    tree.file("web/package.json");
    tree.file("web/node_modules/dep/index.js", 5000);
    tree.age("web/node_modules", 60);
    tree.file("py/.venv/lib/site.py", 1000);
    const auto run = testing::runProcess({testing::kCli, "analyze", "--color=always", tree.root()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\033[1;32mRecommended (1)\033[0m\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\033[1;31mAdvanced (1)\033[0m\n"), std::string::npos) << run.out;
}

// The display width of what a terminal shows for `text`, counting the few wide characters the
// tests use.
std::size_t columns(const std::string &text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0u) == 0x80u) {
            continue;
        }
        count += byte >= 0xE3 && byte <= 0xE9 ? 2 : 1; // CJK ideographs; "…" starts with E2
    }
    return count;
}

// The progress drawings a run left on the terminal: what follows each "\r\033[K" up to the next
// one. The last one clears the line for the table.
std::vector<std::string> progressDrawings(const std::string &screen)
{
    const std::string redraw = "\r\033[K";
    std::vector<std::string> drawings;
    std::size_t at = screen.find(redraw);
    while (at != std::string::npos) {
        const std::size_t start = at + redraw.size();
        const std::size_t next = screen.find(redraw, start);
        if (next == std::string::npos) {
            break;
        }
        drawings.push_back(screen.substr(start, next - start));
        at = next;
    }
    return drawings;
}

TEST(CliProgress, IsDrawnInPlaceWithinTheTerminalsWidth)
{
    FixtureTree tree;
    tree.file("a-rather-long-project-folder-name/node_modules/f", 100);
    for (const unsigned short width : {12, 40}) {
        const auto run = testing::runOnTerminal({"scan", tree.root()}, "", {}, TerminalSetup{width, {}});
        ASSERT_EQ(run.status, 0) << run.screen;
        const auto drawings = progressDrawings(run.screen);
        ASSERT_FALSE(drawings.empty()) << run.screen;
        for (const auto &drawing : drawings) {
            EXPECT_LT(columns(drawing), width) << drawing;
            EXPECT_EQ(drawing.find('\n'), std::string::npos) << drawing;
        }
    }
    const auto quiet = testing::runOnTerminal({"scan", "-q", tree.root()}, "", {}, TerminalSetup{40, {}});
    EXPECT_EQ(quiet.screen.find("\033[K"), std::string::npos) << quiet.screen;
}

struct FitCase {
    const char *message;
    const char *path;
    std::size_t columns;
    const char *expected;
};

TEST(CliProgress, FitsMessageAndPathIntoTheWidth)
{
    for (const FitCase c : {
             FitCase{"Checking size", "/home/me/p/node_modules", 80, "Checking size  /home/me/p/node_modules"},
             // The path loses its start, where it is least telling.
             FitCase{"Checking size", "/home/me/p/node_modules", 30, "Checking size  …/node_modules"},
             // Too narrow for any of the path: the message alone, then cut.
             FitCase{"Checking size", "/home/me/p/node_modules", 18, "Checking size"},
             FitCase{"Checking size", "/home/me/p/node_modules", 8, "Checki…"},
             // Wide characters take two columns and are never split.
             FitCase{"Found target", "/p/\xE6\xBC\xA2\xE5\xAD\x97\xE6\xBC\xA2/target", 27,
                     "Found target  …\xE5\xAD\x97\xE6\xBC\xA2/target"},
             // Bytes a terminal would act on are shown escaped, in the message as in the path.
             FitCase{"Checking size of a\nb", "/x/a\nb", 80, "Checking size of a\\x0ab  /x/a\\x0ab"},
             FitCase{"Starting scan", "", 1, ""},
         }) {
        const std::string line = cli::ProgressLine::fitted(c.message, c.path, c.columns);
        EXPECT_EQ(line, c.expected) << c.columns;
        EXPECT_LT(columns(line), std::max<std::size_t>(c.columns, 1)) << line;
    }
}

} // namespace
} // namespace tarnwick
