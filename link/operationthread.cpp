#include "link/operationthread.h"

#include "link/uithread.h"

namespace olk {

// Shared with every routine queued on the user-interface thread, so that a routine still queued
// when the thread object goes away finds out and does nothing.
struct OperationThread::Lifetime {
    std::mutex mutex;
    std::condition_variable changed;
    bool abandoned = false;
    unsigned completedCalls = 0;
};

OperationThread::OperationThread(UiThread& ui) : ui_(ui), lifetime_(std::make_shared<Lifetime>()) {}

void OperationThread::Deleter::operator()(OperationThread* thread) const
{
    thread->StopAndWait();
    delete thread;
}

OperationThread::~OperationThread()
{
    StopAndWait();
}

void OperationThread::Resume()
{
    if (thread_.joinable() || finished_)
        return;
    thread_ = std::thread([this] {
        Execute();
        finished_ = true;
    });
}

void OperationThread::Terminate()
{
    terminated_ = true;
}

bool OperationThread::Synchronize(std::function<void()> fn)
{
    auto lifetime = lifetime_;
    std::unique_lock lock(lifetime->mutex);
    if (lifetime->abandoned)
        return false;
    const unsigned ticket = lifetime->completedCalls + 1;
    lock.unlock();
    ui_.Post([lifetime, fn = std::move(fn)] {
        {
            std::lock_guard guard(lifetime->mutex);
            if (lifetime->abandoned)
                return;
        }
        fn();
        std::lock_guard guard(lifetime->mutex);
        ++lifetime->completedCalls;
        lifetime->changed.notify_all();
    });
    lock.lock();
    lifetime->changed.wait(lock, [&] { return lifetime->abandoned || lifetime->completedCalls >= ticket; });
    return lifetime->completedCalls >= ticket;
}

void OperationThread::Post(std::function<void()> fn)
{
    ui_.Post([lifetime = lifetime_, fn = std::move(fn)] {
        {
            std::lock_guard guard(lifetime->mutex);
            if (lifetime->abandoned)
                return;
        }
        fn();
    });
}

void OperationThread::StopAndWait()
{
    abandoned_ = true;
    Terminate();
    {
        std::lock_guard guard(lifetime_->mutex);
        lifetime_->abandoned = true;
        lifetime_->changed.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
}

} // namespace olk
