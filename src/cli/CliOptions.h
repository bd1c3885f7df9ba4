#pragma once

#include "engine/CleanupPreset.h"
#include "engine/ScanOptions.h"
#include "engine/WalkSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::cli {

enum class Command { scan, clean, analyze };

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
    unsigned threads = 0;           // --threads; 0: one per core
    std::vector<std::string> roots; // as given
};

// Parses the arguments after the program name. On a usage error returns nothing and puts a
// one-line explanation in `error`. "--help" is reported through `helpRequested`.
std::optional<CliOptions> parseArguments(const std::vector<std::string> &arguments, std::string &error,
                                         bool &helpRequested);

// "512", "100MB", "1.5 GiB", "2g": bytes, with binary multiples for the units. Nothing when invalid.
std::optional<int64_t> parseByteSize(const std::string &text);

// The engine's scan options for the parsed command line (roots and exclusions normalized).
ScanOptions scanOptionsFor(const CliOptions &options);

// How the scan spreads over threads.
WalkSettings walkSettingsFor(const CliOptions &options);

std::string usageText();

} // namespace tarnwick::cli
