#pragma once
// Turns the text of a .hex firmware file into the 64 KiB firmware image. The reader is lenient
// about syntax (every record counts as data, whatever its type; digits are converted without
// validation; record checksums are not read) and strict about content: the image must carry the
// sum of its bytes 0x2800..0xFFFB in its last four bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace olk::firmware {

inline constexpr std::size_t kImageSize = 65536;
inline constexpr std::size_t kCheckedFrom = 0x2800;
inline constexpr std::size_t kChecksumOffset = 0xFFFC;
inline constexpr uint8_t kFill = 0xFF;

enum class ScanResult {
    Complete,        // the scan reached the end of the text, a NUL byte or a record cut short
    BeyondTheImage,  // a data byte would land at address 65,536 or above
};

// The value of one hexadecimal digit as the desk's tools compute it: no character is refused.
uint8_t DigitValue(uint8_t character);

// Scans text (exactly length bytes, nothing past it is read) into image, which must hold
// kImageSize bytes already filled with kFill.
ScanResult ScanRecords(const uint8_t* text, std::size_t length, std::vector<uint8_t>& image);

// The sum of image bytes 0x2800..0xFFFB against the little-endian value in 0xFFFC..0xFFFF.
uint32_t ImageChecksum(const std::vector<uint8_t>& image);
bool ImageChecksumMatches(const std::vector<uint8_t>& image);

} // namespace olk::firmware
