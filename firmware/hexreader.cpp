#include "firmware/hexreader.h"

#include "link/littleendian.h"

namespace olk::firmware {
namespace {

constexpr uint8_t kRecordMark = ':';

// Reads characters of the text, never past its end.
class Cursor {
public:
    Cursor(const uint8_t* text, std::size_t length) : text_(text), length_(length) {}

    // The scan ends at the end of the text or at its first NUL byte.
    bool AtEnd() const { return position_ >= length_ || text_[position_] == 0; }
    uint8_t Next() { return text_[position_++]; }

    // One hexadecimal pair, or false when the text ends before its second digit.
    bool Pair(unsigned* value)
    {
        if (length_ - position_ < 2)
            return false;
        const unsigned high = DigitValue(text_[position_]);
        const unsigned low = DigitValue(text_[position_ + 1]);
        position_ += 2;
        *value = high * 16 + low;
        return true;
    }

private:
    const uint8_t* text_;
    std::size_t length_;
    std::size_t position_ = 0;
};

struct RecordHead {
    unsigned count = 0;
    unsigned address = 0;
};

bool ReadHead(Cursor& cursor, RecordHead* head)
{
    unsigned high, low, type;
    if (!cursor.Pair(&head->count) || !cursor.Pair(&high) || !cursor.Pair(&low) || !cursor.Pair(&type))
        return false;
    head->address = high * 256 + low;
    return true; // the record type is never looked at: every record is data
}

} // namespace

uint8_t DigitValue(uint8_t character)
{
    // Taken as a signed byte, everything up to '9' (and so every byte from 0x80) gives its low
    // four bits; the rest gives its low three bits plus 9, so that A-F and a-f both give 10-15.
    const auto value = static_cast<int8_t>(character);
    return value <= 0x39 ? (character & 0x0F) : static_cast<uint8_t>((character & 0x07) + 9);
}

// A record cut short by the end of the text ends the scan: the data bytes it carried up to the
// cut are stored, and nothing beyond the text is read.
ScanResult ScanRecords(const uint8_t* text, std::size_t length, std::vector<uint8_t>& image)
{
    Cursor cursor(text, length);
    while (!cursor.AtEnd()) {
        if (cursor.Next() != kRecordMark)
            continue;
        RecordHead head;
        if (!ReadHead(cursor, &head))
            return ScanResult::Complete;
        std::size_t address = head.address;
        for (unsigned i = 0; i < head.count; ++i) {
            unsigned byte;
            if (!cursor.Pair(&byte))
                return ScanResult::Complete;
            if (address >= kImageSize)
                return ScanResult::BeyondTheImage;
            image[address++] = static_cast<uint8_t>(byte);
        }
    }
    return ScanResult::Complete;
}

uint32_t ImageChecksum(const std::vector<uint8_t>& image)
{
    uint32_t sum = 0;
    for (std::size_t i = kCheckedFrom; i < kChecksumOffset; ++i)
        sum += image[i];
    return sum;
}

bool ImageChecksumMatches(const std::vector<uint8_t>& image)
{
    return ImageChecksum(image) == ReadDWord(image.data(), kChecksumOffset);
}

} // namespace olk::firmware
