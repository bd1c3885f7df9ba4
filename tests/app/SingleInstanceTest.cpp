// One running copy per preferences file: a later launch hands its folders over and the running
// one takes them; a copy that died leaves nothing in the way of the next.

#include "FixtureTree.h"
#include "app/SingleInstance.h"

#include <QLockFile>
#include <atomic>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;

class SingleInstanceTest : public ::testing::Test {
protected:
    std::unique_ptr<SingleInstance> make(const std::string &guarded = "/home/u/.config/Tarnwick/preferences.json")
    {
        return std::make_unique<SingleInstance>(tree.folder("runtime"), guarded);
    }

    // Hands the folders over from a thread of its own, as another process would, while this one
    // runs its event loop for the running copy; returns what the running copy received.
    std::vector<std::vector<std::string>> handOver(SingleInstance &running, SingleInstance &later,
                                                   const std::vector<std::string> &folders, bool &handed)
    {
        std::vector<std::vector<std::string>> received;
        const auto connection = QObject::connect(&running, &SingleInstance::launched,
                                                 [&](const std::vector<std::string> &got) { received.push_back(got); });
        std::atomic<bool> done{false};
        std::string error;
        std::thread launch([&] {
            handed = later.handOver(folders, error);
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 30000));
        launch.join();
        QObject::disconnect(connection);
        EXPECT_EQ(error, "");
        return received;
    }

    FixtureTree tree;
};

TEST_F(SingleInstanceTest, ALaterLaunchHandsItsFoldersToTheRunningOne)
{
    auto running = make();
    ASSERT_TRUE(running->claim());
    auto later = make();
    EXPECT_FALSE(later->claim()) << "the running copy holds the lock";
    EXPECT_TRUE(make("/home/other/.config/Tarnwick/preferences.json")->claim()) << "another file, another copy";

    const std::vector<std::string> folders = {"/home/u/Code", std::string("/home/u/caf\xe9"), "/home/u/new\nline"};
    bool handed = false;
    EXPECT_EQ(handOver(*running, *later, folders, handed), std::vector<std::vector<std::string>>{folders});
    EXPECT_TRUE(handed);
    EXPECT_EQ(handOver(*running, *later, {}, handed), std::vector<std::vector<std::string>>{{}}) << "no folders";
    EXPECT_TRUE(handed);

    running.reset();
    EXPECT_TRUE(later->claim()) << "the lock goes with the copy that held it";
}

// A copy killed outright leaves its lock file and its socket behind.
TEST_F(SingleInstanceTest, ACopyThatDiedLeavesNothingInTheWay)
{
    auto running = make();
    const std::string socketPath = running->socketPath();
    const std::string lockPath = socketPath.substr(0, socketPath.size() - std::string(".socket").size()) + ".lock";
    const pid_t child = ::fork();
    if (child == 0) {
        QLockFile lock(QString::fromStdString(lockPath));
        lock.setStaleLockTime(0);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        const bool held = lock.tryLock(0) && fd >= 0 &&
                          ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 &&
                          ::listen(fd, 1) == 0;
        ::_exit(held ? 0 : 1);  // neither the lock nor the socket is cleaned up
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(::access(lockPath.c_str(), F_OK), 0);
    ASSERT_EQ(::access(socketPath.c_str(), F_OK), 0);

    ASSERT_TRUE(running->claim());
    auto later = make();
    EXPECT_FALSE(later->claim());
    bool handed = false;
    EXPECT_EQ(handOver(*running, *later, {"/srv/code"}, handed),
              (std::vector<std::vector<std::string>>{{"/srv/code"}}));
    EXPECT_TRUE(handed);
}

}  // namespace
}  // namespace tarnwick
