#pragma once
// The 256-byte data file header that opens every transfer and every .WRK and .FXT file, followed
// by 256-byte data records. The desk fills every byte; these are the fields the program reads.
#include <cstddef>

namespace olk::datafile {

inline constexpr std::size_t kHeaderSize = 256;
inline constexpr std::size_t kRecordSize = 256;

inline constexpr std::size_t kChecksumOffset = 0;      // 32-bit sum of every record byte
inline constexpr std::size_t kModelCodeOffset = 4;     // desk model code
inline constexpr std::size_t kSubCodeOffset = 5;       // desk sub-code
inline constexpr std::size_t kRecordCountOffset = 8;   // 32-bit number of records
inline constexpr std::size_t kReleaseOffset = 12;      // release text, NUL-terminated
inline constexpr std::size_t kReleaseSize = 8;
inline constexpr std::size_t kDescriptionOffset = 20;  // description, NUL-terminated
inline constexpr std::size_t kDescriptionSize = 128;
inline constexpr std::size_t kFixtureCountOffset = 156; // 16-bit, fixture-list headers only

} // namespace olk::datafile

#include <cstdint>
#include <string>

namespace olk::datafile {

// The text of a field up to its first NUL, never past the field's end.
inline std::string FieldText(const uint8_t* field, std::size_t size)
{
    std::size_t length = 0;
    while (length < size && field[length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(field), length);
}

} // namespace olk::datafile
