// The shells' completions and the manual against the parser itself: whatever option the parser
// learns, these tests fail until every completion offers it and the manual describes it.

#include "ChildProcess.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "cli/CommandLine.h"
#include "engine/CleanupPreset.h"
#include "engine/CleanupRules.h"

#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::runProcess;
using testing::ScopedHome;
using Words = std::vector<std::string>;
using Set = std::set<std::string>;

const std::string kPackaging = TARNWICK_PACKAGING_DIR;

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isExecutable(const std::string &path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

std::vector<cli::CommandLineCommand> parserCommands()
{
    cli::CommandLine parser;
    return parser.describe();
}

Set allNames(const cli::CommandLineCommand &command)
{
    Set names;
    for (const auto &option : command.options) {
        names.insert(option.names.begin(), option.names.end());
    }
    return names;
}

Set ruleKeys()
{
    const auto keys = CleanupRules::allKeys();
    return {keys.begin(), keys.end()};
}

Set presetNames()
{
    Set names;
    for (const auto preset : allCleanupPresets) {
        names.insert(std::string(rawValue(preset)));
    }
    return names;
}

// What a value of this name should complete to; nothing for free text (SIZE, N, ...).
std::optional<Set> expectedValues(const std::string &valueName, const Set &folders)
{
    if (valueName == "KEY") {
        return ruleKeys();
    }
    if (valueName == "PRESET") {
        return presetNames();
    }
    if (valueName == "WHEN") {
        return Set{"never", "auto", "always"};
    }
    if (valueName == "PATH") {
        return folders;
    }
    return std::nullopt;
}

Set lines(const std::string &text)
{
    Set result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            result.insert(line);
        }
    }
    return result;
}

// One shell's completion of a command line whose last word is being typed. Both drivers return
// the candidates as the user would end up with them: unquoted, folders without a trailing slash.
struct Shell {
    const char *name;
    const char *program;
    const char *file;
    Set (*complete)(const std::string &file, const Words &words);
};

Set completeWithBash(const std::string &file, const Words &words)
{
    Words argv{"/bin/bash",
               "--norc",
               "--noprofile",
               "-c",
               R"(source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tarnwick_cli;
                  for c in "${COMPREPLY[@]}"; do printf '%s\n' "${c//\\/}"; done)",
               "bash",
               file};
    argv.insert(argv.end(), words.begin(), words.end());
    Set result;
    for (auto candidate : lines(runProcess(argv).out)) {
        if (candidate.size() > 1 && candidate.back() == '/') {
            candidate.pop_back();
        }
        result.insert(candidate);
    }
    return result;
}

Set completeWithFish(const std::string &file, const Words &words)
{
    std::string line;
    for (const auto &word : words) {
        line += (line.empty() ? "" : " ") + word;
    }
    const Words argv{"/usr/bin/fish", "--no-config", "-c", "source $argv[1]; complete -C $argv[2]", file, line};
    // fish leaves candidates that start with a dot out unless the word does, as with hidden files.
    Set result;
    for (const auto &text :
         {runProcess(argv).out, words.back().empty()
                                    ? runProcess({argv[0], argv[1], argv[2], argv[3], argv[4], line + "."}).out
                                    : std::string()}) {
        for (auto candidate : lines(text)) {
            candidate = candidate.substr(0, candidate.find('\t'));
            if (candidate.size() > 1 && candidate.back() == '/') {
                candidate.pop_back();
            }
            result.insert(candidate);
        }
    }
    return result;
}

void PrintTo(const Shell &shell, std::ostream *out)
{
    *out << shell.name;
}

const Shell kShells[] = {
    {"bash", "/bin/bash", "completions/tarnwick-cli.bash", completeWithBash},
    {"fish", "/usr/bin/fish", "completions/tarnwick-cli.fish", completeWithFish},
};

class ShellCompletion : public ::testing::TestWithParam<Shell> {
protected:
    void SetUp() override
    {
        if (!isExecutable(GetParam().program)) {
            GTEST_SKIP() << GetParam().program << " is not installed (scripts/install-deps installs it)";
        }
    }

    Set complete(const Words &words) const
    {
        Words line{"tarnwick-cli"};
        line.insert(line.end(), words.begin(), words.end());
        return GetParam().complete(kPackaging + "/" + GetParam().file, line);
    }

    ScopedHome home; // fish keeps its state under the home folder
};

TEST_P(ShellCompletion, OffersTheCommandsFirst)
{
    Set commands{"help"};
    for (const auto &command : parserCommands()) {
        if (!command.name.empty()) {
            commands.insert(command.name);
        }
    }
    EXPECT_EQ(complete({""}), commands);
}

// For the program and each command, "-" offers exactly the option names the parser takes there.
TEST_P(ShellCompletion, OffersExactlyTheOptionsOfEachCommand)
{
    for (const auto &command : parserCommands()) {
        const Words words = command.name.empty() ? Words{"-"} : Words{command.name, "-"};
        EXPECT_EQ(complete(words), allNames(command)) << "after '" << command.name << "'";
    }
}

