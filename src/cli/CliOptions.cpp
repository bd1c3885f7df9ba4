#include "cli/CliOptions.h"

#include "core/PathRules.h"
#include "engine/CleanupRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tarnwick::cli {

namespace {

std::string validRuleKeys()
{
    std::string text;
    for (const auto &rule : CleanupRules::all()) {
        if (!text.empty()) {
            text += ", ";
        }
        text += '"' + rule.key + '"';
    }
    return text;
}

std::string lowercase(std::string text)
{
    for (auto &c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

constexpr unsigned kMaximumThreads = 256;

std::optional<unsigned> parseThreadCount(const std::string &text)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    const auto count = static_cast<unsigned>(std::stoul(text));
    if (count < 1 || count > kMaximumThreads) {
        return std::nullopt;
    }
    return count;
}

} // namespace

std::string usageText()
{
    return R"(Usage:
  tarnwick-cli scan  [options] ROOT...     find cleanup folders, largest first
  tarnwick-cli clean [options] ROOT...     scan, then move every found folder to the Trash
  tarnwick-cli analyze [--json] [-q] [--threads N] ROOT...
                                           the guided analysis without cleaning

Options:
  --preset safe|balanced|deep|custom       rule set and extra-types flag (default safe)
  --rule KEY                               enable exactly these rule keys (repeatable)
  --aggressive, --no-aggressive            override the preset's extra-types flag
  --min-size SIZE                          bytes, or with a unit: 100MB, 1GB (binary multiples)
  --exclude PATH                           never enter PATH (repeatable)
  --json                                   machine-readable output
  --permanently                            clean: delete instead of moving to the Trash
  --yes                                    clean: do not ask for confirmation
  -q, --quiet                              no progress on standard error
  --threads N                              walk with N threads (default: one per core)
  -h, --help                               show this help

Exit status: 0 done, 1 some folder failed, 2 bad usage or unreadable input, 130 cancelled.
)";
}

std::optional<int64_t> parseByteSize(const std::string &text)
{
    std::size_t position = 0;
    while (position < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[position])) || text[position] == '.')) {
        ++position;
    }
    const std::string number = text.substr(0, position);
    if (number.empty() || number == "." || number.find('.') != number.rfind('.')) {
        return std::nullopt;
    }
    std::string unit = text.substr(position);
    while (!unit.empty() && unit.front() == ' ') {
        unit.erase(unit.begin());
    }
    unit = lowercase(unit);
    static const std::pair<const char *, int> units[] = {
        {"", 0},    {"b", 0}, {"k", 1},  {"kb", 1},  {"kib", 1}, {"m", 2},  {"mb", 2},
        {"mib", 2}, {"g", 3}, {"gb", 3}, {"gib", 3}, {"t", 4},   {"tb", 4}, {"tib", 4},
    };
    for (const auto &[label, power] : units) {
        if (unit == label) {
            const double value = std::strtod(number.c_str(), nullptr) * std::pow(1024.0, power);
            if (!std::isfinite(value) || value >= 9.2e18) {
                return std::nullopt;
            }
            return static_cast<int64_t>(std::llround(value));
        }
    }
    return std::nullopt;
}

