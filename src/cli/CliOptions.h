#pragma once

#include "engine/CleanupPreset.h"
#include "engine/ScanOptions.h"
#include "engine/WalkSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::cli {

enum class Command { scan, clean, analyze, restore };

// When human output may carry colour: `automatic` colours a terminal unless NO_COLOR is set or the
// terminal is dumb; `always` also colours a pipe (for `less -R` and the like).
enum class ColorMode { never, automatic, always };

// What the command line asked for. The parser fills it from the option table (CommandTable.cpp), one
// occurrence at a time in the order given, so "last one wins" and repeatable options fall out of
// each option's store function.
struct CliOptions {
    Command command = Command::scan;
    CleanupPreset preset = CleanupPreset::safe;
    std::vector<std::string> rules; // --rule, in the order given
    std::optional<bool> aggressive; // --aggressive / --no-aggressive
    int64_t minimumSizeBytes = 0;
    std::vector<std::string> excludedPaths; // as given
    bool json = false;
    bool permanently = false;
    bool yes = false;
    bool quiet = false;
    unsigned threads = 0; // --threads; 0: one per core
    ColorMode color = ColorMode::automatic;
    bool guided = false;                     // clean: the Recommended items of the guided analysis only
    bool dryRun = false;                     // clean: say what would be cleaned, touch nothing
    std::optional<int64_t> keepFreeBytes;    // clean --guided: stop once this much is available
    bool last = false;                       // restore: every move of the last cleanup
    std::vector<std::string> roots;          // as given
    std::vector<std::string> moveIDs;        // restore: the journal records to put back
};

// "512", "100MB", "1.5 GiB", "2g": bytes, with binary multiples for the units. Nothing when invalid.
std::optional<int64_t> parseByteSize(const std::string &text);

// The engine's scan options for the parsed command line (roots and exclusions normalized).
ScanOptions scanOptionsFor(const CliOptions &options);

// How the scan spreads over threads.
WalkSettings walkSettingsFor(const CliOptions &options);

} // namespace tarnwick::cli
