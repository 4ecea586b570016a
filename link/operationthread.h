#pragma once
// A thread created suspended, started once by Resume, asked to stop by Terminate (the body polls
// Terminated), able to run a routine on the user-interface thread and wait for it, and whose
// destruction waits for a running body.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace olk {

class UiThread;

class OperationThread {
public:
    // Stops and waits for the body before any part of the object is destroyed, so that nothing
    // the body uses is released under it. Every owner deletes operation threads through it.
    struct Deleter {
        void operator()(OperationThread* thread) const;
    };

    explicit OperationThread(UiThread& ui);
    virtual ~OperationThread();
    OperationThread(const OperationThread&) = delete;
    OperationThread& operator=(const OperationThread&) = delete;

    // Starts the body; later calls do nothing.
    void Resume();
    // Sets the termination request; any thread may call it, any number of times.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    // True once the body has returned.
    bool Finished() const { return finished_.load(); }
    // True once the object is being destroyed: nothing the body does will be shown any more, so
    // a body that waits for the desk may give up at its next chance.
    bool Abandoned() const { return abandoned_.load(); }

protected:
    // The thread body.
    virtual void Execute() = 0;

    // Runs fn on the user-interface thread and blocks until it has run. Returns false, without
    // running fn, when the thread is being destroyed and the user-interface thread will not.
    bool Synchronize(std::function<void()> fn);

    // Queues fn on the user-interface thread without waiting; it runs there in order with every
    // other queued routine, and not at all once this thread object is being destroyed.
    void Post(std::function<void()> fn);

    UiThread& Ui() const { return ui_; }

private:
    // Asks the body to stop, releases it from a pending Synchronize and waits for it to return.
    void StopAndWait();

    struct Lifetime;

    UiThread& ui_;
    std::shared_ptr<Lifetime> lifetime_;
    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> abandoned_{false};
};

template <typename T>
using OperationPtr = std::unique_ptr<T, OperationThread::Deleter>;

template <typename T, typename... Args>
OperationPtr<T> MakeOperation(Args&&... args)
{
    return OperationPtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace olk
