#include "engine/ScanReporter.h"

#include "core/PathRules.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace tarnwick {

namespace {

constexpr int64_t kProgressEveryFolders = 50;
constexpr int64_t kProgressEveryEntries = 250;

// Whether a comes before b in a one-thread walk: roots in their order, then at every level the
// entry queued last first.
bool foundEarlier(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) {
            return i == 0 ? a[i] < b[i] : a[i] > b[i];
        }
    }
    return a.size() < b.size();
}

} // namespace

ScanReporter::ScanReporter(const ScanProgressHandler &progress, const CandidateHandler &candidateFound,
                           Settings settings)
    : m_progress(progress), m_candidateFound(candidateFound), m_settings(settings), m_mutex(settings.sharedByWorkers),
      m_visited(settings.visitedDirs), m_matched(settings.matchedDirs)
{
}

void ScanReporter::visited(std::string_view path)
{
    const std::lock_guard lock(m_mutex);
    ++m_visited;
    if (m_visited % kProgressEveryFolders == 0) {
        queueRecord(OperationPhase::scanning, "Checked " + std::to_string(m_visited) + " folders", path, {}, 0, 0);
    }
}

void ScanReporter::matchStarted(const MatchMeasurement &match)
{
    const std::lock_guard lock(m_mutex);
    if (m_settings.scanRecords) {
        ++m_matched;
        queueRecord(OperationPhase::measuring, "Checking size", match.path, {}, 0, 0);
    }
    queueRecord(OperationPhase::measuring, "Checking size of " + match.folderName, match.path, {}, 0, 0);
}

void ScanReporter::measured(MatchMeasurement &match, std::string_view basePath, std::string_view folderName,
                            const std::vector<std::string_view> &names, const std::vector<int64_t> &cumulative,
                            int64_t bytes)
{
    const std::lock_guard lock(m_mutex);
    if (m_progress) {
        const int64_t first = match.entries + 1;
        const int64_t last = match.entries + static_cast<int64_t>(names.size());
        for (int64_t count = (first + kProgressEveryEntries - 1) / kProgressEveryEntries * kProgressEveryEntries;
             count <= last; count += kProgressEveryEntries) {
            const auto i = static_cast<std::size_t>(count - first);
            const std::string folderPath = folderName.empty() ? std::string(basePath) : joinPath(basePath, folderName);
            queueRecord(OperationPhase::measuring, "Checked " + std::to_string(count) + " items in " + match.folderName,
                        match.path, joinPath(folderPath, names[i]), count, match.size + cumulative[i]);
        }
    }
    match.entries += static_cast<int64_t>(names.size());
    match.size += bytes;
}

void ScanReporter::folderMeasured(MatchMeasurement &match, std::size_t subfolders)
{
    const std::lock_guard lock(m_mutex);
    match.unfinishedFolders += subfolders;
    if (--match.unfinishedFolders == 0) {
        finish(match);
    }
}

void ScanReporter::finish(MatchMeasurement &match)
{
    queueRecord(OperationPhase::measuring, "Finished checking " + match.folderName, match.path, {}, match.entries,
                match.size);
    if (!m_settings.scanRecords || match.rule == nullptr) {
        return;
    }
    const CleanupRule &rule = *match.rule;
    if (match.size >= m_settings.minimumSizeBytes) {
        std::optional<ScanOrigin> origin;
        if (match.identity) {
            origin = ScanOrigin{match.rootPath, match.rootIdentity, *match.identity};
        }
        CleanupCandidate candidate{match.path, match.path, rule.key,         rule.category,    rule.description,
                                   rule.risk,  match.size, match.modifiedAt, std::move(origin)};
        if (m_candidateFound) {
            m_queue.emplace_back(candidate);
            m_queued.store(true, std::memory_order_relaxed);
        }
        m_found.push_back({match.foundOrder, std::move(candidate)});
    }
    queueRecord(OperationPhase::scanning, "Found " + rule.key, match.path, {}, 0, match.size);
}

void ScanReporter::report(OperationPhase phase, std::string message)
{
    const std::lock_guard lock(m_mutex);
    queueRecord(phase, std::move(message), {}, {}, 0, 0);
}

void ScanReporter::queueRecord(OperationPhase phase, std::string message, std::string_view path,
                               std::string currentItem, int64_t measuredEntries, int64_t bytes)
{
    if (!m_progress) {
        return;
    }
    ScanProgress record;
    record.phase = phase;
    record.message = std::move(message);
    record.currentPath.assign(path);
    record.currentItem = std::move(currentItem);
    record.visitedDirs = m_visited;
    record.matchedDirs = m_matched;
    record.measuredEntries = measuredEntries;
    record.bytesSoFar = bytes;
    m_queue.emplace_back(std::move(record));
    m_queued.store(true, std::memory_order_relaxed);
}

void ScanReporter::deliver(const CancellationToken &token)
{
    handOver(true, &token);
}

void ScanReporter::deliverAll()
{
    handOver(false, nullptr);
}

void ScanReporter::handOver(bool watchToken, const CancellationToken *token)
{
    if (!m_queued.load(std::memory_order_relaxed)) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_delivering.swap(m_queue);
        m_queued.store(false, std::memory_order_relaxed);
    }
    for (const auto &event : m_delivering) {
        if (watchToken && token->isCancelled()) {
            m_delivering.clear();
            throw CancellationError();
        }
        if (const auto *record = std::get_if<ScanProgress>(&event)) {
            m_progress(*record);
        } else {
            m_candidateFound(std::get<CleanupCandidate>(event));
        }
    }
    m_delivering.clear();
}

std::vector<CleanupCandidate> ScanReporter::takeResults()
{
    const std::lock_guard lock(m_mutex);
    std::sort(m_found.begin(), m_found.end(), [](const Found &a, const Found &b) {
        if (a.candidate.size != b.candidate.size) {
            return a.candidate.size > b.candidate.size;
        }
        return foundEarlier(a.order, b.order);
    });
    std::vector<CleanupCandidate> results;
    results.reserve(m_found.size());
    for (auto &found : m_found) {
        results.push_back(std::move(found.candidate));
    }
    m_found.clear();
    return results;
}

} // namespace tarnwick
