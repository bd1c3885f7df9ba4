#include "cli/CliOptions.h"

#include "core/PathRules.h"
#include "engine/CleanupRules.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tarnwick::cli {

namespace {

std::string lowercase(std::string text)
{
    for (auto &c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

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
