#pragma once
// Small .WRK and .FXT files made byte by byte, as a desk would have filled them.
#include "tests/support/wirebytes.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace olk::test {

// A header followed by its records. Every byte the fields leave is patterned and never NUL, so
// that a stray write shows. The header is from a "    Korvan 1  " desk with release "2.10".
inline Bytes DataFile(uint32_t records, const std::string& description = {})
{
    Bytes bytes(256 + 256 * static_cast<std::size_t>(records));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(1 + (i * 7) % 251);
    bytes[4] = 0x0C;
    bytes[5] = 0x00;
    for (int i = 0; i < 4; ++i)
        bytes[8 + i] = static_cast<uint8_t>(records >> (8 * i));
    const std::string release("2.10\0", 5);
    std::copy(release.begin(), release.end(), bytes.begin() + 12);
    std::copy(description.begin(), description.end(), bytes.begin() + 20);
    bytes[20 + description.size()] = 0;
    return bytes;
}

inline void PutWord(Bytes& bytes, std::size_t offset, uint16_t value)
{
    bytes.at(offset) = static_cast<uint8_t>(value);
    bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

// Puts the fixture text block at record-area offset block: its stored length, then as much of
// the text as the file holds.
inline void PutFixtureText(Bytes& file, uint16_t block, uint16_t storedLength, const std::string& text)
{
    PutWord(file, 256 + 20, block);
    const std::size_t start = 256 + static_cast<std::size_t>(block);
    if (start + 2 > file.size())
        return;
    PutWord(file, start, storedLength);
    const std::size_t room = std::min(text.size(), file.size() - start - 2);
    std::copy(text.begin(), text.begin() + static_cast<long>(room), file.begin() + static_cast<long>(start + 2));
}

} // namespace olk::test
