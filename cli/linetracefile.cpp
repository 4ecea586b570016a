#include "cli/linetracefile.h"

namespace olk::cli {

std::string FormatLineTransfer(const LineTransfer& transfer, std::chrono::steady_clock::time_point start)
{
    const double seconds = std::chrono::duration<double>(transfer.time - start).count();
    const char* direction = transfer.direction == LineTransfer::Direction::PcToDesk ? "PC->desk" : "desk->PC";
    char lead[96];
    std::snprintf(lead, sizeof lead, "%12.6f s  %s  %6u baud  %3u/%-3u", seconds, direction, transfer.rate,
                  transfer.count, transfer.requested);
    std::string line = lead;
    for (uint32_t i = 0; i < transfer.count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", transfer.bytes[i]);
        line += hex;
    }
    return line + "\n";
}

LineTraceFile::LineTraceFile(std::FILE* stream) : stream_(stream), start_(std::chrono::steady_clock::now())
{
    SetLineTraceObserver(this);
}

LineTraceFile::~LineTraceFile()
{
    SetLineTraceObserver(nullptr);
}

// One write a line, so that the line stays whole among the messages on a shared stream.
void LineTraceFile::Transferred(const LineTransfer& transfer)
{
    std::fputs(FormatLineTransfer(transfer, start_).c_str(), stream_);
    std::fflush(stream_);
}

} // namespace olk::cli
