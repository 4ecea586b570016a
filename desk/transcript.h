#pragma once
// The record of every run of bytes that crossed the simulated line, in both directions, with the
// moment and the two line speeds. The worker thread records; any thread reads.
#include "desk/desksimulator.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace olk::desk {

class Transcript {
public:
    Transcript();

    void Record(TranscriptEntry::Direction direction, uint32_t pcRate, uint32_t deskRate, bool garbled,
                std::span<const uint8_t> bytes);

    std::vector<TranscriptEntry> Entries() const;
    std::vector<uint8_t> Bytes(TranscriptEntry::Direction direction) const; // all runs one way, in order
    void Clear();

private:
    const std::chrono::steady_clock::time_point start_;
    mutable std::mutex mutex_;
    std::vector<TranscriptEntry> entries_;
};

// One line for a transcript file: microseconds, direction, both rates, a garbled mark, hex bytes.
// For example "  1200345 us  PC->desk  pc 9600  desk 9600  E5 57 A5 7F".
std::string FormatTranscriptEntry(const TranscriptEntry& entry);

} // namespace olk::desk
