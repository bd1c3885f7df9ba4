#pragma once

#include "cli/CliOptions.h"
#include "cli/CommandTable.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace tarnwick::cli {

struct ParsedCommandLine {
    enum class Outcome { run, help, version, usageError };
    Outcome outcome = Outcome::usageError;
    CliOptions options;  // when the outcome is `run`
    std::string text;    // the help or version text, or the usage error (one line, no program name)
    std::string command; // the subcommand the help or the error is about; empty for the program
};

// What the parser accepts, read back from the parser itself (not from the table it was built from),
// so the shells' completions and the manual can be checked against it.
struct CommandLineOption {
    std::vector<std::string> names; // "--quiet", "-q"
    std::string valueName;          // empty for a flag
};

struct CommandLineCommand {
    std::string name;        // empty for the program itself
    std::string operandName; // empty when the command takes no operands
    std::vector<CommandLineOption> options;
};

// tarnwick-cli's parser: CLI11 with one subcommand per row of commandSpecs() and the options of
// optionSpecs(). Each parse starts from a fresh state.
class CommandLine {
public:
    CommandLine();
    ~CommandLine();
    CommandLine(const CommandLine &) = delete;
    CommandLine &operator=(const CommandLine &) = delete;

    // The arguments after the program name.
    ParsedCommandLine parse(const std::vector<std::string> &arguments);

    std::vector<CommandLineCommand> describe() const;

    // The program's help, or a subcommand's.
    std::string help(const std::string &command = {}) const;

private:
    ParsedCommandLine parseCommand(const CommandSpec &spec, const std::vector<std::string> &arguments);
    CLI::App *subcommand(const std::string &name) const;

    std::unique_ptr<CLI::App> m_app;
    std::map<const CLI::Option *, const OptionSpec *> m_optionSpecs;
};

} // namespace tarnwick::cli
