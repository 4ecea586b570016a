#pragma once
// Every multi-byte value on the wire and in data files is little-endian. These readers take the
// least significant byte first; the caller bounds the offset against its buffer.
#include <cstddef>
#include <cstdint>

namespace olk {

inline uint16_t ReadWord(const uint8_t* buffer, std::size_t offset)
{
    return static_cast<uint16_t>(buffer[offset] | (buffer[offset + 1] << 8));
}

inline uint32_t ReadDWord(const uint8_t* buffer, std::size_t offset)
{
    return static_cast<uint32_t>(buffer[offset]) | (static_cast<uint32_t>(buffer[offset + 1]) << 8) |
           (static_cast<uint32_t>(buffer[offset + 2]) << 16) | (static_cast<uint32_t>(buffer[offset + 3]) << 24);
}

inline void WriteWord(uint8_t* buffer, std::size_t offset, uint16_t value)
{
    buffer[offset] = static_cast<uint8_t>(value);
    buffer[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteDWord(uint8_t* buffer, std::size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        buffer[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace olk
