#pragma once
// The line trace as text: one line for each Read or Write call of the serial port, with the time
// since the trace began, the direction, the line rate in force, the bytes moved of those asked
// for, and the bytes in hex. A read that timed out short shows what came.
//   "    0.012345 s  PC->desk    9600 baud   4/4    E5 57 A5 7F"
#include "link/linetrace.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace olk::cli {

std::string FormatLineTransfer(const LineTransfer& transfer, std::chrono::steady_clock::time_point start);

// Writes the trace to an open stream while it is installed as the observer.
class LineTraceFile final : public LineTraceObserver {
public:
    explicit LineTraceFile(std::FILE* stream);
    ~LineTraceFile() override;
    LineTraceFile(const LineTraceFile&) = delete;
    LineTraceFile& operator=(const LineTraceFile&) = delete;

    void Transferred(const LineTransfer& transfer) override;

private:
    std::FILE* stream_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace olk::cli
