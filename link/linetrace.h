#pragma once
// What a serial port reports of each Read and Write call to an observer, when one is set: the
// direction, the moment the call returned, the line rate in force, and the bytes it moved. For
// finding a bad cable or a misbehaving desk; without an observer a call costs one atomic load.
#include <chrono>
#include <cstdint>

namespace olk {

struct LineTransfer {
    enum class Direction { PcToDesk, DeskToPc };
    Direction direction;
    std::chrono::steady_clock::time_point time; // when the call returned
    uint32_t rate;                              // the rate the port was set to
    uint32_t requested;                         // the bytes the call was asked to move
    const uint8_t* bytes;                       // the bytes it moved
    uint32_t count;                             // how many: fewer than requested on a timeout
};

class LineTraceObserver {
public:
    virtual ~LineTraceObserver() = default;
    // Called on the thread that made the call, right after it returned.
    virtual void Transferred(const LineTransfer& transfer) = 0;
};

// The observer every serial port of the process reports to; null for none. The observer must
// outlive every call made while it is set.
void SetLineTraceObserver(LineTraceObserver* observer);
LineTraceObserver* CurrentLineTraceObserver();

// Tells the observer, when one is set, of a call that has just returned.
void ReportLineTransfer(LineTransfer::Direction direction, const uint8_t* bytes, uint32_t requested, uint32_t done,
                        uint32_t rate);

} // namespace olk
