#pragma once
// A user-interface thread for front ends without a window system: the thread that calls Run
// becomes the user-interface thread and runs queued routines in order until Quit.
#include "link/uithread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace olk {

class EventLoop : public UiThread {
public:
    void Post(std::function<void()> fn) override;

    // Runs queued routines until Quit is called (before or during the run), or until the timeout
    // passes; returns false on a timeout. The routines queued after a Quit stay queued.
    bool Run(std::chrono::milliseconds timeout = std::chrono::milliseconds::max());
    void Quit();

    // Runs what is queued now, and what that queues, without waiting for more.
    void RunPending();

private:
    bool RunOne(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool quit_ = false;
};

} // namespace olk
