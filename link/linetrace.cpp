#include "link/linetrace.h"

#include <atomic>

namespace olk {
namespace {

std::atomic<LineTraceObserver*> observer{nullptr};

} // namespace

void SetLineTraceObserver(LineTraceObserver* newObserver)
{
    observer.store(newObserver);
}

LineTraceObserver* CurrentLineTraceObserver()
{
    return observer.load(std::memory_order_acquire);
}

} // namespace olk
