#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace tarnwick::cli {

namespace {

constexpr const char *kProgram = "tarnwick-cli";
constexpr const char *kExitStatus =
    "Exit status: 0 done, 1 some folder failed, 2 bad usage or unreadable input, 130 cancelled.";

std::string commandList()
{
    const auto &commands = commandSpecs();
    std::string text;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        text += i == 0 ? "" : i + 1 == commands.size() ? " or " : ", ";
        text += commands[i].name;
    }
    return text;
}

// CLI11's help with the usage lines written as this program's manual writes them.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App *app, std::string name) const override
    {
        if (app->get_parent() == nullptr) {
            return "Usage: " + name + " COMMAND [options] ...\n       " + name + " --version\n";
        }
        std::string usage = "Usage: " + name + " [options]";
        const auto it = std::find_if(commandSpecs().begin(), commandSpecs().end(),
                                     [&](const CommandSpec &spec) { return spec.name == app->get_name(); });
        if (it != commandSpecs().end() && !it->operandName.empty()) {
            const std::string operands = it->operandName + "...";
            usage += " " + (it->missingOperand.empty() ? "[" + operands + "]" : operands);
        }
        return usage + "\n";
    }
};

bool takesValue(const CLI::Option &option)
{
    return option.get_items_expected_max() > 0;
}

ParsedCommandLine usageError(std::string message, std::string command)
{
    ParsedCommandLine parsed;
    parsed.outcome = ParsedCommandLine::Outcome::usageError;
    parsed.text = std::move(message);
    parsed.command = std::move(command);
    return parsed;
}

} // namespace

CommandLine::CommandLine()
    : m_app(std::make_unique<CLI::App>("reclaims disk space from regenerable developer folders", kProgram))
{
    auto formatter = std::make_shared<HelpFormatter>();
    formatter->column_width(26);
    formatter->label("OPTIONS", "options");
    formatter->label("Positionals", "Operands");
    formatter->label("SUBCOMMAND", "COMMAND");
    m_app->formatter(formatter);
    m_app->set_help_flag("-h,--help", "show this help and exit");
    m_app->set_version_flag("--version", std::string(kProgram) + " " + TARNWICK_VERSION, "show the version and exit");
    m_app->footer("Run '" + std::string(kProgram) + " COMMAND --help' for the options of a command.\n" + kExitStatus);
    for (const auto &spec : commandSpecs()) {
        CLI::App *command = m_app->add_subcommand(spec.name, spec.summary);
        command->group("Commands");
        command->footer(std::string("A value follows its option as the next argument or after '=': --option VALUE, "
                                    "--option=VALUE.\nPut -- before folders whose names start with '-'.\n") +
                        kExitStatus);
        // Unknown options are left over rather than thrown, so the error can say which one it was.
        command->allow_extras();
        for (const auto &option : optionSpecs()) {
            if (std::find(option.commands.begin(), option.commands.end(), spec.command) == option.commands.end()) {
                continue;
            }
            CLI::Option *added = nullptr;
            if (option.valueName.empty()) {
                added = command->add_flag(option.names)->disable_flag_override();
            } else {
                // Every occurrence is kept; the table's store functions decide what a repeat means.
                added = command->add_option(option.names)
                            ->expected(1)
                            ->allow_extra_args(false)
                            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                            ->type_name(option.valueName);
            }
            added->description(option.help);
            m_optionSpecs[added] = &option;
        }
        if (!spec.operandName.empty()) {
            command->add_option(spec.operandName, spec.operandHelp)
                ->expected(-1)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                ->type_name("");
        }
    }
}

CommandLine::~CommandLine() = default;

CLI::App *CommandLine::subcommand(const std::string &name) const
{
    for (CLI::App *command : m_app->get_subcommands({})) {
        if (command->get_name() == name) {
            return command;
        }
    }
    return nullptr;
}

std::string CommandLine::help(const std::string &command) const
{
    if (CLI::App *sub = subcommand(command)) {
        return sub->help(kProgram);
    }
    return m_app->help();
}

ParsedCommandLine CommandLine::parse(const std::vector<std::string> &arguments)
{
    m_app->clear();
    if (arguments.empty()) {
        return usageError("missing command (" + commandList() + ")", {});
    }
    const std::string &first = arguments.front();
    if (first == "help") {
        const std::string topic = arguments.size() > 1 ? arguments[1] : std::string();
        if (!topic.empty() && !subcommand(topic)) {
            return usageError("unknown command '" + topic + "' (use " + commandList() + ")", {});
        }
        return {ParsedCommandLine::Outcome::help, {}, help(topic), topic};
    }
    if (first.starts_with('-')) {
        // Only the program's own options come before a command.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        try {
            m_app->parse(reversed);
        } catch (const CLI::CallForHelp &) {
            return {ParsedCommandLine::Outcome::help, {}, help(), {}};
        } catch (const CLI::CallForVersion &version) {
            return {ParsedCommandLine::Outcome::version, {}, std::string(version.what()) + "\n", {}};
        } catch (const CLI::ParseError &) {
        }
        return usageError("unknown option '" + first + "' (a command comes first: " + commandList() + ")", {});
    }
    const auto spec = std::find_if(commandSpecs().begin(), commandSpecs().end(),
                                   [&](const CommandSpec &command) { return command.name == first; });
    if (spec == commandSpecs().end()) {
        return usageError("unknown command '" + first + "' (use " + commandList() + ")", {});
    }
    return parseCommand(*spec, arguments);
}

