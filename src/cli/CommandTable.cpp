#include "cli/CommandTable.h"

#include "engine/CleanupRules.h"

#include <algorithm>
#include <cctype>

namespace tarnwick::cli {

namespace {

using enum Command;

// Value names are part of the table's meaning: the completions' test offers the catalogue's keys
// for KEY, the preset names for PRESET, the colour modes for WHEN and folders for PATH; other
// names (SIZE, N, ...) are free text.

StoreOption flag(bool CliOptions::*field)
{
    return [field](CliOptions &options, const std::string &) -> std::optional<std::string> {
        options.*field = true;
        return std::nullopt;
    };
}

StoreOption aggressive(bool value)
{
    return [value](CliOptions &options, const std::string &) -> std::optional<std::string> {
        options.aggressive = value;
        return std::nullopt;
    };
}

std::optional<std::string> storePreset(CliOptions &options, const std::string &value)
{
    const auto preset = cleanupPresetFromRaw(value);
    if (!preset) {
        return "unknown preset '" + value + "' (use safe, balanced, deep or custom)";
    }
    options.preset = *preset;
    return std::nullopt;
}

std::optional<std::string> storeRule(CliOptions &options, const std::string &value)
{
    if (!CleanupRules::allKeys().contains(value)) {
        std::string keys;
        for (const auto &rule : CleanupRules::all()) {
            keys += (keys.empty() ? "\"" : ", \"") + rule.key + '"';
        }
        return "unknown rule '" + value + "'. Valid rules: " + keys;
    }
    options.rules.push_back(value);
    return std::nullopt;
}

std::optional<std::string> storeMinimumSize(CliOptions &options, const std::string &value)
{
    const auto bytes = parseByteSize(value);
    if (!bytes) {
        return "invalid size '" + value + "' (use bytes, or a number with KB, MB, GB or TB)";
    }
    options.minimumSizeBytes = *bytes;
    return std::nullopt;
}

std::optional<std::string> storeExclusion(CliOptions &options, const std::string &value)
{
    // Most often an unset shell variable; taken as a path it would name the current folder.
    if (value.empty()) {
        return "an empty argument is not a folder";
    }
    options.excludedPaths.push_back(value);
    return std::nullopt;
}

std::optional<std::string> storeKeepFree(CliOptions &options, const std::string &value)
{
    const auto bytes = parseByteSize(value);
    if (!bytes) {
        return "invalid size '" + value + "' (use bytes, or a number with KB, MB, GB or TB)";
    }
    options.keepFreeBytes = *bytes;
    return std::nullopt;
}

std::optional<std::string> storeColor(CliOptions &options, const std::string &value)
{
    if (value == "never") {
        options.color = ColorMode::never;
    } else if (value == "auto") {
        options.color = ColorMode::automatic;
    } else if (value == "always") {
        options.color = ColorMode::always;
    } else {
        return "unknown value '" + value + "' (use never, auto or always)";
    }
    return std::nullopt;
}

constexpr unsigned kMaximumThreads = 256;

std::optional<std::string> storeThreads(CliOptions &options, const std::string &value)
{
    const bool digitsOnly = !value.empty() && value.size() <= 3 &&
                            std::all_of(value.begin(), value.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    const unsigned count = digitsOnly ? static_cast<unsigned>(std::stoul(value)) : 0;
    if (count < 1 || count > kMaximumThreads) {
        return "invalid thread count '" + value + "' (use a whole number from 1 to " +
               std::to_string(kMaximumThreads) + ")";
    }
    options.threads = count;
    return std::nullopt;
}

} // namespace

const std::vector<CommandSpec> &commandSpecs()
{
    static const std::vector<CommandSpec> commands{
        {scan, "scan", "find cleanup folders, largest first", "ROOT", "a folder to scan", "no folder to scan given"},
        // clean checks its own roots: with --guided they default to the application's folders.
        {clean, "clean", "scan, then move every found folder to the Trash", "ROOT", "a folder to scan", ""},
        {analyze, "analyze", "the guided analysis (every rule, tiers and reasons) without cleaning", "ROOT",
         "a folder to analyze; it may itself be an item", "no folder to scan given"},
        {restore, "restore", "list the folders cleanings moved to the Trash, or put them back", "ID",
         "a move to put back (its id, or the first eight characters or more of it)", "", &CliOptions::moveIDs},
    };
    return commands;
}

const std::vector<OptionSpec> &optionSpecs()
{
    static const std::vector<OptionSpec> options{
        {"--preset",
         "PRESET",
         "the app's rule set: safe, balanced, deep or custom (default safe)",
         {scan, clean},
         storePreset},
        {"--rule",
         "KEY",
         "use exactly these rules (repeatable; replaces the preset's rules)",
         {scan, clean},
         storeRule},
        {"--aggressive",
         "",
         "include the extra types (build, dist, coverage, Carthage/Build)",
         {scan, clean},
         aggressive(true)},
        {"--no-aggressive",
         "",
         "leave the extra types out, whatever the preset says",
         {scan, clean},
         aggressive(false)},
        {"--min-size",
         "SIZE",
         "skip smaller folders: bytes, or 100MB, 1GB (binary multiples)",
         {scan, clean},
         storeMinimumSize},
        {"--exclude", "PATH", "never enter PATH (repeatable)", {scan, clean}, storeExclusion},
        {"--json", "", "machine-readable output", {scan, clean, analyze, restore}, flag(&CliOptions::json)},
        {"--color",
         "WHEN",
         "colour in human output: never, auto (a terminal without NO_COLOR) or always",
         {scan, clean, analyze},
         storeColor},
        {"--permanently", "", "delete instead of moving to the Trash", {clean}, flag(&CliOptions::permanently)},
        {"--yes", "", "do not ask for confirmation", {clean}, flag(&CliOptions::yes)},
        {"--guided",
         "",
         "clean only what the guided analysis recommends, never a folder in use (roots default to the app's)",
         {clean},
         flag(&CliOptions::guided)},
        {"--keep-free",
         "SIZE",
         "with --guided: stop once the home volume has SIZE available (the Trash's share counted)",
         {clean},
         storeKeepFree},
        {"--dry-run", "", "show what would be cleaned and touch nothing", {clean}, flag(&CliOptions::dryRun)},
        {"--last", "", "put back every folder of the last cleanup", {restore}, flag(&CliOptions::last)},
        {"-q,--quiet", "", "no progress on standard error", {scan, clean, analyze}, flag(&CliOptions::quiet)},
        {"--threads",
         "N",
         "walk with N threads, 1 to 256 (default one per core); the results are the same with any number",
         {scan, clean, analyze},
         storeThreads},
    };
    return options;
}

} // namespace tarnwick::cli
