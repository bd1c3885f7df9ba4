#include "cli/AnalyzeCommand.h"

#include "cli/CandidateOutput.h"
#include "cli/ProgressLine.h"
#include "cli/ScanCommand.h"
#include "cli/StandardOutput.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/SaturatingAdd.h"
#include "core/SuperCleanPolicy.h"
#include "engine/SuperCleanAnalysis.h"
#include "engine/Tarnwicker.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace tarnwick::cli {

std::string itemsTable(const std::vector<SuperCleanItem> &items, const TerminalStyle &style)
{
    if (items.empty()) {
        return "No Super Clean candidates found.\n";
    }
    std::size_t sizeWidth = 4;
    std::size_t keyWidth = 4;
    for (const auto &item : items) {
        sizeWidth = std::max(sizeWidth, formatByteCount(item.candidate.size).size());
        keyWidth = std::max(keyWidth, item.candidate.key.size());
    }
    const std::string indent(2 + sizeWidth + 2, ' ');
    std::string out;
    int64_t recommendedBytes = 0;
    int64_t recommended = 0;
    for (const SuperCleanTier tier : allSuperCleanTiers) {
        const auto count = std::count_if(items.begin(), items.end(),
                                         [tier](const SuperCleanItem &item) { return item.decision.tier == tier; });
        if (count == 0) {
            continue;
        }
        out += (out.empty() ? "" : "\n") +
               style.tier(std::string(title(tier)) + " (" + std::to_string(count) + ")", tier) + '\n';
        for (const auto &item : items) {
            if (item.decision.tier != tier) {
                continue;
            }
            const std::string size = formatByteCount(item.candidate.size);
            const std::string &key = item.candidate.key;
            out += "  " + std::string(sizeWidth - size.size(), ' ') + size + "  " + key +
                   std::string(keyWidth - key.size(), ' ') + "  " + displayPath(item.candidate.path) + '\n';
            for (const auto &reason : item.decision.reasons) {
                out += indent + reason.title + ": " + reason.detail + '\n';
            }
            for (const auto &note : item.notes) {
                out += indent + displayPath(note) + '\n';
            }
            out += indent + "Consequence: " + item.decision.consequence + '\n';
            if (item.decision.isAutoSelected) {
                recommendedBytes = saturatingAdd(recommendedBytes, item.candidate.size);
                ++recommended;
            }
        }
    }
    int64_t total = 0;
    for (const auto &item : items) {
        total = saturatingAdd(total, item.candidate.size);
    }
    out += '\n' +
           style.total("Total: " + formatByteCount(total) + " in " + countPhrase(static_cast<int64_t>(items.size())) +
                       "; recommended: " + formatByteCount(recommendedBytes) + " in " + countPhrase(recommended)) +
           '\n';
    return out;
}

std::string itemsJson(const std::vector<SuperCleanItem> &items)
{
    using Json = nlohmann::ordered_json;
    std::vector<Json> objects;
    objects.reserve(items.size());
    for (const auto &item : items) {
        Json object = candidateJsonObject(item.candidate);
        object.erase("description");
        addPathMembers(object, item.approvedRoot, "approvedRoot");
        object["tier"] = std::string(rawValue(item.decision.tier));
        object["selected"] = item.decision.isAutoSelected;
        Json reasons = Json::array();
        for (const auto &reason : item.decision.reasons) {
            reasons.push_back(Json{{"title", reason.title}, {"detail", reason.detail}});
        }
        object["reasons"] = std::move(reasons);
        object["consequence"] = item.decision.consequence;
        object["notes"] = item.notes;
        objects.push_back(std::move(object));
    }
    return jsonLinesArray(objects);
}

AnalysisOutcome analyzeRoots(const std::vector<std::string> &givenRoots, bool quiet, const WalkSettings &walk,
                             const CancellationToken &token)
{
    AnalysisOutcome outcome;
    const std::vector<std::string> roots = usableRoots(givenRoots);
    if (roots.empty()) {
        outcome.noUsableRoot = true;
        return outcome;
    }
    const SuperCleanAnalysis::Context context{SuperCleanPolicy::deduplicatedRootPaths(roots), {},
                                              std::make_shared<const ProcessUsage>(ProcessUsage::current())};
    ProgressLine line(quiet);
    std::vector<CleanupCandidate> found;
    std::vector<CleanupCandidate> live;
    try {
        found = Tarnwicker::scan(
            SuperCleanAnalysis::scanOptions(context),
            [&](const ScanProgress &progress) { line.show(progress.message, progress.currentPath); },
            [&](const CleanupCandidate &candidate) { live.push_back(candidate); }, token, walk);
    } catch (const CancellationError &) {
        outcome.cancelled = true;
        found = std::move(live);
    }
    line.clear();
    outcome.items = SuperCleanAnalysis::reconciled({}, found, context, std::chrono::system_clock::now());
    return outcome;
}

int runAnalyze(const CliOptions &options, const CancellationToken &token)
{
    const AnalysisOutcome outcome = analyzeRoots(options.roots, options.quiet, walkSettingsFor(options), token);
    if (outcome.noUsableRoot) {
        std::fprintf(stderr, "tarnwick-cli: no folder left to analyze\n");
        return kExitUsage;
    }
    const auto &items = outcome.items;
    const std::string text =
        options.json ? itemsJson(items) : itemsTable(items, TerminalStyle::forStream(options.color, STDOUT_FILENO));
    writeOutput(text);
    if (outcome.cancelled) {
        std::fprintf(stderr, "tarnwick-cli: analysis cancelled; showing what was found so far\n");
        return kExitCancelled;
    }
    return kExitDone;
}

} // namespace tarnwick::cli
