#include "bench/linerecord.h"

#include "link/datablock.h"

#include <algorithm>
#include <limits>

namespace olk::bench {
namespace {

constexpr double kBitsPerByte = 10; // start bit, 8 data bits, stop bit

double MicrosecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::micro>(to - from).count();
}

bool IsAnswerWrite(const CallRecord& call)
{
    return call.direction == LineTransfer::Direction::PcToDesk && call.requested == 1;
}

bool IsAnswerRead(const CallRecord& call)
{
    return call.direction == LineTransfer::Direction::DeskToPc && call.requested == 1 && call.count == 1;
}

bool IsBlockWrite(const CallRecord& call)
{
    return call.direction == LineTransfer::Direction::PcToDesk && call.requested == kBlockSize;
}

} // namespace

LineRecord::LineRecord(std::function<void(const CallRecord&)> onCall) : onCall_(std::move(onCall))
{
    SetLineTraceObserver(this);
}

LineRecord::~LineRecord()
{
    SetLineTraceObserver(nullptr);
}

void LineRecord::Transferred(const LineTransfer& transfer)
{
    const CallRecord call{transfer.direction, transfer.time, transfer.rate, transfer.requested, transfer.count};
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }
    if (onCall_)
        onCall_(call);
}

std::vector<CallRecord> LineRecord::Calls() const
{
    std::lock_guard lock(mutex_);
    return calls_;
}

std::chrono::duration<double> LineTime(uint32_t count, uint32_t rate)
{
    return std::chrono::duration<double>(rate == 0 ? 0 : count * kBitsPerByte / rate);
}

std::chrono::duration<double> LineBound(const std::vector<CallRecord>& calls, std::chrono::milliseconds pauses)
{
    std::chrono::duration<double> bound = pauses;
    for (const CallRecord& call : calls)
        bound += LineTime(call.count, call.rate);
    return bound;
}

double LeastBytesAhead(const std::vector<CallRecord>& calls, uint32_t pieceSize)
{
    double least = 0;
    const CallRecord* first = nullptr;
    uint64_t written = 0;
    for (const CallRecord& call : calls) {
        if (call.direction != LineTransfer::Direction::PcToDesk || call.requested != pieceSize)
            continue;
        written += call.count;
        if (!first) {
            first = &call;
            least = std::numeric_limits<double>::max();
            continue;
        }
        const double taken = std::chrono::duration<double>(call.returned - first->returned).count() * call.rate /
                             kBitsPerByte;
        least = std::min(least, static_cast<double>(written) - taken);
    }
    return least == std::numeric_limits<double>::max() ? 0 : least;
}

Turnarounds TurnaroundsOf(const std::vector<CallRecord>& calls)
{
    Turnarounds found;
    for (std::size_t i = 1; i < calls.size(); ++i) {
        const CallRecord& before = calls[i - 1];
        const CallRecord& call = calls[i];
        if (IsAnswerWrite(call) && before.direction == LineTransfer::Direction::DeskToPc && before.count > 0)
            found.blockToAnswer.push_back(MicrosecondsBetween(before.returned, call.returned));
        if (IsBlockWrite(call) && IsAnswerRead(before))
            found.answerToNextBlock.push_back(MicrosecondsBetween(before.returned, call.returned));
    }
    return found;
}

} // namespace olk::bench
