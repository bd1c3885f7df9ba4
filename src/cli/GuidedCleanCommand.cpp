#include "cli/GuidedCleanCommand.h"

#include "cli/AnalyzeCommand.h"
#include "cli/CandidateOutput.h"
#include "cli/ConfirmationPrompt.h"
#include "cli/DeleteResultOutput.h"
#include "cli/ProgressLine.h"
#include "cli/SavedRoots.h"
#include "cli/ScanCommand.h"
#include "cli/SpaceReport.h"
#include "cli/StandardOutput.h"
#include "cli/TerminalStyle.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/SaturatingAdd.h"
#include "core/SuperCleanTier.h"
#include "engine/CleaningLog.h"
#include "engine/SuperCleanAnalysis.h"
#include "engine/Tarnwicker.h"
#include "platform/AvailableSpace.h"
#include "platform/ProcessUsage.h"
#include "platform/UserFolders.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace tarnwick::cli {

namespace {

using Json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

// An analyzed item this run leaves alone, and why.
struct LeftAlone {
    SuperCleanItem item;
    std::string reason;
    bool inUse = false;
};

// The process table is read again before each move once this much time has passed since the last
// reading, so a tool started during a long run is still seen without paying for /proc per folder.
constexpr auto kUsageFreshness = std::chrono::seconds(1);

class InUseCheck {
public:
    std::optional<ProcessUser> userOf(const SuperCleanItem &item)
    {
        if (!m_read || Clock::now() - *m_read > kUsageFreshness) {
            m_usage = ProcessUsage::current();
            m_read = Clock::now();
        }
        return SuperCleanAnalysis::processUsing(item.candidate.path, m_usage);
    }

private:
    ProcessUsage m_usage;
    std::optional<Clock::time_point> m_read;
};

Json leftAloneJson(const LeftAlone &left)
{
    Json object = candidateJsonObject(left.item.candidate);
    object.erase("description");
    object["tier"] = std::string(rawValue(left.item.decision.tier));
    object["reason"] = left.reason;
    return object;
}

std::string firstReasonTitle(const SuperCleanItem &item)
{
    return item.decision.reasons.empty() ? std::string(title(item.decision.tier)) : item.decision.reasons.front().title;
}

void appendAll(DeleteResult &total, DeleteResult part)
{
    for (auto &c : part.deleted) total.deleted.push_back(std::move(c));
    for (auto &f : part.failures) total.failures.push_back(std::move(f));
    for (auto &m : part.missing) total.missing.push_back(std::move(m));
    for (auto &s : part.skipped) total.skipped.push_back(std::move(s));
    for (auto &r : part.trashRecords) total.trashRecords.push_back(std::move(r));
    total.cancelled = total.cancelled || part.cancelled;
}

}  // namespace

