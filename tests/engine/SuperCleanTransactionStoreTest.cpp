#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "TestNames.h"
#include "engine/SuperCleanTransactionStore.h"
#include "platform/FileIO.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <sstream>

namespace tarnwick {
namespace {

using testing::FixtureTree;

std::string readFile(const std::string &path)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        readAll(fd, text);
        ::close(fd);
    }
    return text;
}

TrashTransactionRecord record(const std::string &path, const std::string &trashPath)
{
    TrashTransactionRecord record;
    record.id = "0F6C4E1A-0000-4000-8000-000000000001";
    record.originalPath = path;
    record.trashPath = trashPath;
    record.snapshot = FileSystemSnapshot::capture("/", std::chrono::system_clock::now());
    record.category = "JavaScript";
    record.size = 4096;
    record.timestamp = std::chrono::system_clock::now();
    return record;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

TEST(SuperCleanTransactionStore, AppendsCompleteCompactLinesInOrder)
{
    testing::ScopedHome home;
    const std::string journal = home.home() + "/.local/share/Tarnwick/SuperCleanTransactions.jsonl";
    EXPECT_EQ(SuperCleanTransactionStore::manifestPath(), journal);

    SuperCleanTransactionStore::append({});
    EXPECT_EQ(::access(journal.c_str(), F_OK), -1) << "nothing to record creates no file";

    SuperCleanTransactionStore::append({record("/p/a/node_modules", "/t/files/node_modules")});
    SuperCleanTransactionStore::append(
        {record("/p/b/node_modules", "/t/files/node_modules.2"), record("/p/odd-\xff", "/t/files/odd-\xff")});
    const std::string text = readFile(journal);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const auto written = lines(text);
    ASSERT_EQ(written.size(), 3u);
    std::vector<std::string> paths;
    for (const auto &line : written) {
        const auto object = nlohmann::ordered_json::parse(line);
        EXPECT_EQ(object.dump(), line) << "compact";
        EXPECT_TRUE(TrashTransactionRecord::fromJson(object).has_value()) << line;
        const std::string scanTime = object["snapshot"]["scanTime"];
        EXPECT_EQ(scanTime.size(), 20u) << "whole seconds in UTC: " << scanTime;
        paths.push_back(object["originalPath"]);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/p/a/node_modules", "/p/b/node_modules", "/p/odd-\uFFFD"}));
}

TEST(SuperCleanTransactionStore, AJournalThatCannotBeAppendedToKeepsItsRecords)
{
    FixtureTree tree;
    tree.openToEveryone();
    // The folder lets anyone create files, so only the journal's own permissions stop a writer: a
    // store that replaced an unwritable journal with a new file would succeed here and lose lines.
    const std::string folder = tree.folder("data/Tarnwick", 0777);
    ::chmod(folder.c_str(), 0777);
    const std::string journal = folder + "/SuperCleanTransactions.jsonl";
    const std::string original = "{\"id\":\"kept\"}\n";
    tree.file("data/Tarnwick/SuperCleanTransactions.jsonl");
    {
        const int fd = ::open(journal.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        ASSERT_TRUE(writeAll(fd, original));
        ::close(fd);
    }
    ::chmod(journal.c_str(), 0644);

    const std::string dataHome = tree.path("data");
    bool ran = false;
    testing::runUnprivileged(
        "append",
        [&dataHome](int) {
            ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
            SuperCleanTransactionStore::append({record("/p/node_modules", "/t/files/node_modules")});
        },
        ran);
    if (!ran) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    EXPECT_EQ(readFile(journal), original);
}

struct OddJournalCase {
    const char *label;
    // Puts the odd entry at `journal`; `outside` is a file beyond the journal's folder.
    void (*place)(const std::string &journal, const std::string &outside);
};

void PrintTo(const OddJournalCase &c, std::ostream *out)
{
    *out << c.label;
}

class JournalThatIsNotAFile : public ::testing::TestWithParam<OddJournalCase> {};

TEST_P(JournalThatIsNotAFile, IsLeftAloneAndTheCleaningGoesOn)
{
    testing::ScopedHome home;
    FixtureTree tree;
    const std::string outside = tree.file("elsewhere/notes", 10);
    const std::string journal = *SuperCleanTransactionStore::manifestPath();
    GetParam().place(journal, outside);
    struct stat placed {};
    ::lstat(journal.c_str(), &placed);

    // A FIFO opened for writing waits for a reader that never comes: in a child, so a regression
    // fails here instead of hanging the run.
    EXPECT_TRUE(testing::returnsInChild(
        [] { SuperCleanTransactionStore::append({record("/p/node_modules", "/t/files/node_modules")}); }, 20));
    struct stat after {};
    ::lstat(journal.c_str(), &after);
    EXPECT_EQ(after.st_mode & S_IFMT, placed.st_mode & S_IFMT);
    EXPECT_EQ(readFile(outside), std::string(10, 'x'));
}

INSTANTIATE_TEST_SUITE_P(
    OddEntries, JournalThatIsNotAFile,
    ::testing::Values(
        OddJournalCase{"FIFO",
                       [](const std::string &journal, const std::string &) { ::mkfifo(journal.c_str(), 0600); }},
        OddJournalCase{"link to a file elsewhere",
                       [](const std::string &journal, const std::string &outside) {
                           ::symlink(outside.c_str(), journal.c_str());
                       }}),
    testing::labelTestName<OddJournalCase>);

}  // namespace
}  // namespace tarnwick
