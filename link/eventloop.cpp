#include "link/eventloop.h"

namespace olk {

void EventLoop::Post(std::function<void()> fn)
{
    std::lock_guard guard(mutex_);
    queue_.push_back(std::move(fn));
    changed_.notify_all();
}

bool EventLoop::RunOne(std::unique_lock<std::mutex>& lock)
{
    if (queue_.empty())
        return false;
    auto fn = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    fn();
    lock.lock();
    return true;
}

bool EventLoop::Run(std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const bool forever = timeout == std::chrono::milliseconds::max();
    const auto deadline = forever ? Clock::time_point::max() : Clock::now() + timeout;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (RunOne(lock))
            continue;
        if (forever)
            changed_.wait(lock, [&] { return quit_ || !queue_.empty(); });
        else if (!changed_.wait_until(lock, deadline, [&] { return quit_ || !queue_.empty(); }))
            return false;
    }
    quit_ = false; // a Quit ends one Run
    return true;
}

void EventLoop::Quit()
{
    std::lock_guard guard(mutex_);
    quit_ = true;
    changed_.notify_all();
}

void EventLoop::RunPending()
{
    std::unique_lock lock(mutex_);
    while (RunOne(lock)) {
    }
}

} // namespace olk
