#include "engine/SizeMeasurement.h"

#include "core/PathRules.h"
#include "engine/ListedFolder.h"
#include "engine/Tarnwicker.h"
#include "platform/FolderOpenFlags.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <utility>

namespace tarnwick {

namespace {

void throwIfStopping(const WalkScheduler &scheduler)
{
    if (scheduler.stopping()) {
        throw CancellationError();
    }
}

} // namespace

std::optional<Timestamp> modificationTime(const struct stat &status)
{
    using namespace std::chrono;
    const auto sinceEpoch = seconds(status.st_mtim.tv_sec) + nanoseconds(status.st_mtim.tv_nsec);
    return Timestamp(duration_cast<system_clock::duration>(sinceEpoch));
}

SizeMeasurer::SizeMeasurer(ScanReporter &reporter, WalkScheduler &scheduler, const WalkSettings &settings,
                           std::function<void()> callerTurn)
    : m_reporter(reporter), m_scheduler(scheduler), m_settings(settings), m_callerTurn(std::move(callerTurn))
{
}

void SizeMeasurer::start(std::size_t worker, WalkWorker &state, const std::shared_ptr<MatchMeasurement> &match,
                         const std::shared_ptr<WalkFolder> &parent, int parentFd, std::string_view name, uint32_t order)
{
    m_reporter.matchStarted(*match);
    throwIfStopping(m_scheduler);

    std::string terminated(name);
    struct stat status {};
    if (::fstatat(parentFd, terminated.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        m_reporter.folderMeasured(*match, 0);
        return;
    }
    // Set before the match's first task is queued, which is what makes them visible to other workers.
    match->modifiedAt = modificationTime(status);
    match->identity = FileIdentity::of(status);
    const int64_t ownSize = entrySize(status);
    if (!S_ISDIR(status.st_mode)) { // a link or a file: only its own entry
        countOnly(state, *match, ownSize);
        return;
    }
    if (parent) {
        FileDescriptor fd = WalkFolder::openChild(parentFd, terminated);
        if (!fd.valid()) {
            countOnly(state, *match, ownSize);
            return;
        }
        ListedFolder listed(parent, std::move(fd), std::move(terminated), order);
        list(worker, state, match, listed, match->path, false, ownSize);
        return;
    }
    FileDescriptor fd(
        ::openat(AT_FDCWD, terminated.c_str(), kChildFolderOpenFlags));
    if (!fd.valid()) {
        countOnly(state, *match, ownSize);
        return;
    }
    auto root = WalkFolder::root(std::move(fd), name, order);
    state.chain.moveTo(root);
    ListedFolder listed(root, root->pinnedFd());
    list(worker, state, match, listed, match->path, false, ownSize);
}

void SizeMeasurer::measure(std::size_t worker, WalkWorker &state, WalkTask &task)
{
    state.chain.moveTo(task.parent);
    const int parentFd = task.parent->pinnedFd();
    FileDescriptor fd = parentFd >= 0 ? WalkFolder::openChild(parentFd, task.name) : FileDescriptor();
    if (!fd.valid()) { // counts as an empty listing
        countOnly(state, *task.match, task.ownSize);
        return;
    }
    ListedFolder listed(task.parent, std::move(fd), std::move(task.name), task.order);
    // The chain ends at the parent: the folder's path is only put together for a record.
    list(worker, state, task.match, listed, state.chain.topPath(), true, task.ownSize);
}

void SizeMeasurer::countOnly(WalkWorker &state, MatchMeasurement &match, int64_t bytes)
{
    state.names.clear();
    state.cumulative.clear();
    m_reporter.measured(match, {}, {}, state.names, state.cumulative, bytes);
    m_reporter.folderMeasured(match, 0);
}

void SizeMeasurer::list(std::size_t worker, WalkWorker &state, const std::shared_ptr<MatchMeasurement> &match,
                        ListedFolder &folder, std::string_view basePath, bool belowBase, int64_t ownSize)
{
    state.queued.clear();
    state.names.clear();
    state.cumulative.clear();
    int64_t bytes = ownSize;
    bool published = false;
    const auto publish = [&] {
        m_reporter.measured(*match, basePath, belowBase ? folder.name() : std::string_view(), state.names,
                            state.cumulative, bytes);
        bytes = 0;
        state.names.clear();
        state.cumulative.clear();
        published = true;
        if (worker == 0) {
            m_callerTurn(); // a huge folder must not hold back the reports of the others
        }
    };
    const int fd = folder.fd();
    state.lister.forEachEntry(
        fd,
        [&](const DirectoryEntry &entry) {
            throwIfStopping(m_scheduler);
            struct stat status {};
            if (::fstatat(fd, entry.name.data(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
                if (S_ISDIR(status.st_mode)) {
                    state.queued.push_back({folder.shared(), std::string(entry.name),
                                            static_cast<uint32_t>(state.queued.size()), match, entrySize(status)});
                } else {
                    bytes += entrySize(status);
                }
            }
            state.names.push_back(entry.name);
            state.cumulative.push_back(bytes);
        },
        publish);
    if (!published) { // nothing could be read: the folder's own entry still counts
        publish();
    }
    if (m_settings.probe) {
        const std::string path = belowBase ? joinPath(basePath, folder.name()) : std::string(basePath);
        m_settings.probe({WalkStep::Kind::measured, path, worker});
    }
    m_reporter.folderMeasured(*match, state.queued.size());
    m_scheduler.push(worker, state.queued);
}

namespace Tarnwicker {

int64_t measurePath(const std::string &folderPath, int64_t visitedDirs, int64_t matchedDirs,
                    const ScanProgressHandler &progress, const CancellationToken &token, const WalkSettings &settings)
{
    const ScanReporter::CandidateHandler noCandidates;
    const std::size_t threads = walkThreadCount(settings);
    ScanReporter reporter(progress, noCandidates, {false, 0, visitedDirs, matchedDirs, threads > 1});
    WalkScheduler scheduler(threads, token);
    const auto callerTurn = [&] { reporter.deliver(token); };
    SizeMeasurer measurer(reporter, scheduler, settings, callerTurn);
    std::vector<WalkWorker> workers;
    workers.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) {
        workers.emplace_back(walkDescriptorWindow(threads));
    }

    const std::string path = normalizedPath(folderPath);
    auto match = std::make_shared<MatchMeasurement>();
    match->path = path;
    match->folderName = lastPathComponent(path);
    measurer.start(0, workers[0], match, nullptr, AT_FDCWD, path, 0);
    scheduler.run([&](std::size_t worker, WalkTask &task) { measurer.measure(worker, workers[worker], task); },
                  callerTurn);
    reporter.deliver(token);
    return match->size;
}

int64_t fileSystemSize(const std::string &path)
{
    struct stat status {};
    if (path.empty() || ::lstat(path.c_str(), &status) != 0) {
        return 0;
    }
    return entrySize(status);
}

std::optional<Timestamp> modifiedDate(const std::string &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return modificationTime(status);
}

} // namespace Tarnwicker

} // namespace tarnwick
