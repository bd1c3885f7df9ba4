// The same fixture trees scanned with one worker and with four: the complete results must be the
// same, so a fault of the parallel path cannot hide behind the serial one. Points where a worker
// must be (two workers inside one match, a cancellation at a given folder) are reached through
// the walk's probe, never by waiting.

#include "FixtureTree.h"
#include "ScanTestSupport.h"
#include "TestEnvironment.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::everyRule;
using testing::FixtureTree;
using testing::recordScan;
using testing::threads;

constexpr unsigned kParallel = 4;

// root/d/d/.../d (depth levels) made with fd-relative calls, as no path to the bottom fits
// PATH_MAX; every `sideEvery`-th level also holds side/node_modules, so the walk must come back to
// folders whose descriptors it closed on the way down.
void buildDeepChain(const std::string &root, int depth, int sideEvery)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth; ++level) {
        if (sideEvery > 0 && level % sideEvery == 0) {
            ::mkdirat(fd, "side", 0755);
            ::mkdirat(fd, "side/node_modules", 0755);
            const int file = ::openat(fd, "side/node_modules/f", O_WRONLY | O_CREAT, 0644);
            (void)!::write(file, "12345678", 8);
            ::close(file);
        }
        ::mkdirat(fd, "d", 0755);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::mkdirat(fd, "node_modules", 0755);
    ::mkdirat(fd, "node_modules/pkg", 0755);
    ::close(fd);
}

struct TreeCase {
    const char *name;
    std::function<void(FixtureTree &, ScanOptions &)> build; // roots default to the tree's root
    std::size_t candidates;                                  // a check that the tree tests something
};

void PrintTo(const TreeCase &c, std::ostream *out)
{
    *out << c.name;
}

bool isFolderCount(const ScanProgress &p)
{
    return p.phase == OperationPhase::scanning && p.message.starts_with("Checked ");
}

// What any run must show, whatever the number of workers: counts that never go backwards, one
// record per 50 folders, and each match's records complete and in order.
void expectWellFormedProgress(const testing::ScanRecording &run)
{
    ASSERT_GE(run.progress.size(), 2u);
    EXPECT_EQ(run.progress.front().message, "Starting scan");
    EXPECT_EQ(run.progress.back().message, "Scan complete");
    std::vector<int64_t> folderCounts;
    std::map<std::string, std::vector<const ScanProgress *>> perMatch;
    for (std::size_t i = 0; i < run.progress.size(); ++i) {
        const ScanProgress &p = run.progress[i];
        if (i > 0) {
            EXPECT_GE(p.visitedDirs, run.progress[i - 1].visitedDirs) << i;
            EXPECT_GE(p.matchedDirs, run.progress[i - 1].matchedDirs) << i;
        }
        if (isFolderCount(p)) {
            folderCounts.push_back(p.visitedDirs);
            EXPECT_EQ(p.message, "Checked " + std::to_string(p.visitedDirs) + " folders");
        } else if (!p.currentPath.empty()) {
            perMatch[p.currentPath].push_back(&p);
        }
    }
    std::vector<int64_t> expectedCounts;
    for (int64_t count = 50; count <= run.progress.back().visitedDirs; count += 50) {
        expectedCounts.push_back(count);
    }
    EXPECT_EQ(folderCounts, expectedCounts);

    for (const auto &[path, records] : perMatch) {
        const auto countOf = [&records](std::string_view prefix) {
            return std::count_if(records.begin(), records.end(),
                                 [prefix](const ScanProgress *p) { return p->message.starts_with(prefix); });
        };
        if (countOf("Checking size of ") > 1) {
            // Overlapping roots measure a folder twice, maybe at the same time: whole measurements only.
            EXPECT_EQ(countOf("Finished checking "), countOf("Checking size of ")) << path;
            EXPECT_EQ(countOf("Found "), countOf("Checking size of ")) << path;
            continue;
        }
        std::size_t i = 0;
        while (i < records.size()) {
            ASSERT_EQ(records[i]->message, "Checking size") << path;
            ASSERT_LT(i + 1, records.size());
            EXPECT_TRUE(records[++i]->message.starts_with("Checking size of ")) << path;
            int64_t entries = 0;
            int64_t bytes = 0;
            while (++i < records.size() && records[i]->message.starts_with("Checked ")) {
                EXPECT_EQ(records[i]->measuredEntries, entries + 250) << path;
                EXPECT_GE(records[i]->bytesSoFar, bytes) << path;
                entries = records[i]->measuredEntries;
                bytes = records[i]->bytesSoFar;
            }
            ASSERT_LT(i + 1, records.size()) << path;
            EXPECT_TRUE(records[i]->message.starts_with("Finished checking ")) << path;
            EXPECT_LT(records[i]->measuredEntries, entries + 250) << path;
            EXPECT_GE(records[i]->bytesSoFar, bytes) << path;
            EXPECT_TRUE(records[i + 1]->message.starts_with("Found ")) << path;
            EXPECT_EQ(records[i + 1]->bytesSoFar, records[i]->bytesSoFar) << path;
            i += 2;
        }
    }
}

