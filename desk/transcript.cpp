#include "desk/transcript.h"

#include <cstdio>

namespace olk::desk {

Transcript::Transcript() : start_(std::chrono::steady_clock::now()) {}

void Transcript::Record(TranscriptEntry::Direction direction, uint32_t pcRate, uint32_t deskRate, bool garbled,
                        std::span<const uint8_t> bytes)
{
    TranscriptEntry entry;
    entry.time = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
    entry.direction = direction;
    entry.pcRate = pcRate;
    entry.deskRate = deskRate;
    entry.garbled = garbled;
    entry.bytes.assign(bytes.begin(), bytes.end());
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
}

std::vector<TranscriptEntry> Transcript::Entries() const
{
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<uint8_t> Transcript::Bytes(TranscriptEntry::Direction direction) const
{
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> bytes;
    for (const TranscriptEntry& entry : entries_)
        if (entry.direction == direction)
            bytes.insert(bytes.end(), entry.bytes.begin(), entry.bytes.end());
    return bytes;
}

void Transcript::Clear()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
}

std::string FormatTranscriptEntry(const TranscriptEntry& entry)
{
    char head[96];
    std::snprintf(head, sizeof head, "%9lld us  %s  pc %u  desk %u%s ", static_cast<long long>(entry.time.count()),
                  entry.direction == TranscriptEntry::Direction::PcToDesk ? "PC->desk" : "desk->PC", entry.pcRate,
                  entry.deskRate, entry.garbled ? "  garbled" : "");
    std::string line = head;
    for (uint8_t byte : entry.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    return line;
}

} // namespace olk::desk
