#pragma once
// The 256-byte data file header that opens every transfer and every .WRK and .FXT file, followed
// by 256-byte data records. The desk fills every byte; the program reads a few fields, checks a
// file against two of them and changes only the description, in place.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace olk::datafile {

inline constexpr std::size_t kHeaderSize = 256;
inline constexpr std::size_t kRecordSize = 256;

inline constexpr std::size_t kChecksumOffset = 0;       // 32-bit sum of every record byte
inline constexpr std::size_t kModelCodeOffset = 4;      // desk model code
inline constexpr std::size_t kSubCodeOffset = 5;        // desk sub-code
inline constexpr std::size_t kRecordCountOffset = 8;    // 32-bit number of records
inline constexpr std::size_t kReleaseOffset = 12;       // release text, NUL-terminated
inline constexpr std::size_t kReleaseSize = 8;
inline constexpr std::size_t kDescriptionOffset = 20;   // description, NUL-terminated
inline constexpr std::size_t kDescriptionSize = 128;
inline constexpr std::size_t kDescriptionLimit = 127;   // its longest text: the NUL stays inside
inline constexpr std::size_t kFixtureCountOffset = 156; // 16-bit, fixture-list headers only

using Header = std::array<uint8_t, kHeaderSize>;

// The text of a field up to its first NUL, never past the field's end.
std::string FieldText(const uint8_t* field, std::size_t size);

uint32_t HeaderChecksum(const uint8_t* header);
uint32_t RecordCount(const uint8_t* header);
std::string Release(const uint8_t* header);
std::string Description(const uint8_t* header);

// The length a well-formed file has for the header's record count, counted in 64 bits so that
// no count wraps it round to a small number.
uint64_t ExpectedLength(const uint8_t* header);
bool LengthRuleHolds(const uint8_t* header, int64_t fileLength);

// The desk model table's name for the header's model bytes ("0" when unknown), then "   Rel. "
// and the release text.
std::string ModelAndReleaseLine(const uint8_t* header);

// How a description is shown: "File Description: " and the text, or "<NO DESCRIPTION>".
std::string PreviewText(const std::string& description);

// The bytes to write at offset 20 for an edited text, given as its lines each followed by CR LF:
// one NUL for an empty text; otherwise the text without trailing CR LF pairs, cut to 127 bytes,
// a NUL and zero filler, 128 bytes in all.
std::vector<uint8_t> DescriptionBytes(const std::string& editedText);

// Writes the description into the open file, changing nothing but the description field.
bool StoreDescription(int fileHandle, const std::string& editedText);

// The header of a file that keeps the length rule, read and closed at once; nullopt for a file
// that cannot be opened, is shorter than a header or breaks the rule.
std::optional<Header> ReadWellFormedHeader(const std::string& path);

} // namespace olk::datafile
