#include "firmware/hexreader.h"
#include "link/littleendian.h"
#include "tests/support/hexfiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace olk::firmware {
namespace {

using test::HexRecord;
using test::HexText;
using test::SignedImage;

struct Scanned {
    ScanResult result;
    std::vector<uint8_t> image;
};

Scanned Scan(const std::string& text)
{
    Scanned scanned{ScanResult::Complete, std::vector<uint8_t>(kImageSize, kFill)};
    scanned.result = ScanRecords(reinterpret_cast<const uint8_t*>(text.data()), text.size(), scanned.image);
    return scanned;
}

TEST(HexReader, DigitsConvertWithoutRefusingAnyCharacter)
{
    const std::pair<uint8_t, uint8_t> table[] = {{'0', 0},  {'9', 9},   {'A', 10},  {'F', 15},  {'a', 10},
                                                 {'f', 15}, {'G', 16},  {'g', 16},   {':', 11},  {' ', 0},
                                                 {0x80, 0}, {0xFF, 15}, {0x7F, 16}, {'Z', 11}};
    for (const auto& [character, value] : table)
        EXPECT_EQ(DigitValue(character), value) << int(character);
}

TEST(HexReader, ASignedImageIsAcceptedWhateverItsRecordTypes)
{
    const auto image = SignedImage();
    std::string text = HexText(image);
    // Types of every kind, and extended-address records at address 0 in the unchecked area.
    text = HexRecord(0x0000, {0x00, 0x00}, 0x04) + text + HexRecord(0x0000, {0x10, 0x00}, 0x02);
    Scanned scanned = Scan(text);
    EXPECT_EQ(scanned.result, ScanResult::Complete);
    EXPECT_TRUE(ImageChecksumMatches(scanned.image));
    EXPECT_TRUE(std::equal(image.begin() + 2, image.end(), scanned.image.begin() + 2));
}

TEST(HexReader, NoRecordAtAllLeavesTheFillAndFailsTheChecksum)
{
    Scanned scanned = Scan("nothing here\r\n");
    EXPECT_EQ(scanned.image, std::vector<uint8_t>(kImageSize, kFill));
    EXPECT_EQ(ImageChecksum(scanned.image), 14099460u);
    EXPECT_EQ(ReadDWord(scanned.image.data(), kChecksumOffset), 0xFFFFFFFFu);
    EXPECT_FALSE(ImageChecksumMatches(scanned.image));
}

TEST(HexReader, DataPastTheLastAddressIsRefusedAndDataUpToItIsNot)
{
    Scanned beyond = Scan(HexRecord(0xFFFF, {0x12, 0x34}));
    EXPECT_EQ(beyond.result, ScanResult::BeyondTheImage);
    EXPECT_EQ(beyond.image[0xFFFF], 0x12);

    Scanned toTheEnd = Scan(HexRecord(0xFFF0, std::vector<uint8_t>(16, 0x5A)));
    EXPECT_EQ(toTheEnd.result, ScanResult::Complete);
    EXPECT_EQ(toTheEnd.image[0xFFFF], 0x5A);
    EXPECT_EQ(toTheEnd.image[0xFFEF], kFill);
}

TEST(HexReader, LetterCaseAndRecordChecksumsDoNotMatter)
{
    const std::string upper = HexRecord(0x3000, {0xAB, 0xCD, 0xEF});
    std::string lower = upper;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    std::string wrongSum = upper;
    wrongSum[wrongSum.size() - 3] = wrongSum[wrongSum.size() - 3] == '0' ? '1' : '0';
    EXPECT_EQ(Scan(upper).image, Scan(lower).image);
    EXPECT_EQ(Scan(upper).image, Scan(wrongSum).image);
    EXPECT_EQ(Scan(upper).image[0x3001], 0xCD);
}

TEST(HexReader, RecordsAreReadPastAnEndRecordAndOverwriteEachOther)
{
    const std::string text = HexRecord(0x3000, {1, 2}) + ":00000001FF\r\n" + HexRecord(0x3001, {9});
    const auto image = Scan(text).image;
    EXPECT_EQ(image[0x3000], 1);
    EXPECT_EQ(image[0x3001], 9);
}

TEST(HexReader, ANulByteEndsTheScan)
{
    std::string text = HexRecord(0x3000, {1});
    text += '\0';
    text += HexRecord(0x3001, {2});
    const auto image = Scan(text).image;
    EXPECT_EQ(image[0x3000], 1);
    EXPECT_EQ(image[0x3001], kFill);
}

// A record the file cuts short keeps the data bytes it carried whole, and nothing past the end
// of the text is read: the scan is given exactly the text's bytes, so a read past them would
// show under the sanitizers.
TEST(HexReader, ARecordCutShortEndsTheScanWithinTheText)
{
    const std::string whole = HexRecord(0x3000, {0x11, 0x22, 0x33, 0x44});
    for (std::size_t cut = 1; cut < whole.size(); ++cut) {
        const std::string text = whole.substr(0, cut);
        std::vector<uint8_t> exact(text.begin(), text.end());
        std::vector<uint8_t> image(kImageSize, kFill);
        EXPECT_EQ(ScanRecords(exact.data(), exact.size(), image), ScanResult::Complete) << cut;
        const std::size_t whole_pairs = cut > 9 ? std::min<std::size_t>((cut - 9) / 2, 4) : 0;
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(image[0x3000 + i], i < whole_pairs ? 0x11 * (i + 1) : kFill) << cut << " " << i;
    }
}

TEST(HexReader, DataBelowTheCheckedAreaNeverChangesTheVerdict)
{
    auto image = SignedImage();
    std::string text = HexText(image) + HexRecord(0x0100, std::vector<uint8_t>(32, 0x00)) +
                       HexRecord(0x27F0, std::vector<uint8_t>(16, 0x77));
    EXPECT_TRUE(ImageChecksumMatches(Scan(text).image));
    text += HexRecord(0x2800, {static_cast<uint8_t>(image[0x2800] + 1)});
    EXPECT_FALSE(ImageChecksumMatches(Scan(text).image));
}

} // namespace
} // namespace olk::firmware