std::optional<CliOptions> parseArguments(const std::vector<std::string> &arguments, std::string &error,
                                         bool &helpRequested)
{
    helpRequested = false;
    CliOptions options;
    if (arguments.empty()) {
        error = "missing command (scan, clean or analyze)";
        return std::nullopt;
    }
    const std::string &command = arguments.front();
    if (command == "-h" || command == "--help" || command == "help") {
        helpRequested = true;
        return std::nullopt;
    }
    if (command == "scan") {
        options.command = Command::scan;
    } else if (command == "clean") {
        options.command = Command::clean;
    } else if (command == "analyze") {
        options.command = Command::analyze;
    } else {
        error = "unknown command '" + command + "' (use scan, clean or analyze)";
        return std::nullopt;
    }

    bool onlyRootsFollow = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument.empty()) {
            // Most often an unset shell variable; taken as a path it would name the current folder.
            error = "an empty argument is not a folder";
            return std::nullopt;
        }
        if (onlyRootsFollow || argument.front() != '-' || argument == "-") {
            options.roots.push_back(argument);
            continue;
        }
        const auto value = [&](const char *name) -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) {
                error = std::string(name) + " needs a value";
                return std::nullopt;
            }
            return arguments[++i];
        };
        const bool guided = options.command == Command::analyze;
        const bool cleaning = options.command == Command::clean;
        if (argument == "--") {
            onlyRootsFollow = true;
        } else if (argument == "-h" || argument == "--help") {
            helpRequested = true;
            return std::nullopt;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "--threads") {
            const auto text = value("--threads");
            if (!text) {
                return std::nullopt;
            }
            const auto count = parseThreadCount(*text);
            if (!count) {
                error = "invalid thread count '" + *text + "' (use a whole number from 1 to " +
                        std::to_string(kMaximumThreads) + ")";
                return std::nullopt;
            }
            options.threads = *count;
        } else if (argument == "--preset" && !guided) {
            const auto raw = value("--preset");
            if (!raw) {
                return std::nullopt;
            }
            const auto preset = cleanupPresetFromRaw(*raw);
            if (!preset) {
                error = "unknown preset '" + *raw + "' (use safe, balanced, deep or custom)";
                return std::nullopt;
            }
            options.preset = *preset;
        } else if (argument == "--rule" && !guided) {
            const auto key = value("--rule");
            if (!key) {
                return std::nullopt;
            }
            if (!CleanupRules::allKeys().contains(*key)) {
                error = "unknown rule '" + *key + "'. Valid rules: " + validRuleKeys();
                return std::nullopt;
            }
            options.rules.push_back(*key);
        } else if (argument == "--aggressive" && !guided) {
            options.aggressive = true;
        } else if (argument == "--no-aggressive" && !guided) {
            options.aggressive = false;
        } else if (argument == "--min-size" && !guided) {
            const auto text = value("--min-size");
            if (!text) {
                return std::nullopt;
            }
            const auto bytes = parseByteSize(*text);
            if (!bytes) {
                error = "invalid size '" + *text + "' (use bytes, or a number with KB, MB, GB or TB)";
                return std::nullopt;
            }
            options.minimumSizeBytes = *bytes;
        } else if (argument == "--exclude" && !guided) {
            const auto path = value("--exclude");
            if (!path) {
                return std::nullopt;
            }
            if (path->empty()) {
                error = "--exclude needs a folder, not an empty argument";
                return std::nullopt;
            }
            options.excludedPaths.push_back(*path);
        } else if (argument == "--permanently" && cleaning) {
            options.permanently = true;
        } else if (argument == "--yes" && cleaning) {
            options.yes = true;
        } else {
            error = "unknown option '" + argument + "' for " + command;
            return std::nullopt;
        }
    }
    if (options.roots.empty()) {
        error = "no folder to scan given";
        return std::nullopt;
    }
    return options;
}

ScanOptions scanOptionsFor(const CliOptions &options)
{
    ScanOptions scan;
    for (const auto &root : options.roots) {
        scan.roots.push_back(normalizedPath(root));
    }
    scan.includeAggressive = options.aggressive.value_or(CleanupRules::includesAggressive(options.preset));
    if (options.rules.empty()) {
        scan.selectedTargetKeys = CleanupRules::keys(options.preset);
    } else {
        scan.selectedTargetKeys.insert(options.rules.begin(), options.rules.end());
    }
    scan.minimumSizeBytes = options.minimumSizeBytes;
    for (const auto &path : options.excludedPaths) {
        scan.excludedPaths.insert(normalizedPath(path));
    }
    scan.allowRootMatches = false;
    return scan;
}

WalkSettings walkSettingsFor(const CliOptions &options)
{
    WalkSettings settings;
    settings.threads = options.threads;
    return settings;
}

} // namespace tarnwick::cli
