#include "core/PathRules.h"
#include "engine/CleanupRules.h"
#include "engine/RuleMatching.h"
#include "engine/SizeMeasurement.h"
#include "engine/Tarnwicker.h"
#include "engine/WalkExclusions.h"
#include "platform/FileTests.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick::Tarnwicker {

namespace {

constexpr int64_t kProgressEveryFolders = 50;
constexpr std::array<std::string_view, 3> kVersionControlFolders{".git", ".hg", ".svn"};

void throwIfCancelled(const CancellationToken &token)
{
    if (token.isCancelled()) {
        throw CancellationError();
    }
}

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

// One scan's walk. The pending stack holds folders not yet visited, each with the chain length at
// which its parent is the top of the chain of open folders.
class FolderScan {
public:
    FolderScan(const ScanOptions &options, const ScanProgressHandler &progress, const CandidateHandler &candidateFound,
               const CancellationToken &token)
        : m_options(options), m_progress(progress), m_candidateFound(candidateFound), m_token(token),
          m_rules(CleanupRules::selected(options.includeAggressive, options.selectedTargetKeys)),
          m_exclusions(options.roots, options.excludedPaths)
    {
    }

    std::vector<CleanupCandidate> run()
    {
        report(OperationPhase::starting, "Starting scan", {}, 0);
        for (const auto &root : m_options.roots) {
            throwIfCancelled(m_token);
            if (!isDirectory(root)) {
                continue;
            }
            walk(normalizedPath(root));
        }
        std::stable_sort(m_results.begin(), m_results.end(),
                         [](const CleanupCandidate &a, const CleanupCandidate &b) { return a.size > b.size; });
        report(OperationPhase::done, "Scan complete", {}, 0);
        return std::move(m_results);
    }

private:
    struct Pending {
        std::size_t depth;
        std::string name;
    };

    void walk(const std::string &rootPath)
    {
        throwIfCancelled(m_token);
        if (m_exclusions.excludesRoot(rootPath) || !visit(rootPath, {})) {
            return;
        }
        // The root is the one place a symbolic link is followed: the user chose it. What the scan
        // finds records the folder the root named, so a cleanup can tell if it was swapped since.
        struct stat rootStatus {};
        if (::stat(rootPath.c_str(), &rootStatus) != 0) {
            return;
        }
        m_root = rootPath;
        m_rootIdentity = FileIdentity::of(rootStatus);
        const CleanupRule *rule = firstMatchingRule(m_rules, {rootPath, AT_FDCWD, rootPath});
        if (rule != nullptr && m_options.allowRootMatches) {
            handleMatch(*rule, AT_FDCWD, rootPath, rootPath);
            return;
        }
        FileDescriptor rootFd(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK));
        struct stat opened {};
        if (!rootFd.valid() || ::fstat(rootFd.get(), &opened) != 0 || !m_rootIdentity.matches(opened)) {
            return;
        }
        m_chain.reset(std::move(rootFd), rootPath);
        m_pending.clear();
        listChildren();

        std::string path;
        while (!m_pending.empty()) {
            throwIfCancelled(m_token);
            Pending next = std::move(m_pending.back());
            m_pending.pop_back();
            m_chain.truncate(next.depth);
            if (m_exclusions.excludes(m_chain.topFd(), next.name)) {
                continue;
            }
            path = joinPath(m_chain.topPath(), next.name);
            if (!visit(path, next.name)) {
                continue;
            }
            const int parentFd = m_chain.topFd();
            if (parentFd < 0) {
                continue;
            }
            if (const CleanupRule *match = firstMatchingRule(m_rules, {path, parentFd, next.name})) {
                handleMatch(*match, parentFd, next.name, path);
                continue;
            }
            if (isPackageDirectory(path) || m_chain.push(next.name) != 0) {
                continue;
            }
            listChildren();
        }
        m_chain.clear();
    }

    // Counts a folder as visited unless it is excluded or a version-control folder below the root
    // (nameBelowRoot is empty for the root itself); false when the folder must be dropped.
    bool visit(std::string_view path, std::string_view nameBelowRoot)
    {
        if (!m_options.excludedPaths.empty() && isExcluded(path, m_options.excludedPaths)) {
            return false;
        }
        if (std::find(kVersionControlFolders.begin(), kVersionControlFolders.end(), nameBelowRoot) !=
            kVersionControlFolders.end()) {
            return false;
        }
        ++m_visited;
        if (m_visited % kProgressEveryFolders == 0) {
            report(OperationPhase::scanning, "Checked " + std::to_string(m_visited) + " folders", path, 0);
        }
        return true;
    }

    void listChildren()
    {
        const int dirFd = m_chain.topFd();
        if (dirFd < 0) {
            return;
        }
        const std::size_t childDepth = m_chain.size();
        m_lister.forEachEntry(dirFd, [&](const DirectoryEntry &entry) {
            if (isEnterableDirectory(dirFd, entry)) {
                m_pending.push_back({childDepth, std::string(entry.name)});
            }
        });
    }

    void handleMatch(const CleanupRule &rule, int parentFd, std::string_view name, const std::string &path)
    {
        ++m_matched;
        report(OperationPhase::measuring, "Checking size", path, 0);
        const auto measured = m_measurer.measure(parentFd, name, path, m_visited, m_matched, m_progress, m_token);
        if (measured.size >= m_options.minimumSizeBytes) {
            std::optional<ScanOrigin> origin;
            if (measured.identity) {
                origin = ScanOrigin{m_root, m_rootIdentity, *measured.identity};
            }
            CleanupCandidate candidate{path,
                                       path,
                                       rule.key,
                                       rule.category,
                                       rule.description,
                                       rule.risk,
                                       measured.size,
                                       measured.modifiedAt,
                                       std::move(origin)};
            if (m_candidateFound) {
                m_candidateFound(candidate);
            }
            m_results.push_back(std::move(candidate));
        }
        report(OperationPhase::scanning, "Found " + rule.key, path, measured.size);
    }

    void report(OperationPhase phase, std::string message, std::string_view path, int64_t bytes)
    {
        if (!m_progress) {
            return;
        }
        ScanProgress record;
        record.phase = phase;
        record.message = std::move(message);
        record.currentPath.assign(path);
        record.visitedDirs = m_visited;
        record.matchedDirs = m_matched;
        record.bytesSoFar = bytes;
        m_progress(record);
    }

    const ScanOptions &m_options;
    const ScanProgressHandler &m_progress;
    const CandidateHandler &m_candidateFound;
    const CancellationToken &m_token;
    const std::vector<CleanupRule> m_rules;
    const WalkExclusions m_exclusions;

    DirectoryLister m_lister;
    DirectoryChain m_chain;
    std::vector<Pending> m_pending;
    SizeMeasurer m_measurer;
    std::vector<CleanupCandidate> m_results;
    std::string m_root;
    FileIdentity m_rootIdentity;
    int64_t m_visited = 0;
    int64_t m_matched = 0;
};

} // namespace

std::vector<CleanupCandidate> scan(const ScanOptions &options, const ScanProgressHandler &progress,
                                   const CandidateHandler &candidateFound, const CancellationToken &token)
{
    return FolderScan(options, progress, candidateFound, token).run();
}

std::vector<std::string> childDirectories(const std::string &folderPath)
{
    std::vector<std::string> children;
    const std::string path = normalizedPath(folderPath);
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK));
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
