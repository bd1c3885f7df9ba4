// The one way background work reports to the main thread: order, coalesced progress, dropped
// reports of replaced runs, cancel-and-drain, and the probe that holds a run at an exact report.

#include "app/BackgroundRun.h"

#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

struct Receiver {
    std::vector<std::string> received;
    void take(std::string report) { received.push_back(std::move(report)); }
};

using ReceiverRun = BackgroundRun<Receiver>;

TEST(BackgroundRun, DeliversEveryResultInOrderAndOnlyTheLatestProgress)
{
    Receiver receiver;
    ReceiverRun run(&receiver, "test");
    // The main thread waits without running its event loop until the worker has posted
    // everything, so the drain delivers it all in one go. (A run cancelled before its worker
    // begins never runs, so the wait must come before the drain.)
    std::latch posted(1);
    run.start([&posted](const RunContext<Receiver> &context) {
        for (const char *report : {"p1", "p2", "r1", "p3", "p4", "r2", "p5"}) {
            if (report[0] == 'p') {
                context.progress(std::string(report), &Receiver::take);
            } else {
                context.post(std::string(report), &Receiver::take);
            }
        }
        posted.count_down();
    });
    posted.wait();
    run.cancelAndDrain();
    EXPECT_EQ(receiver.received, (std::vector<std::string>{"r1", "r2", "p5"}));
}

TEST(BackgroundRun, ReportsArriveThroughTheEventLoopWhileTheRunGoesOn)
{
    Receiver receiver;
    ReceiverRun run(&receiver, "test");
    RunProbe probe([](const RunEvent &event) { return event.index == 1; });
    run.start([](const RunContext<Receiver> &context) {
        context.post(std::string("first"), &Receiver::take);
        context.post(std::string("second"), &Receiver::take); // held right after this one
        context.post(std::string("third"), &Receiver::take);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.isHolding() && receiver.received.size() == 2; }, 30000));
    EXPECT_EQ(receiver.received, (std::vector<std::string>{"first", "second"}));
    probe.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.received.size() == 3; }, 30000));
    EXPECT_EQ(probe.holds(), 1);
}

TEST(BackgroundRun, AReplacedRunIsCancelledAndItsLateReportsAreDropped)
{
    Receiver receiver;
    ReceiverRun run(&receiver, "test");
    RunProbe probe([](const RunEvent &event) { return *event.get<std::string>() == "old 1"; });
    std::atomic<bool> oldSawCancel{false};
    run.start([&oldSawCancel](const RunContext<Receiver> &context) {
        context.post(std::string("old 1"), &Receiver::take);
        oldSawCancel = context.isCancelled();
        context.post(std::string("old 2"), &Receiver::take);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.isHolding(); }, 30000));
    // Replacing the run cancels the old token, which lets the held worker go on at once.
    run.start([](const RunContext<Receiver> &context) { context.post(std::string("new"), &Receiver::take); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::ranges::count(receiver.received, "new") == 1; }, 30000));
    run.cancelAndDrain();
    EXPECT_TRUE(oldSawCancel);
    // "old 1" may have been delivered before the new run began; nothing of the old run after it.
    std::erase(receiver.received, "old 1");
    EXPECT_EQ(receiver.received, std::vector<std::string>{"new"});
}

// A scan keeps every core busy; the window must still get one when it has work. A run's worker, and
// any thread it starts (the walk's), yield to the main thread, and none of them is one of Qt's
// global pool, whose helpers the window waits for while it paints.
TEST(BackgroundRun, WorkersYieldToTheWindowAndLeaveQtsPoolAlone)
{
    const int mainNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    Receiver receiver;
    ReceiverRun run(&receiver, "priority");
    std::atomic<int> workerNice{mainNice};
    std::atomic<int> startedNice{mainNice};
    std::atomic<bool> onQtsPool{true};
    run.start([&](const RunContext<Receiver> &context) {
        workerNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
        onQtsPool = QThreadPool::globalInstance()->contains(QThread::currentThread());
        std::thread([&] { startedNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }).join();
        context.post(std::string("measured"), &Receiver::take);
    });
    // Cancelled before it begins, a worker never runs; so the test waits for its report.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver.received.empty(); }, 30000));
    run.cancelAndDrain();
    EXPECT_EQ(workerNice, std::min(mainNice + 10, 19));
    EXPECT_EQ(startedNice.load(), workerNice.load());
    EXPECT_FALSE(onQtsPool);
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())), mainNice) << "the main thread keeps its own";
}