// Each match's final figures, for comparing runs whose records interleave differently.
std::multiset<std::string> measuredFigures(const testing::ScanRecording &run)
{
    std::multiset<std::string> figures;
    for (const auto &p : run.progress) {
        if (p.message.starts_with("Finished checking ")) {
            figures.insert(p.currentPath + " " + std::to_string(p.measuredEntries) + " " +
                           std::to_string(p.bytesSoFar));
        }
    }
    return figures;
}

// Candidates as comparable lines, in a fixed order: a folder under two overlapping roots is there
// twice, once per root.
std::vector<std::string> described(const std::vector<CleanupCandidate> &candidates)
{
    std::vector<std::string> lines;
    for (const auto &c : candidates) {
        lines.push_back(c.path + "|" + c.key + "|" + std::to_string(c.size) + "|" +
                        (c.origin ? c.origin->root : std::string("-")));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

class ParallelScan : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ParallelScan, OneWorkerAndFourGiveTheSameResults)
{
    FixtureTree tree;
    ScanOptions options = everyRule({tree.root()});
    GetParam().build(tree, options);

    const auto serial = recordScan(options, {}, {}, threads(1));
    const auto parallel = recordScan(options, {}, {}, threads(kParallel));
    ASSERT_FALSE(serial.cancelled);
    ASSERT_FALSE(parallel.cancelled);
    EXPECT_EQ(serial.result.size(), GetParam().candidates);

    EXPECT_EQ(parallel.result, serial.result); // sizes, keys, dates, origins and the order
    EXPECT_EQ(described(serial.delivered), described(serial.result));
    EXPECT_EQ(described(parallel.delivered), described(serial.result)) << "every candidate delivered once";
    EXPECT_EQ(parallel.progress.back(), serial.progress.back());
    EXPECT_EQ(measuredFigures(parallel), measuredFigures(serial));
    expectWellFormedProgress(serial);
    expectWellFormedProgress(parallel);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, ParallelScan,
    ::testing::Values(
        TreeCase{"EveryKindOfRule",
                 [](FixtureTree &fx, ScanOptions &) {
                     fx.file("web/package.json");
                     fx.file("web/node_modules/a/index.js", 3000);
                     fx.file("web/.next/cache/x", 100);
                     fx.file("web/dist/app.js", 10);
                     fx.file("web/coverage/lcov.info", 10);
                     fx.file("rust/Cargo.toml");
                     fx.file("rust/target/debug/bin", 9000);
                     fx.file("swift/Package.swift");
                     fx.folder("swift/.build/x");
                     fx.file("app/build.gradle");
                     fx.folder("app/build/out");
                     fx.folder("app/.gradle");
                     fx.file("pods/Podfile");
                     fx.folder("pods/Pods/A");
                     fx.folder("py/__pycache__");
                     fx.folder("py/.pytest_cache");
                     fx.folder("py/.mypy_cache");
                     fx.folder("py/.ruff_cache");
                     fx.folder("py/.tox");
                     fx.folder("py/.venv/lib");
                     fx.folder("home/.npm/_cacache/index");
                     fx.folder("home/.gradle/caches/x");
                     fx.folder("ios/Carthage/Build");
                     fx.folder("x/DerivedData/y");
                 },
                 19},
        TreeCase{"LinksLoopsAndSpecialFiles",
                 [](FixtureTree &fx, ScanOptions &options) {
                     fx.file("outside/node_modules/big", 50'000);
                     fx.folder("root/p/node_modules/q");
                     fx.symlink("root/p/node_modules/q/escape", fx.path("outside"));
                     fx.symlink("root/linked_modules", fx.path("outside/node_modules"));
                     fx.symlink("root/loop", ".");
                     fx.symlink("root/p/up", "..");
                     fx.symlink("root/dangling", "/nowhere");
                     fx.fifo("root/p/pipe");
                     fx.socket("root/p/node_modules/sock");
                     fx.symlink("via-link", fx.path("root"));
                     options.roots = {fx.path("via-link")};
                 },
                 1},
        TreeCase{"OddNames",
                 [](FixtureTree &fx, ScanOptions &) {
                     fx.file("with\nnewline/node_modules/f", 3000);
                     fx.file(std::string("bad-\xff\xc3(-name/node_modules/g"), 7000);
                     fx.file("percent % and spaces/__pycache__/h", 1);
                     fx.file("-leading dash/dist/x", 1);
                 },
                 4},
        TreeCase{"DeeperThanPathMax", [](FixtureTree &fx, ScanOptions &) { buildDeepChain(fx.root(), 3000, 150); }, 21},
        TreeCase{"NestedMatchesAreNotEntered",
                 [](FixtureTree &fx, ScanOptions &options) {
                     fx.file("node_modules/pkg/node_modules/inner/f", 100);
                     fx.file("node_modules/pkg/.next/cache", 100);
                     fx.file("node_modules/other/dist/x", 100);
                     fx.file("node_modules/other/__pycache__/y", 100);
                     options.roots = {fx.path("node_modules")};
                 },
                 4},
        TreeCase{"ARootThatIsAMatch",
                 [](FixtureTree &fx, ScanOptions &options) {
                     for (int i = 0; i < 40; ++i) {
                         fx.file("node_modules/p" + std::to_string(i) + "/node_modules/f", 10 * i);
                     }
                     options.roots = {fx.path("node_modules")};
                     options.allowRootMatches = true;
                 },
                 1},
        TreeCase{"ExclusionsAndVersionControl",
                 [](FixtureTree &fx, ScanOptions &options) {
                     fx.folder("a/b/node_modules");
                     fx.folder("a/b/c/node_modules");
                     fx.folder("a/bc/node_modules");
                     fx.folder("a/.git/node_modules");
                     fx.folder("a/.hg/dist");
                     fx.folder("a/kept/.svn/dist");
                     fx.folder("a/kept/dist");
                     fx.symlink("a-link", fx.path("a"));
                     options.roots = {fx.path("a-link")};
                     options.excludedPaths = {fx.path("a/b")}; // met through the link's path
                 },
                 2},
        TreeCase{"ManySmallCandidatesOfEqualSize",
                 [](FixtureTree &fx, ScanOptions &) {
                     for (int i = 0; i < 600; ++i) {
                         fx.folder("src/m" + std::to_string(i % 7) + "/pkg" + std::to_string(i) + "/__pycache__");
                     }
                 },
                 600},
        TreeCase{"OneLargeMatchAmongSmallOnes",
                 [](FixtureTree &fx, ScanOptions &) {
                     for (int i = 0; i < 3000; ++i) {
                         fx.file("big/node_modules/p" + std::to_string(i % 150) + "/s" + std::to_string(i % 3) + "/f" +
                                     std::to_string(i),
                                 i % 5 == 0 ? 5000 : 10);
                     }
                     for (int i = 0; i < 30; ++i) {
                         fx.file("small" + std::to_string(i) + "/dist/f", 100);
                     }
                 },
                 31},
        TreeCase{"SeveralRootsOverlappingMissingOrNotFolders",
                 [](FixtureTree &fx, ScanOptions &options) {
                     fx.file("one/node_modules/f", 100);
                     fx.file("one/two/.turbo/f", 100);
                     fx.file("file-root", 1);
                     options.roots = {fx.path("one/two"), fx.path("missing"), fx.path("one"), fx.path("file-root"),
                                      fx.path("one")};
                 },
                 5},
        TreeCase{"SmallMatchesCountButAreNotReported",
                 [](FixtureTree &fx, ScanOptions &options) {
                     for (int i = 0; i < 20; ++i) {
                         fx.file("p" + std::to_string(i) + "/node_modules/f", i % 2 == 0 ? 10 : 2'000'000);
                     }
                     options.minimumSizeBytes = 1'048'576;
                 },
                 10}),
    [](const ::testing::TestParamInfo<TreeCase> &treeCase) { return std::string(treeCase.param.name); });

TEST(ParallelScan, UnreadableFoldersGiveTheSameResults)
{
    FixtureTree tree;
    tree.openToEveryone();
    tree.folder("r/locked/node_modules");
    tree.file("r/open/node_modules/f", 100);
    tree.file("r/open/node_modules/sealed/hidden", 1'000'000);
    tree.file("r/halfopen/node_modules/f", 100);
    for (int i = 0; i < 50; ++i) {
        tree.folder("r/many/m" + std::to_string(i) + "/dist");
    }
    tree.chmod("r/locked", 0000);
    tree.chmod("r/open/node_modules/sealed", 0000);
    tree.chmod("r/halfopen", 0311); // enterable but not listable
    const std::string root = tree.path("r");
    bool ran = false;
    const std::string output = testing::runUnprivileged(
        "scan",
        [&root](int fd) {
            const auto serial = recordScan(everyRule({root}), {}, {}, threads(1));
            const auto parallel = recordScan(everyRule({root}), {}, {}, threads(kParallel));
            const std::string text =
                std::to_string(serial.result.size()) + " " + (parallel.result == serial.result ? "same" : "different") +
                " " + std::to_string(parallel.progress.back().visitedDirs - serial.progress.back().visitedDirs);
            (void)!::write(fd, text.data(), text.size());
        },
        ran);
    if (!ran) {
        GTEST_SKIP() << "cannot drop privileges here; run the suite as root to test unreadable folders";
    }
    EXPECT_EQ(output, "51 same 0");
}

// Holds the first worker that lists a folder inside `match` until another worker lists one too:
// the measurement of one match is then provably shared.
class SharedMatchProbe {
public:
    explicit SharedMatchProbe(std::string match) : m_match(std::move(match) + "/") {}

    void operator()(const WalkStep &step)
    {
        if (step.kind != WalkStep::Kind::measured || !std::string(step.path).starts_with(m_match)) {
            return;
        }
        std::unique_lock lock(m_mutex);
        if (!m_holder) {
            m_holder = step.worker;
            // Bounded only so that a broken walk fails instead of hanging the suite.
            m_shared.wait_for(lock, std::chrono::minutes(1), [this] { return !m_helpers.empty(); });
        } else if (step.worker != *m_holder) {
            m_helpers.insert(step.worker);
            m_shared.notify_all();
        }
    }

    std::size_t helpers()
    {
        const std::lock_guard lock(m_mutex);
        return m_helpers.size();
    }

private:
    const std::string m_match;
    std::mutex m_mutex;
    std::condition_variable m_shared;
    std::optional<std::size_t> m_holder;
    std::set<std::size_t> m_helpers;
};

TEST(ParallelScan, ALargeMatchIsMeasuredBySeveralWorkers)
{
    FixtureTree tree;
    for (int i = 0; i < 400; ++i) {
        tree.file("big/node_modules/p" + std::to_string(i % 40) + "/f" + std::to_string(i), 700);
    }
    const std::string match = tree.path("big/node_modules");
    SharedMatchProbe probe(match);
    WalkSettings settings = threads(kParallel);
    settings.probe = std::ref(probe);
    const auto parallel = recordScan(everyRule({tree.root()}), {}, {}, settings);
    EXPECT_GE(probe.helpers(), 1u);
    ASSERT_EQ(parallel.result.size(), 1u);
    EXPECT_EQ(parallel.result[0].size, testing::referenceSize(match));

    // The standalone measurement shares its folder the same way.
    SharedMatchProbe measureProbe(match);
    settings.probe = std::ref(measureProbe);
    CancellationToken token;
    EXPECT_EQ(Tarnwicker::measurePath(match, 0, 0, {}, token, settings), testing::referenceSize(match));
    EXPECT_GE(measureProbe.helpers(), 1u);
}

struct CancelPoint {
    const char *name;
    WalkStep::Kind kind;
    const char *folder; // relative to the tree
};

void PrintTo(const CancelPoint &c, std::ostream *out)
{
    *out << c.name;
}

class CancelledScan : public ::testing::TestWithParam<std::tuple<CancelPoint, unsigned>> {};

// Cancelled at an exact step of one worker: the match being walked there is never reported, nor
// is anything after the end of the walk, and what was delivered before stays a subset of a full
// scan's results.
TEST_P(CancelledScan, StopsWithoutReportingTheMatchInProgress)
{
    const auto &[point, workers] = GetParam();
    FixtureTree tree;
    tree.file("a/node_modules/f", 10);
    for (int i = 0; i < 2000; ++i) {
        tree.file("b/node_modules/p" + std::to_string(i % 50) + "/f" + std::to_string(i));
    }
    for (int i = 0; i < 200; ++i) {
        tree.folder("c/d" + std::to_string(i) + "/__pycache__");
    }
    const ScanOptions options = everyRule({tree.path("a"), tree.path("b"), tree.path("c")});
    const auto full = recordScan(options, {}, {}, threads(workers));

    CancellationToken token;
    const std::string target = tree.path(point.folder);
    WalkSettings settings = threads(workers);
    settings.probe = [&](const WalkStep &step) {
        if (step.kind == point.kind && step.path == target) {
            token.cancel();
        }
    };
    const auto cancelled = recordScan(options, token, {}, settings);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_NE(cancelled.progress.back().message, "Scan complete");
    const std::string bigMatch = tree.path("b/node_modules");
    for (const auto &candidate : cancelled.delivered) {
        EXPECT_NE(candidate.path, bigMatch);
        EXPECT_NE(std::find(full.result.begin(), full.result.end(), candidate), full.result.end()) << candidate.path;
    }
    for (const auto &p : cancelled.progress) {
        EXPECT_FALSE(p.message == "Found node_modules" && p.currentPath == bigMatch);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Points, CancelledScan,
    ::testing::Combine(::testing::Values(CancelPoint{"InsideALargeMatch", WalkStep::Kind::measured,
                                                     "b/node_modules/p17"},
                                         CancelPoint{"AtTheLargeMatch", WalkStep::Kind::visiting, "b/node_modules"}),
                       ::testing::Values(1u, kParallel)),
    [](const ::testing::TestParamInfo<std::tuple<CancelPoint, unsigned>> &point) {
        return std::string(std::get<0>(point.param).name) + "With" + std::to_string(std::get<1>(point.param));
    });

// Cancelled from the progress handler, which runs on the calling thread: nothing at all is
// delivered after it, whichever worker made the next records.
TEST(ParallelScan, NothingIsDeliveredAfterTheHandlerCancels)
{
    FixtureTree tree;
    tree.file("a/node_modules/f", 10);
    for (int i = 0; i < 3000; ++i) {
        tree.file("b/node_modules/p" + std::to_string(i % 60) + "/f" + std::to_string(i));
    }
    for (const unsigned workers : {1u, kParallel}) {
        CancellationToken token;
        std::size_t recordsAfterCancel = 0;
        std::size_t candidatesAfterCancel = 0;
        testing::ScanRecording recording;
        try {
            recording.result = Tarnwicker::scan(
                everyRule({tree.path("a"), tree.path("b")}),
                [&](const ScanProgress &p) {
                    recordsAfterCancel += token.isCancelled() ? 1 : 0;
                    if (p.message == "Checked 500 items in node_modules") {
                        token.cancel();
                    }
                },
                [&](const CleanupCandidate &c) {
                    candidatesAfterCancel += token.isCancelled() ? 1 : 0;
                    recording.delivered.push_back(c);
                },
                token, threads(workers));
        } catch (const CancellationError &) {
            recording.cancelled = true;
        }
        EXPECT_TRUE(recording.cancelled) << workers;
        EXPECT_EQ(recordsAfterCancel, 0u) << workers;
        EXPECT_EQ(candidatesAfterCancel, 0u) << workers;
        for (const auto &candidate : recording.delivered) { // the large match was never finished
            EXPECT_EQ(candidate.path, tree.path("a/node_modules")) << workers;
        }
        if (workers == 1) { // one worker finds the first root's match before the second root
            EXPECT_EQ(recording.delivered.size(), 1u);
        }
    }
}

} // namespace
} // namespace tarnwick
