#include "core/PathRules.h"
#include "engine/CleanupRules.h"
#include "engine/ListedFolder.h"
#include "engine/RuleMatching.h"
#include "engine/ScanReporter.h"
#include "engine/SizeMeasurement.h"
#include "engine/Tarnwicker.h"
#include "engine/WalkExclusions.h"
#include "engine/WalkScheduler.h"
#include "engine/WalkWorker.h"
#include "platform/FileTests.h"
#include "platform/FolderOpenFlags.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick::Tarnwicker {

namespace {

constexpr std::array<std::string_view, 3> kVersionControlFolders{".git", ".hg", ".svn"};

bool isExcluded(std::string_view path, const std::set<std::string> &excludedPaths)
{
    for (const auto &excluded : excludedPaths) {
        if (path.starts_with(excluded) && (path.size() == excluded.size() || path[excluded.size()] == '/')) {
            return true;
        }
    }
    return false;
}

// Whether a listed entry is a folder the walk may enter: a directory, never a link. The entry type
// of the listing answers without a stat on every common file system.
bool isEnterableDirectory(int dirFd, const DirectoryEntry &entry)
{
    if (entry.type == DT_DIR) {
        return true;
    }
    if (entry.type != DT_UNKNOWN) {
        return false;
    }
    struct stat status {};
    return ::fstatat(dirFd, entry.name.data(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

// One scan. Every folder still to visit is a task on some worker's stack (see WalkScheduler); a
// worker visits a folder (exclusions, count, rules) and either measures it as a match, or lists it
// and queues its sub-folders. Ordinary folders are listed by entry type alone; only a match's
// entries are stat'ed, once each.
class FolderScan {
public:
    FolderScan(const ScanOptions &options, const ScanProgressHandler &progress, const CandidateHandler &candidateFound,
               const CancellationToken &token, const WalkSettings &settings)
        : m_options(options), m_token(token), m_settings(settings),
          m_rules(CleanupRules::selected(options.includeAggressive, options.selectedTargetKeys)),
          m_exclusions(options.roots, options.excludedPaths),
          m_reporter(progress, candidateFound, {true, options.minimumSizeBytes, 0, 0, walkThreadCount(settings) > 1}),
          m_scheduler(walkThreadCount(settings), token),
          m_measurer(m_reporter, m_scheduler, settings, [this] { m_reporter.deliver(m_token); }),
          m_rootIdentities(options.roots.size())
    {
        const std::size_t window = walkDescriptorWindow(m_scheduler.workerCount());
        for (std::size_t i = 0; i < m_scheduler.workerCount(); ++i) {
            m_workers.emplace_back(window);
        }
    }

    std::vector<CleanupCandidate> run()
    {
        m_reporter.report(OperationPhase::starting, "Starting scan");
        m_reporter.deliverAll();
        // The first root on top, so the calling thread starts with it as a one-thread walk does.
        std::vector<WalkTask> roots;
        for (std::size_t i = m_options.roots.size(); i-- > 0;) {
            roots.push_back({nullptr, m_options.roots[i], static_cast<uint32_t>(i), nullptr, 0});
        }
        m_scheduler.push(0, roots);
        m_scheduler.run([this](std::size_t worker, WalkTask &task) { process(worker, task); },
                        [this] { m_reporter.deliver(m_token); });
        m_reporter.deliver(m_token);
        auto results = m_reporter.takeResults();
        m_reporter.report(OperationPhase::done, "Scan complete");
        m_reporter.deliverAll();
        return results;
    }

private:
    void process(std::size_t worker, WalkTask &task)
    {
        WalkWorker &state = m_workers[worker];
        if (task.match) {
            m_measurer.measure(worker, state, task);
        } else if (task.parent) {
            visit(worker, state, task);
        } else {
            visitRoot(worker, state, task);
        }
    }

    void visitRoot(std::size_t worker, WalkWorker &state, const WalkTask &task)
    {
        if (!isDirectory(task.name)) {
            return;
        }
        const std::string rootPath = normalizedPath(task.name);
        probe(WalkStep::Kind::visiting, rootPath, worker);
        if (m_exclusions.excludesRoot(rootPath) || !count(rootPath, {})) {
            return;
        }
        // The root is the one place a symbolic link is followed: the user chose it. What the scan
        // finds records the folder the root named, so a cleanup can tell if it was swapped since.
        struct stat rootStatus {};
        if (::stat(rootPath.c_str(), &rootStatus) != 0) {
            return;
        }
        // Each root's own slot, written before any task below it is queued.
        m_rootIdentities[task.order] = FileIdentity::of(rootStatus);
        const CleanupRule *rule = firstMatchingRule(m_rules, {rootPath, AT_FDCWD, rootPath});
        if (rule != nullptr && m_options.allowRootMatches) {
            state.chain.clear();
            startMatch(worker, state, *rule, nullptr, AT_FDCWD, rootPath, task.order, rootPath);
            return;
        }
        FileDescriptor rootFd(::open(rootPath.c_str(), kFolderOpenFlags));
        struct stat opened {};
        if (!rootFd.valid() || ::fstat(rootFd.get(), &opened) != 0 || !m_rootIdentities[task.order].matches(opened)) {
            return;
        }
        auto root = WalkFolder::root(std::move(rootFd), rootPath, task.order);
        state.chain.moveTo(root);
        ListedFolder listed(root, root->pinnedFd());
        listChildren(worker, state, listed);
    }

    void visit(std::size_t worker, WalkWorker &state, WalkTask &task)
    {
        state.chain.moveTo(task.parent);
        const int parentFd = task.parent->pinnedFd();
        if (m_exclusions.excludes(parentFd, task.name)) {
            return;
        }
        std::string &path = state.path;
        path.assign(state.chain.topPath());
        if (path.empty() || path.back() != '/') {
            path += '/';
        }
        path += task.name;
        probe(WalkStep::Kind::visiting, path, worker);
        if (!count(path, task.name) || parentFd < 0) {
            return;
        }
        if (const CleanupRule *match = firstMatchingRule(m_rules, {path, parentFd, task.name})) {
            startMatch(worker, state, *match, task.parent, parentFd, task.name, task.order, path);
            return;
        }
        if (isPackageDirectory(path)) {
            return;
        }
        FileDescriptor fd = WalkFolder::openChild(parentFd, task.name);
        if (!fd.valid()) {
            return;
        }
        ListedFolder listed(task.parent, std::move(fd), std::move(task.name), task.order);
        listChildren(worker, state, listed);
    }

    // Counts a folder as visited unless it is excluded or a version-control folder below the root
    // (nameBelowRoot is empty for the root itself); false when the folder must be dropped.
    bool count(std::string_view path, std::string_view nameBelowRoot)
    {
        if (!m_options.excludedPaths.empty() && isExcluded(path, m_options.excludedPaths)) {
            return false;
        }
        if (std::find(kVersionControlFolders.begin(), kVersionControlFolders.end(), nameBelowRoot) !=
            kVersionControlFolders.end()) {
            return false;
        }
        m_reporter.visited(path);
        return true;
    }

    void listChildren(std::size_t worker, WalkWorker &state, ListedFolder &folder)
    {
        state.queued.clear();
        const int dirFd = folder.fd();
        if (dirFd < 0) {
            return;
        }
        state.lister.forEachEntry(dirFd, [&](const DirectoryEntry &entry) {
            if (isEnterableDirectory(dirFd, entry)) {
                state.queued.push_back(
                    {folder.shared(), std::string(entry.name), static_cast<uint32_t>(state.queued.size()), nullptr, 0});
            }
        });
        m_scheduler.push(worker, state.queued);
    }

    void startMatch(std::size_t worker, WalkWorker &state, const CleanupRule &rule,
                    const std::shared_ptr<WalkFolder> &parent, int parentFd, std::string_view name, uint32_t order,
                    const std::string &path)
    {
        auto match = std::make_shared<MatchMeasurement>();
        match->path = path;
        match->folderName = lastPathComponent(path);
        match->rule = &rule;
        match->foundOrder.push_back(order);
        for (const WalkFolder *folder = parent.get(); folder != nullptr; folder = folder->parent().get()) {
            match->foundOrder.push_back(folder->order());
        }
        std::reverse(match->foundOrder.begin(), match->foundOrder.end());
        const std::size_t root = match->foundOrder.front();
        match->rootPath = normalizedPath(m_options.roots[root]);
        match->rootIdentity = m_rootIdentities[root];
        m_measurer.start(worker, state, match, parent, parentFd, name, order);
    }

    void probe(WalkStep::Kind kind, std::string_view path, std::size_t worker) const
    {
        if (m_settings.probe) {
            m_settings.probe({kind, path, worker});
        }
    }

    const ScanOptions &m_options;
    const CancellationToken &m_token;
    const WalkSettings &m_settings;
    const std::vector<CleanupRule> m_rules;
    const WalkExclusions m_exclusions;

    ScanReporter m_reporter;
    WalkScheduler m_scheduler;
    SizeMeasurer m_measurer;
    std::vector<FileIdentity> m_rootIdentities;
    std::vector<WalkWorker> m_workers;
};

} // namespace

std::vector<CleanupCandidate> scan(const ScanOptions &options, const ScanProgressHandler &progress,
                                   const CandidateHandler &candidateFound, const CancellationToken &token,
                                   const WalkSettings &settings)
{
    return FolderScan(options, progress, candidateFound, token, settings).run();
}

std::vector<std::string> childDirectories(const std::string &folderPath)
{
    std::vector<std::string> children;
    const std::string path = normalizedPath(folderPath);
    const FileDescriptor fd(::open(path.c_str(), kFolderOpenFlags));
    if (!fd.valid()) {
        return children;
    }
    DirectoryLister lister;
    lister.forEachEntry(fd.get(), [&](const DirectoryEntry &entry) {
        if (isEnterableDirectory(fd.get(), entry)) {
            children.push_back(joinPath(path, entry.name));
        }
    });
    return children;
}

} // namespace tarnwick::Tarnwicker
