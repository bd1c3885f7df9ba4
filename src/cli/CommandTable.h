#pragma once

#include "cli/CliOptions.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::cli {

// Stores one occurrence of an option. Returns why the value cannot be used (the parser puts the
// option's name in front), or nothing. Flags are stored with an empty value.
using StoreOption = std::function<std::optional<std::string>(CliOptions &, const std::string &value)>;

// One row of the option table: everything the parser, the help and the shells' completions need to
// know about an option. A new option is one row here and a field in CliOptions.
struct OptionSpec {
    std::string names;     // as CLI11 takes them: "-q,--quiet"
    std::string valueName; // empty for a flag; see CommandTable.cpp for the names the completions know
    std::string help;
    std::vector<Command> commands; // the subcommands that take it
    StoreOption store;
};

struct CommandSpec {
    Command command;
    std::string name;
    std::string summary;
    std::string operandName; // shown in the usage line and the help
    std::string operandHelp;
    std::string missingOperand; // the usage error when no operand is given; empty when none is needed
    std::vector<std::string> CliOptions::*operands = &CliOptions::roots; // where the operands go
};

const std::vector<CommandSpec> &commandSpecs();
const std::vector<OptionSpec> &optionSpecs();

} // namespace tarnwick::cli