// Every option's value, and the operands, complete to what they take.
TEST_P(ShellCompletion, OffersTheValuesEachOptionTakes)
{
    FixtureTree tree;
    tree.folder("alpha");
    tree.folder("beta gamma");
    tree.file("file");
    const std::string prefix = tree.root() + "/";
    const Set folders{prefix + "alpha", prefix + "beta gamma"};

    for (const auto &command : parserCommands()) {
        if (command.name.empty()) {
            continue;
        }
        for (const auto &option : command.options) {
            const auto expected = expectedValues(option.valueName, folders);
            if (!expected) {
                continue;
            }
            const bool folder = option.valueName == "PATH";
            EXPECT_EQ(complete({command.name, option.names.front(), folder ? prefix : ""}), *expected)
                << command.name << " " << option.names.front();
        }
        if (command.operandName == "ROOT") {
            EXPECT_EQ(complete({command.name, prefix}), folders) << command.name << " operands";
            EXPECT_EQ(complete({command.name, "--", prefix}), folders) << command.name << " operands after --";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shells, ShellCompletion, ::testing::ValuesIn(kShells),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(ShellCompletion, BashCompletesTheValueAfterAnEqualsSign)
{
    ScopedHome home;
    const std::string file = kPackaging + "/completions/tarnwick-cli.bash";
    // bash splits "--preset=d" at the '=' before the completion sees it.
    EXPECT_EQ(completeWithBash(file, {"tarnwick-cli", "scan", "--preset", "=", "d"}), (Set{"deep"}));
    EXPECT_EQ(completeWithBash(file, {"tarnwick-cli", "scan", "--color", "="}), (Set{"never", "auto", "always"}));
}

// zsh's completion cannot be driven without an interactive shell, so its file is checked for every
// name the parser knows and for being valid zsh.
TEST(ShellCompletion, ZshNamesEveryOptionRuleAndPreset)
{
    const std::string text = readFile(kPackaging + "/completions/_tarnwick-cli");
    ASSERT_FALSE(text.empty());
    for (const auto &command : parserCommands()) {
        for (const auto &name : allNames(command)) {
            EXPECT_NE(text.find(name), std::string::npos) << name;
        }
    }
    for (const auto &name : ruleKeys()) {
        const bool quoted = text.find("'" + name + "'") != std::string::npos;
        const bool bare =
            text.find(" " + name + " ") != std::string::npos || text.find(" " + name + "\n") != std::string::npos;
        EXPECT_TRUE(quoted || bare) << name;
    }
    for (const auto &name : presetNames()) {
        EXPECT_NE(text.find(name), std::string::npos) << name;
    }
    if (isExecutable("/usr/bin/zsh")) {
        const auto check = runProcess({"/usr/bin/zsh", "-n", kPackaging + "/completions/_tarnwick-cli"});
        EXPECT_EQ(check.status, 0) << check.err;
    }
}

// `word` stands alone in `text`: "--aggressive" is not found inside "--no-aggressive".
bool containsWord(const std::string &text, const std::string &word)
{
    const auto partOfName = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !partOfName(text[at - 1])) && (end == text.size() || !partOfName(text[end]))) {
            return true;
        }
    }
    return false;
}

TEST(Manual, DescribesEveryCommandOptionAndRule)
{
    // The source with roff's escaped minus ("\-") and quotes taken out and spaces collapsed, so
    // `.BI \-\-preset " PRESET"` reads "--preset PRESET".
    std::string text;
    const std::string source = readFile(kPackaging + "/tarnwick-cli.1");
    ASSERT_FALSE(source.empty());
    for (std::size_t i = 0; i < source.size(); ++i) {
        if ((source[i] == '\\' && i + 1 < source.size() && source[i + 1] == '-') || source[i] == '"' ||
            (source[i] == ' ' && !text.empty() && text.back() == ' ')) {
            continue;
        }
        text += source[i];
    }
    for (const auto &command : parserCommands()) {
        if (!command.name.empty()) {
            EXPECT_NE(text.find(".B " + command.name + "\n"), std::string::npos) << command.name;
        }
        for (const auto &option : command.options) {
            for (const auto &name : option.names) {
                EXPECT_TRUE(containsWord(text, name)) << name;
            }
            if (!option.valueName.empty()) {
                EXPECT_NE(text.find(option.names.front() + " " + option.valueName), std::string::npos)
                    << option.names.front() << " " << option.valueName;
            }
        }
    }
    for (const auto &key : ruleKeys()) {
        EXPECT_TRUE(containsWord(text, key)) << key;
    }
}

TEST(Manual, RendersWithoutWarnings)
{
    if (!isExecutable("/usr/bin/groff")) {
        GTEST_SKIP() << "groff is not installed (scripts/install-deps installs groff-base)";
    }
    const auto render = runProcess({"/usr/bin/groff", "-man", "-ww", "-z", "-Tutf8", kPackaging + "/tarnwick-cli.1"});
    EXPECT_EQ(render.status, 0);
    EXPECT_EQ(render.err, "");
}

} // namespace
} // namespace tarnwick
