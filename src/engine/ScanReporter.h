#pragma once

#include "engine/CancellationToken.h"
#include "engine/CleanupCandidate.h"
#include "engine/MatchMeasurement.h"
#include "engine/ScanProgress.h"
#include "engine/WalkMutex.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarnwick {

// The one place where a walk's workers meet: the counters, the progress records, the found
// candidates. Workers report what they did; the record it makes is queued, under one lock, in the
// order the counters moved, so counts never go backwards. The thread that called the walk takes
// the queue (deliver) and calls the handlers with it, so the handlers only ever run there.
//
// With one worker the records are exactly those of a serial walk. With several, the records of
// matches measured at the same time interleave, each match's own records stay in order, and every
// record carries the counts of the moment it was made.
class ScanReporter {
public:
    using CandidateHandler = std::function<void(const CleanupCandidate &)>;

    struct Settings {
        bool scanRecords = true; // false: a measurement on its own, without the scan's records
        int64_t minimumSizeBytes = 0;
        int64_t visitedDirs = 0; // starting counts
        int64_t matchedDirs = 0;
        bool sharedByWorkers = true; // false when one worker walks alone
    };

    ScanReporter(const ScanProgressHandler &progress, const CandidateHandler &candidateFound, Settings settings);

    // Any worker. visited() counts a folder; the others follow a match from its start to its end.
    void visited(std::string_view path);
    void matchStarted(const MatchMeasurement &match);
    // One read of a folder inside the match, at basePath/folderName (or basePath when the name is
    // empty; the two are joined only for a record): names[i] was measured and brought the folder's
    // bytes so far to cumulative[i]; `bytes` is all the read adds (the folder's own entry included).
    void measured(MatchMeasurement &match, std::string_view basePath, std::string_view folderName,
                  const std::vector<std::string_view> &names, const std::vector<int64_t> &cumulative, int64_t bytes);
    // A folder inside the match is done and queued `subfolders` more; the last one finishes the match.
    void folderMeasured(MatchMeasurement &match, std::size_t subfolders);

    // The calling thread only. Queues a record with empty paths and the current counts.
    void report(OperationPhase phase, std::string message);
    // Hands every queued record and candidate to the handlers, in order. Throws CancellationError,
    // delivering nothing more, as soon as the token is cancelled.
    void deliver(const CancellationToken &token);
    // The same without looking at the token: for the records that end a walk.
    void deliverAll();
    bool hasQueued() const { return m_queued.load(std::memory_order_relaxed); }

    // After the walk: the candidates largest first, equal sizes in the order a one-thread walk finds them.
    std::vector<CleanupCandidate> takeResults();

private:
    using Event = std::variant<ScanProgress, CleanupCandidate>;
    struct Found {
        std::vector<uint32_t> order;
        CleanupCandidate candidate;
    };

    void finish(MatchMeasurement &match);
    void queueRecord(OperationPhase phase, std::string message, std::string_view path, std::string currentItem,
                     int64_t measuredEntries, int64_t bytes);
    void handOver(bool watchToken, const CancellationToken *token);

    const ScanProgressHandler &m_progress;
    const CandidateHandler &m_candidateFound;
    const Settings m_settings;

    WalkMutex m_mutex;
    int64_t m_visited;
    int64_t m_matched;
    std::vector<Event> m_queue;
    std::vector<Found> m_found;
    std::atomic<bool> m_queued{false};

    std::vector<Event> m_delivering; // the calling thread's
};

} // namespace tarnwick
