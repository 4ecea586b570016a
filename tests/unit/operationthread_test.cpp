#include "link/eventloop.h"
#include "link/operationthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace olk {
namespace {

class ScriptedThread : public OperationThread {
public:
    ScriptedThread(UiThread& ui, std::function<void(ScriptedThread&)> body) : OperationThread(ui), body_(std::move(body)) {}
    using OperationThread::Post;
    using OperationThread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(ScriptedThread&)> body_;
};

TEST(OperationThread, CreatedSuspendedAndStartedOnce)
{
    EventLoop loop;
    std::atomic<int> runs{0};
    auto thread = MakeOperation<ScriptedThread>(loop, [&](ScriptedThread&) { ++runs; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(runs, 0);
    thread->Resume();
    thread->Resume();
    while (!thread->Finished())
        std::this_thread::yield();
    thread->Resume();
    EXPECT_EQ(runs, 1);
}

TEST(OperationThread, SynchronizeRunsOnTheUserInterfaceThreadAndWaits)
{
    EventLoop loop;
    const auto uiThread = std::this_thread::get_id();
    std::thread::id ranOn;
    std::vector<int> order;
    auto thread = MakeOperation<ScriptedThread>(loop, [&](ScriptedThread& self) {
        self.Post([&] { order.push_back(1); });
        EXPECT_TRUE(self.Synchronize([&] {
            ranOn = std::this_thread::get_id();
            order.push_back(2);
        }));
        order.push_back(3); // after the routine ran: Synchronize blocked until then
        self.Post([&] { loop.Quit(); });
    });
    thread->Resume();
    ASSERT_TRUE(loop.Run(std::chrono::seconds(5)));
    EXPECT_EQ(ranOn, uiThread);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(OperationThread, DestructionWaitsForTheBodyAndStopsIt)
{
    EventLoop loop;
    std::atomic<bool> sawTermination{false};
    std::atomic<bool> bodyLeft{false};
    auto thread = MakeOperation<ScriptedThread>(loop, [&](ScriptedThread& self) {
        while (!self.Terminated())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sawTermination = true;
        bodyLeft = true;
    });
    thread->Resume();
    thread.reset();
    EXPECT_TRUE(sawTermination);
    EXPECT_TRUE(bodyLeft);
}

// The user-interface thread that destroys a thread cannot also run the routine the thread waits
// for: the wait ends, the routine never runs, and nothing hangs.
TEST(OperationThread, DestructionReleasesABodyWaitingInSynchronize)
{
    EventLoop loop;
    std::atomic<bool> waiting{false};
    std::atomic<bool> ran{false};
    std::atomic<bool> returned{true};
    auto thread = MakeOperation<ScriptedThread>(loop, [&](ScriptedThread& self) {
        waiting = true;
        returned = self.Synchronize([&] { ran = true; });
    });
    thread->Resume();
    while (!waiting)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    thread.reset();
    loop.RunPending();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(returned);
}

} // namespace
} // namespace olk