// What the main thread lets go of in bulk (a finished scan's live list) is freed on the pool.
TEST(BackgroundRun, WhatIsDestroyedInBackgroundIsFreedOffTheMainThread)
{
    struct Tracked {
        std::atomic<std::thread::id> *destroyedOn;
        explicit Tracked(std::atomic<std::thread::id> *where) : destroyedOn(where) {}
        Tracked(Tracked &&other) noexcept : destroyedOn(std::exchange(other.destroyedOn, nullptr)) {}
        Tracked &operator=(Tracked &&) = delete;
        ~Tracked()
        {
            if (destroyedOn != nullptr) {
                destroyedOn->store(std::this_thread::get_id());
            }
        }
    };
    std::atomic<std::thread::id> destroyedOn{};
    destroyInBackground(Tracked(&destroyedOn));
    ASSERT_TRUE(QTest::qWaitFor([&] { return destroyedOn.load() != std::thread::id(); }, 30000));
    EXPECT_NE(destroyedOn.load(), std::this_thread::get_id());
}

// With every thread of the pool taken, a run waits in the pool's queue. Its owner going away takes
// it off the queue rather than waiting for a thread, which could be held by work nobody cancels.
TEST(BackgroundRun, ARunStillQueuedWhenItsOwnerGoesNeverStarts)
{
    QThreadPool &pool = backgroundRunPool();
    ASSERT_TRUE(pool.waitForDone(30000));
    const int threads = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    Receiver busyReceiver;
    ReceiverRun busy(&busyReceiver, "busy");
    RunProbe probe([](const RunEvent &event) { return event.run == "busy"; });
    busy.start([](const RunContext<Receiver> &context) { context.post(std::string("holding"), &Receiver::take); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.isHolding(); }, 30000));

    std::atomic<bool> started{false};
    {
        Receiver receiver;
        ReceiverRun queued(&receiver, "queued");
        queued.start([&started](const RunContext<Receiver> &) { started = true; });
    }  // returns while the only thread is still held
    EXPECT_TRUE(probe.isHolding());
    probe.release();
    busy.cancelAndDrain();
    ASSERT_TRUE(pool.waitForDone(30000));
    EXPECT_FALSE(started);
    pool.setMaxThreadCount(threads);
}

TEST(BackgroundRun, DestroyingTheOwnerCancelsWaitsForTheWorkerAndDropsTheRest)
{
    auto receiver = std::make_unique<Receiver>();
    auto run = std::make_unique<ReceiverRun>(receiver.get(), "test");
    std::vector<bool> currentWhenPosted;
    RunProbe probe([&currentWhenPosted](const RunEvent &event) {
        currentWhenPosted.push_back(event.current);
        return event.index == 0;
    });
    std::atomic<bool> returned{false};
    std::atomic<bool> cancelled{false};
    run->start([&](const RunContext<Receiver> &context) {
        context.post(std::string("before"), &Receiver::take);
        cancelled = context.isCancelled();
        context.post(std::string("after"), &Receiver::take);
        returned = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.isHolding(); }, 30000));
    run.reset();
    EXPECT_TRUE(returned) << "the destructor waits for the worker";
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(currentWhenPosted, (std::vector<bool>{true, false})) << "the report after it is dropped";
    receiver.reset(); // a report delivered now would touch freed memory (the sanitizers watch)
    QCoreApplication::processEvents();
}

TEST(BackgroundRun, CancelAndDrainAppliesTheEndOfACancelledRun)
{
    Receiver receiver;
    ReceiverRun run(&receiver, "test");
    RunProbe probe([](const RunEvent &event) { return *event.get<std::string>() == "working on 2"; });
    run.start([](const RunContext<Receiver> &context) {
        for (int item = 1; item <= 5; ++item) {
            if (context.isCancelled()) {
                context.post("stopped after " + std::to_string(item - 1), &Receiver::take);
                return;
            }
            context.progress("working on " + std::to_string(item), &Receiver::take);
        }
        context.post(std::string("done"), &Receiver::take);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.isHolding(); }, 30000));
    run.cancelAndDrain();
    ASSERT_FALSE(receiver.received.empty());
    EXPECT_EQ(receiver.received.back(), "stopped after 2") << "the item in progress is finished, no other";
}

} // namespace
} // namespace tarnwick
