#pragma once
// Every Read and Write call of the serial ports, as the line trace reports them, kept for the
// figures: the line bound of an exchange and the program's turnaround between blocks.
#include "link/linetrace.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace olk::bench {

using Clock = std::chrono::steady_clock;

struct CallRecord {
    LineTransfer::Direction direction;
    Clock::time_point returned;
    uint32_t rate;
    uint32_t requested;
    uint32_t count;
};

// Observes every port of the process from construction to destruction; onCall, when given,
// sees each call as it is recorded, on the thread that made it.
class LineRecord : public LineTraceObserver {
public:
    explicit LineRecord(std::function<void(const CallRecord&)> onCall = {});
    ~LineRecord() override;
    LineRecord(const LineRecord&) = delete;
    LineRecord& operator=(const LineRecord&) = delete;

    void Transferred(const LineTransfer& transfer) override;
    std::vector<CallRecord> Calls() const;

private:
    std::function<void(const CallRecord&)> onCall_;
    mutable std::mutex mutex_;
    std::vector<CallRecord> calls_;
};

// The time the line itself needs for the bytes the calls moved: 10 bits a byte at the rate each
// moved at, plus the given pauses.
std::chrono::duration<double> LineBound(const std::vector<CallRecord>& calls, std::chrono::milliseconds pauses);

// How long the program takes to answer, in microseconds, one figure per block.
struct Turnarounds {
    // From the read that completed a received block to the write of its answer byte.
    std::vector<double> blockToAnswer;
    // From the read of an answer byte to the write that carried the next block's first bytes.
    std::vector<double> answerToNextBlock;
};
Turnarounds TurnaroundsOf(const std::vector<CallRecord>& calls);

// The fewest bytes the program had handed to the driver ahead of the line while it wrote pieces
// of pieceSize: from the first piece on, the line takes rate ÷ 10 bytes a second, and what was
// written by then less what the line took is what stood queued. Negative: the line ran dry;
// 0 with fewer than two pieces.
double LeastBytesAhead(const std::vector<CallRecord>& calls, uint32_t pieceSize);

// The line time of count bytes at rate.
std::chrono::duration<double> LineTime(uint32_t count, uint32_t rate);

} // namespace olk::bench
