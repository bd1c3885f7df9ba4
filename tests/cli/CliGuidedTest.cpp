// Unattended guided cleaning, putting things back, and folders in use, through the real command.

#include "ChildProcess.h"
#include "CliTestSupport.h"
#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "platform/UserFolders.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

namespace tarnwick {
namespace {

using testing::cli;
using testing::exists;
using testing::runCommand;
using testing::ScopedHome;
using testing::shellQuote;

// Everything below a folder, with each file's content: equal prints mean byte-identical trees.
std::string contents(const std::string &folder)
{
    return runCommand("cd " + shellQuote(folder) +
                      " && find . -printf '%p %y %s %m\\n' | LC_ALL=C sort && find . -type f -exec md5sum {} + | "
                      "LC_ALL=C sort");
}

std::vector<std::string> journalLines()
{
    std::ifstream journal(dataHomeFolder() + "/Tarnwick/SuperCleanTransactions.jsonl");
    std::vector<std::string> lines;
    for (std::string line; std::getline(journal, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A home with one folder of each tier under ~/work: an inactive project's node_modules beside its
// package.json (Recommended), an active one (Review), and a virtual environment (Advanced).
struct TieredHome {
    ScopedHome home;
    std::string work;

    TieredHome()
    {
        work = home.home() + "/work";
        std::filesystem::create_directories(work);
        for (const char *project : {"old", "older"}) {
            const std::string p = work + "/" + project;
            std::filesystem::create_directories(p + "/node_modules/lib");
            std::ofstream(p + "/package.json") << "{}";
            std::ofstream(p + "/node_modules/lib/index.js") << std::string(project == std::string("old") ? 5000 : 9000, 'x');
        }
        std::filesystem::create_directories(work + "/active/node_modules/dep");
        std::ofstream(work + "/active/package.json") << "{}";
        std::filesystem::create_directories(work + "/tool/.venv/lib");
        std::ofstream(work + "/tool/.venv/lib/site.py") << "x";
        for (const char *folder : {"old/node_modules", "older/node_modules", "tool/.venv"}) {
            runCommand("touch -d '60 days ago' " + shellQuote(work + "/" + folder));
        }
    }
    std::string path(const std::string &relative) const { return work + "/" + relative; }
};

TEST(GuidedClean, CleansOnlyTheRecommendedItemsAndJournalsEachMove)
{
    TieredHome fixture;
    const std::string oldBefore = contents(fixture.path("old/node_modules"));

    const auto dry = cli({"clean", "--guided", "--dry-run", "-q", fixture.work});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("Dry run: nothing was cleaned."), std::string::npos) << dry.out;
    EXPECT_TRUE(exists(fixture.path("old/node_modules")));

    const auto run = cli({"clean", "--guided", "--yes", "--json", "-q", fixture.work});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto result = nlohmann::json::parse(run.out);
    std::vector<std::string> deleted;
    for (const auto &candidate : result["deleted"]) {
        deleted.push_back(candidate["path"]);
    }
    EXPECT_EQ(deleted, (std::vector<std::string>{fixture.path("older/node_modules"), fixture.path("old/node_modules")}))
        << "the recommended items, largest first";
    EXPECT_TRUE(exists(fixture.path("active/node_modules")));
    EXPECT_TRUE(exists(fixture.path("tool/.venv")));
    EXPECT_EQ(result["leftAlone"].size(), 2u);
    EXPECT_TRUE(result["availableBefore"].is_number() && result["availableAfter"].is_number());
    EXPECT_GT(result["inTrashOnHomeVolume"].get<int64_t>(), 0);
    EXPECT_EQ(journalLines().size(), 2u) << "one journal record per move";

    // Putting the last cleanup back restores both trees exactly and empties them out of the Trash.
    const auto restore = cli({"restore", "--last"});
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(contents(fixture.path("old/node_modules")), oldBefore);
    EXPECT_EQ(runCommand("trash-list 2>/dev/null"), "");
    EXPECT_EQ(runCommand("ls -A " + shellQuote(dataHomeFolder() + "/Trash/info")), "");

    // A second time there is nothing to put back: each was already put back.
    const auto again = cli({"restore", "--last"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("It was already put back"), std::string::npos) << again.err;
}

// Between the analysis and the move the folder is replaced by another of the same name and date:
// the snapshot's identity check leaves it alone.
TEST(GuidedClean, SkipsAnItemReplacedAfterTheAnalysis)
{
    TieredHome fixture;
    const std::string target = fixture.path("older/node_modules");
    const auto run = testing::runOnTerminal({"clean", "--guided", "-q", fixture.work}, "y\n", [&] {
        std::filesystem::rename(target, target + ".aside");
        std::filesystem::create_directories(target + "/lib");
        std::ofstream(target + "/lib/index.js") << std::string(9000, 'x');
        runCommand("touch -r " + shellQuote(target + ".aside") + " " + shellQuote(target));
    });
    EXPECT_EQ(run.status, 0) << run.screen;
    EXPECT_NE(run.screen.find("skipped " + target + ": changed since scan"), std::string::npos) << run.screen;
    EXPECT_TRUE(exists(target + "/lib/index.js"));
    EXPECT_FALSE(exists(fixture.path("old/node_modules")));
    EXPECT_EQ(journalLines().size(), 1u);
}

// Putting back never overwrites and never takes something that is not the moved entry.
struct RefusalCase {
    const char *name;
    void (*change)(const std::string &original, const std::string &trashed);
    const char *reason;
};

std::ostream &operator<<(std::ostream &out, const RefusalCase &c)
{
    return out << c.name;
}

class RestoreRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RestoreRefusal, LeavesEverythingAsItIs)
{
    TieredHome fixture;
    const auto run = cli({"clean", "--guided", "--yes", "--json", "-q", fixture.path("old")});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto result = nlohmann::json::parse(run.out);
    ASSERT_EQ(result["trashRecords"].size(), 1u);
    const std::string id = result["trashRecords"][0]["id"];
    const std::string trashed = result["trashRecords"][0]["trashPath"];
    const std::string original = fixture.path("old/node_modules");
    GetParam().change(original, trashed);
    const std::string before = contents(fixture.home.home());

    const auto restore = cli({"restore", id});

    EXPECT_EQ(restore.status, 1);
    EXPECT_NE(restore.err.find(GetParam().reason), std::string::npos) << restore.err;
    EXPECT_EQ(contents(fixture.home.home()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreRefusal,
    ::testing::Values(
        RefusalCase{"OriginalPathOccupied",
                    [](const std::string &original, const std::string &) {
                        std::filesystem::create_directories(original + "/new");
                    },
                    "nothing was overwritten"},
        RefusalCase{"TrashEntryReplaced",
                    [](const std::string &, const std::string &trashed) {
                        std::filesystem::rename(trashed, trashed + ".x");
                        std::filesystem::create_directories(trashed);
                    },
                    "no longer the one that was moved there"},
        RefusalCase{"EmptiedFromTheTrash",
                    [](const std::string &, const std::string &trashed) { std::filesystem::remove_all(trashed); },
                    "It is no longer in the Trash"}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

// A process that stands in a folder, holds a file of it open, or maps a file from it, uses it.
enum class Use { workingFolder, openFile, mappedFile };

// Forks a process that takes up `use` of `folder`, and returns once it has.
pid_t startUsing(const std::string &folder, Use use)
{
    int ready[2];
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        const std::string file = folder + "/lib/index.js";
        int fd = -1;
        switch (use) {
        case Use::workingFolder:
            (void)!::chdir((folder + "/lib").c_str());
            break;
        case Use::openFile:
            fd = ::open(file.c_str(), O_RDONLY);
            break;
        case Use::mappedFile:
            fd = ::open(file.c_str(), O_RDONLY);
            (void)::mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE, fd, 0);
            ::close(fd);
            break;
        }
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    return child;
}

class FolderInUse : public ::testing::TestWithParam<Use> {};

TEST_P(FolderInUse, IsShownAndNeverCleanedUnattended)
{
    TieredHome fixture;
    const std::string folder = fixture.path("older/node_modules");
    const pid_t user = startUsing(folder, GetParam());
    ASSERT_GT(user, 0);
    const std::string inUse = "In use by ";
    const std::string pid = "(pid " + std::to_string(user) + ")";

    const auto analysis = cli({"analyze", "--json", "-q", fixture.work});
    const auto run = cli({"clean", "--guided", "--yes", "-q", fixture.work});
    ::kill(user, SIGKILL);
    ::waitpid(user, nullptr, 0);

    ASSERT_EQ(analysis.status, 0) << analysis.err;
    bool shown = false;
    for (const auto &item : nlohmann::json::parse(analysis.out)) {
        if (item["path"] == folder) {
            shown = true;
            EXPECT_EQ(item["tier"], "review");
            EXPECT_EQ(item["reasons"][0]["title"], "Related tool is running");
            ASSERT_EQ(item["notes"].size(), 1u);
            EXPECT_TRUE(item["notes"][0].get<std::string>().starts_with(inUse)) << item["notes"];
            EXPECT_NE(item["notes"][0].get<std::string>().find(pid), std::string::npos) << item["notes"];
        }
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(exists(folder + "/lib/index.js"));
    EXPECT_FALSE(exists(fixture.path("old/node_modules"))) << "the folder nobody uses is cleaned";
}

INSTANTIATE_TEST_SUITE_P(Uses, FolderInUse, ::testing::Values(Use::workingFolder, Use::openFile, Use::mappedFile),
                         [](const auto &testInfo) {
                             switch (testInfo.param) {
                             case Use::workingFolder:
                                 return std::string("WorkingFolder");
                             case Use::openFile:
                                 return std::string("OpenFile");
                             case Use::mappedFile:
                                 return std::string("MappedFile");
                             }
                             return std::string();
                         });

// With no folder named, the folders the application keeps are cleaned, so a timer can run it.
TEST(GuidedClean, DefaultsToTheApplicationsFolders)
{
    TieredHome fixture;
    std::filesystem::create_directories(configHomeFolder() + "/Tarnwick");
    std::ofstream(configHomeFolder() + "/Tarnwick/preferences.json")
        << nlohmann::json{{"roots", {fixture.path("old")}}}.dump();
    const auto run = cli({"clean", "--guided", "--yes", "-q"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(exists(fixture.path("old/node_modules")));
    EXPECT_TRUE(exists(fixture.path("older/node_modules")));

    std::filesystem::remove(configHomeFolder() + "/Tarnwick/preferences.json");
    EXPECT_EQ(cli({"clean", "--guided", "--yes", "-q"}).status, 2);
    EXPECT_EQ(cli({"clean", "--yes", "-q"}).status, 2) << "the classic clean always needs its folders";
}

}  // namespace
}  // namespace tarnwick
