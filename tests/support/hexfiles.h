#pragma once
// Intel HEX texts made up for the firmware tests.
#include <cstdint>
#include <string>
#include <vector>

namespace olk::test {

// One record: ":" count, address, type, data, checksum, CR LF, with upper-case digits.
std::string HexRecord(uint16_t address, const std::vector<uint8_t>& data, uint8_t type = 0);

// A 64 KiB firmware image whose bytes 0xFFFC..0xFFFF hold the sum of bytes 0x2800..0xFFFB.
std::vector<uint8_t> SignedImage(uint8_t seed = 1);

// The whole image as records of 16 bytes, ending with an end-of-file record.
std::string HexText(const std::vector<uint8_t>& image);

} // namespace olk::test