ParsedCommandLine CommandLine::parseCommand(const CommandSpec &spec, const std::vector<std::string> &arguments)
{
    CLI::App &command = *subcommand(spec.name);
    // CLI11 2.1 hands everything after a "--" back to the program once the operand has its first
    // value, so the operands after "--" are taken here and only what comes before goes to CLI11.
    // Walking the arguments also gives the messages CLI11 would word differently: a value-taking
    // option at the end, "--flag=value", and "--option=" (an empty value, which CLI11 would
    // otherwise take from the next argument).
    std::vector<std::string> forParser{spec.name};
    std::vector<std::string> operandsAfterMark;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--") {
            operandsAfterMark.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
            break;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            forParser.push_back(argument);
            continue;
        }
        const bool isLong = argument[1] == '-';
        const std::size_t equals = isLong ? argument.find('=') : std::string::npos;
        const std::string name = argument.substr(0, equals);
        // A cluster of short flags (-qx) names its options one letter at a time; a value-taking one
        // takes the rest of the cluster, or the next argument when it is last.
        std::size_t letter = 1;
        const CLI::Option *option = isLong ? command.get_option_no_throw(name) : nullptr;
        for (; !isLong && letter < argument.size(); ++letter) {
            option = command.get_option_no_throw(std::string{'-', argument[letter]});
            if (option && takesValue(*option)) {
                break;
            }
            option = nullptr;
        }
        if (!option || !takesValue(*option)) {
            if (option && equals != std::string::npos) {
                return usageError(name + " takes no value", spec.name);
            }
            forParser.push_back(argument);
            continue;
        }
        forParser.push_back(argument);
        if (equals != std::string::npos) {
            forParser.back() = name;
            forParser.push_back(argument.substr(equals + 1));
        } else if (isLong || letter + 1 == argument.size()) {
            if (i + 1 == arguments.size()) {
                return usageError((isLong ? name : option->get_name()) + " needs a value", spec.name);
            }
            forParser.push_back(arguments[++i]);
        }
    }

    std::reverse(forParser.begin(), forParser.end());
    try {
        m_app->parse(forParser);
    } catch (const CLI::CallForHelp &) {
        return {ParsedCommandLine::Outcome::help, {}, help(spec.name), spec.name};
    } catch (const CLI::ParseError &error) {
        return usageError(error.what(), spec.name);
    }
    for (const std::string &left : command.remaining()) {
        return usageError((left.starts_with('-') ? "unknown option '" : "unexpected argument '") + left + "' for " +
                              spec.name,
                          spec.name);
    }

    ParsedCommandLine parsed;
    parsed.outcome = ParsedCommandLine::Outcome::run;
    parsed.command = spec.name;
    CliOptions &options = parsed.options;
    options.command = spec.command;
    // In the order given, so that the first bad value is the one reported and a later occurrence
    // overrides an earlier one.
    std::map<const CLI::Option *, std::size_t> taken;
    for (const CLI::Option *option : command.parse_order()) {
        if (option->get_positional()) {
            continue;
        }
        const OptionSpec &row = *m_optionSpecs.at(option);
        const std::size_t index = taken[option]++;
        const std::string value = takesValue(*option) ? option->results().at(index) : std::string();
        if (const auto problem = row.store(options, value)) {
            return usageError(option->get_name() + ": " + *problem, spec.name);
        }
    }
    std::vector<std::string> &operands = options.*spec.operands;
    if (!spec.operandName.empty()) {
        operands = command.get_option(spec.operandName)->results();
    }
    operands.insert(operands.end(), operandsAfterMark.begin(), operandsAfterMark.end());
    if (std::find(operands.begin(), operands.end(), "") != operands.end()) {
        // Most often an unset shell variable; taken as a path it would name the current folder.
        return usageError("an empty argument is not a folder", spec.name);
    }
    if (operands.empty() && !spec.missingOperand.empty()) {
        return usageError(spec.missingOperand, spec.name);
    }
    return parsed;
}

std::vector<CommandLineCommand> CommandLine::describe() const
{
    const auto describeOptions = [](const CLI::App &app, CommandLineCommand &command) {
        for (const CLI::Option *option : app.get_options()) {
            if (option->get_positional()) {
                command.operandName = option->get_name();
                continue;
            }
            CommandLineOption described;
            for (const auto &name : option->get_lnames()) {
                described.names.push_back("--" + name);
            }
            for (const auto &name : option->get_snames()) {
                described.names.push_back("-" + name);
            }
            if (takesValue(*option)) {
                described.valueName = option->get_type_name();
            }
            command.options.push_back(std::move(described));
        }
    };
    std::vector<CommandLineCommand> commands(1);
    describeOptions(*m_app, commands.front());
    for (const CLI::App *sub : m_app->get_subcommands({})) {
        CommandLineCommand command;
        command.name = sub->get_name();
        describeOptions(*sub, command);
        commands.push_back(std::move(command));
    }
    return commands;
}

} // namespace tarnwick::cli
