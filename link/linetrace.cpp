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

void ReportLineTransfer(LineTransfer::Direction direction, const uint8_t* bytes, uint32_t requested, uint32_t done,
                        uint32_t rate)
{
    if (LineTraceObserver* current = CurrentLineTraceObserver())
        current->Transferred(LineTransfer{direction, std::chrono::steady_clock::now(), rate, requested, bytes, done});
}

} // namespace olk