int runGuidedClean(const CliOptions &options, const CancellationToken &token)
{
    if (options.permanently) {
        std::fprintf(stderr, "tarnwick-cli: --guided only ever moves folders to the Trash; leave out --permanently\n");
        return kExitUsage;
    }
    std::vector<std::string> roots = options.roots;
    if (roots.empty()) {
        roots = savedScanRoots();
        if (roots.empty()) {
            std::fprintf(stderr, "tarnwick-cli: no folder given, and the application has no saved scan folders\n");
            return kExitUsage;
        }
    }
    const AnalysisOutcome analysis = analyzeRoots(roots, options.quiet, walkSettingsFor(options), token);
    if (analysis.noUsableRoot) {
        std::fprintf(stderr, "tarnwick-cli: no folder left to analyze\n");
        return kExitUsage;
    }
    if (analysis.cancelled) {
        std::fprintf(stderr, "tarnwick-cli: analysis cancelled; nothing was cleaned\n");
        return kExitCancelled;
    }

    // Only what the analysis recommends, in its review order, and never a folder in use.
    InUseCheck inUse;
    std::vector<SuperCleanItem> chosen;
    std::vector<LeftAlone> leftAlone;
    for (const auto &item : analysis.items) {
        const auto inUseNote = std::find_if(item.notes.begin(), item.notes.end(),
                                            [](const std::string &note) { return note.starts_with(kInUseTextStart); });
        if (inUseNote != item.notes.end()) {
            leftAlone.push_back({item, *inUseNote, true});
        } else if (item.decision.tier != SuperCleanTier::recommended) {
            leftAlone.push_back({item, std::string(title(item.decision.tier)) + ": " + firstReasonTitle(item)});
        } else if (const auto user = inUse.userOf(item)) {
            leftAlone.push_back({item, inUseText(*user), true});
        } else {
            chosen.push_back(item);
        }
    }
    std::vector<CleanupCandidate> candidates;
    for (const auto &item : chosen) {
        candidates.push_back(item.candidate);
    }

    const TerminalStyle style = TerminalStyle::forStream(options.color, STDOUT_FILENO);
    const auto reportInUse = [&] {
        for (const auto &left : leftAlone) {
            if (left.inUse) {
                std::fprintf(stderr, "tarnwick-cli: left alone: %s: %s\n", displayPath(left.item.candidate.path).c_str(),
                             displayPath(left.reason).c_str());
            }
        }
    };
    const auto leftAloneArray = [&] {
        Json array = Json::array();
        for (const auto &left : leftAlone) {
            array.push_back(leftAloneJson(left));
        }
        return array;
    };

    if (candidates.empty() || options.dryRun) {
        reportInUse();
        if (options.json) {
            Json extra;
            extra["dryRun"] = options.dryRun;
            extra["wouldClean"] = Json::array();
            for (const auto &candidate : candidates) {
                extra["wouldClean"].push_back(candidateJsonObject(candidate));
            }
            extra["leftAlone"] = leftAloneArray();
            writeOutput(deleteResultJson({}, extra));
        } else if (candidates.empty()) {
            writeOutput("Nothing is recommended for cleaning (" + countPhrase(static_cast<int64_t>(leftAlone.size())) +
                        " left alone; `tarnwick-cli analyze` shows why).\n");
        } else {
            writeOutput(candidatesTable(candidates, style) + "Dry run: nothing was cleaned.\n");
        }
        return kExitDone;
    }

    std::FILE *tableStream = options.json ? stderr : stdout;
    if (!options.json || !options.yes) {
        const std::string table =
            candidatesTable(candidates, TerminalStyle::forStream(options.color, ::fileno(tableStream)));
        if (!writeOutput(table, tableStream) && !options.yes) {
            std::fprintf(stderr, "tarnwick-cli: not cleaning: the list of folders could not be shown\n");
            return kExitSomeFailed;
        }
    }
    reportInUse();
    if (!options.yes && ::isatty(STDIN_FILENO) != 1) {
        std::fprintf(stderr, "tarnwick-cli: not cleaning: standard input is not a terminal, so nobody can "
                             "confirm; add --yes to clean without asking\n");
        return kExitUsage;
    }
    if (!options.yes) {
        const std::string question = "Move " + countPhrase(static_cast<int64_t>(candidates.size())) + " (" +
                                     formatByteCount(totalSize(candidates)) + ") to the Trash?";
        if (const auto status = refusedCleaning(question, token)) {
            return *status;
        }
    }

    // One item at a time, each re-validated against its snapshot by the deletion right before its
    // move, so the budget and the process table are looked at between any two moves.
    SpaceReport space = SpaceReport::before();
    const std::string home = homeFolder();
    std::map<std::string, std::string> trashedTo;
    DeleteResult result;
    int64_t movedOntoHomeVolume = 0;
    bool stoppedAtBudget = false;
    ProgressLine line(options.quiet);
    for (std::size_t index = 0; index < chosen.size(); ++index) {
        const SuperCleanItem &item = chosen[index];
        if (options.keepFreeBytes &&
            saturatingAdd(availableSpace(home), movedOntoHomeVolume) >= *options.keepFreeBytes) {
            stoppedAtBudget = true;
            for (std::size_t rest = index; rest < chosen.size(); ++rest) {
                leftAlone.push_back({chosen[rest], "Not needed: the space target was reached"});
            }
            break;
        }
        if (token.isCancelled()) {
            result.cancelled = true;
            break;
        }
        if (const auto user = inUse.userOf(item)) {
            leftAlone.push_back({item, inUseText(*user), true});
            std::fprintf(stderr, "tarnwick-cli: left alone: %s: %s\n", displayPath(item.candidate.path).c_str(),
                         inUseText(*user).c_str());
            continue;
        }
        DeleteResult part = Tarnwicker::deleteCandidates(
            {item.candidate}, CleanupAction::moveToTrash, {{item.id, item.snapshot}}, {{item.id, item.approvedRoot}},
            [&](const DeleteProgress &progress) {
                line.show(progress.message, progress.currentPath);
                if (progress.entriesDeletedInCurrent == 1 && progress.message.ends_with(" to Trash")) {
                    trashedTo[progress.currentPath] = progress.currentItem;
                }
            },
            token);
        for (const auto &moved : part.deleted) {
            const auto trashed = trashedTo.find(moved.path);
            if (trashed != trashedTo.end() && onHomeVolume(trashed->second)) {
                movedOntoHomeVolume = saturatingAdd(movedOntoHomeVolume, moved.size);
            }
        }
        appendAll(result, std::move(part));
    }
    line.clear();
    CleaningLog::record(result.trashRecords, std::chrono::system_clock::now());
    space.finish(result, trashedTo);

    for (const auto &failure : result.failures) {
        std::fprintf(stderr, "tarnwick-cli: %s: %s\n", displayPath(failure.path).c_str(),
                     displayPath(failure.message).c_str());
    }
    for (const auto &skipped : result.skipped) {
        std::fprintf(stderr, "tarnwick-cli: skipped %s: %s\n", displayPath(skipped.candidate.path).c_str(),
                     skipped.reason.c_str());
    }
    if (options.json) {
        Json extra;
        extra["leftAlone"] = leftAloneArray();
        extra["stoppedAtBudget"] = stoppedAtBudget;
        space.addTo(extra);
        writeOutput(deleteResultJson(result, extra));
    } else {
        std::string text = style.total(cleanupSummary(result, CleanupAction::moveToTrash)) + "\n";
        if (stoppedAtBudget) {
            text += "Stopped: the home volume has " + formatByteCount(*options.keepFreeBytes) +
                    " available once the Trash is emptied.\n";
        }
        text += "Left alone: " + countPhrase(static_cast<int64_t>(leftAlone.size())) + ".\n" + space.text() + "\n";
        writeOutput(text);
    }
    if (result.cancelled) {
        return kExitCancelled;
    }
    return result.failures.empty() ? kExitDone : kExitSomeFailed;
}

}  // namespace tarnwick::cli
