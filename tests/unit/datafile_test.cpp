// The data file header: the length rule, the text fields, the model line and the storing of an
// edited description into a real file.
#include "platform/filehandle.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/wirebytes.h"
#include "userdata/datafile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace olk::datafile {
namespace {

using test::ReadFile;
using test::WriteFile;

using Bytes = std::vector<uint8_t>;

// A header whose record count is written byte by byte, least significant first, as a desk does.
Header HeaderWithRecordCount(uint32_t count)
{
    Header header{};
    for (int i = 0; i < 4; ++i)
        header[8 + i] = static_cast<uint8_t>(count >> (8 * i));
    return header;
}

void Put(Header& header, std::size_t offset, const std::string& text)
{
    std::memcpy(header.data() + offset, text.data(), text.size());
}

// Bytes that differ from their neighbours and are never NUL, so that any stray write shows.
Bytes Patterned(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(1 + (i * 7) % 251);
    return bytes;
}



Bytes FileOf(const Header& header, std::size_t extraBytes)
{
    Bytes bytes(header.begin(), header.end());
    const Bytes records = Patterned(extraBytes);
    bytes.insert(bytes.end(), records.begin(), records.end());
    return bytes;
}

struct LengthCase {
    uint32_t recordCount;
    int64_t fileLength;
    bool holds;
};

void PrintTo(const LengthCase& value, std::ostream* out)
{
    *out << value.recordCount << " records, " << value.fileLength << " bytes";
}

class DataFileLengthRule : public testing::TestWithParam<LengthCase> {};

TEST_P(DataFileLengthRule, HoldsForTheExactLengthOnly)
{
    const Header header = HeaderWithRecordCount(GetParam().recordCount);
    EXPECT_EQ(LengthRuleHolds(header.data(), GetParam().fileLength), GetParam().holds);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, DataFileLengthRule,
    testing::Values(LengthCase{0, 256, true},  // the header alone
                    LengthCase{0, 255, false}, LengthCase{0, 257, false},
                    LengthCase{3, 1024, true}, LengthCase{3, 1023, false}, LengthCase{3, 1025, false},
                    LengthCase{0x0201, 256 + 0x0201 * 256, true},  // the count is little-endian
                    LengthCase{16777216, 256, false},               // 2^24 records: 2^32 + 256 bytes
                    LengthCase{16777216, 4294967552, true},
                    LengthCase{0xFFFFFFFF, 0, false},
                    LengthCase{0, -1, false}));  // a length that could not be read

struct StoredCase {
    const char* name;
    std::string edited;  // as the edit box gives it
    std::string stored;  // the text before the NUL
};

void PrintTo(const StoredCase& value, std::ostream* out)
{
    *out << value.name;
}

const std::string k127(127, 'd');

const StoredCase kStoredCases[] = {
    {"TrailingPairsDropped", "abc\r\n\r\n", "abc"},
    {"BareLineFeedKept", "abc\n", "abc\n"},
    {"LoneCarriageReturnBeforeThePairKept", "abc\r\r\n", "abc\r"},
    {"OneByteLineFeedKept", "\n", "\n"},
    {"LineFeedLeftAfterDroppingKept", "\n\r\n", "\n"},
    {"InnerPairsKept", "one\r\ntwo\r\nthree\r\n", "one\r\ntwo\r\nthree"},
    {"OnlyPairsLeaveAnEmptyText", "\r\n\r\n", ""},
    {"LongestTextKept", k127 + "\r\n", k127},
    {"LongerTextCut", k127 + "xyz", k127},
    {"CutAfterDroppingPairs", std::string(126, 'e') + "\r\nf\r\n", std::string(126, 'e') + "\r"},
};

class DataFileStoredText : public testing::TestWithParam<StoredCase> {};

TEST_P(DataFileStoredText, FillTheWholeFieldWithTheTextAndANul)
{
    const Bytes bytes = DescriptionBytes(GetParam().edited);
    ASSERT_EQ(bytes.size(), kDescriptionSize);
    const std::string& stored = GetParam().stored;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(stored.size())), stored);
    EXPECT_EQ(bytes[stored.size()], 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, DataFileStoredText, testing::ValuesIn(kStoredCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataFileDescriptionBytes, AnEmptyTextIsASingleNul)
{
    EXPECT_EQ(DescriptionBytes(""), Bytes{0});
}

// A header of one record whose every other byte is patterned, the description field included.
Header PatternedHeader()
{
    Header header = HeaderWithRecordCount(1);
    const Bytes pattern = Patterned(kHeaderSize);
    std::copy(pattern.begin() + kReleaseOffset, pattern.end(), header.begin() + kReleaseOffset);
    return header;
}

// A .WRK file of one record on disk, open for reading and writing.
class DataFileStoreDescription : public testing::Test {
protected:
    DataFileStoreDescription() : path(environment.Directory() + "/user.wrk"), before(FileOf(PatternedHeader(), 256))
    {
        WriteFile(path, before);
        handle = file::Open(path, file::OpenMode::ReadWrite);
    }

    ~DataFileStoreDescription() override { file::Close(handle); }

    Bytes Store(const std::string& edited)
    {
        // The backup's handle stands wherever its last write left it.
        file::Seek(handle, static_cast<int64_t>(before.size()));
        EXPECT_TRUE(StoreDescription(handle, edited));
        return ReadFile(path);
    }

    // Every byte outside the description field is as it was.
    void ExpectOnlyTheFieldChanged(const Bytes& after) const
    {
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            if (i < kDescriptionOffset || i >= kDescriptionOffset + kDescriptionSize) {
                EXPECT_EQ(after[i], before[i]) << "offset " << i;
            }
    }

    test::LinkEnvironment environment;
    std::string path;
    Bytes before;
    int handle = file::kNoHandle;
};

TEST_F(DataFileStoreDescription, EveryTextLandsInTheFieldAndReadsBack)
{
    for (const StoredCase& stored : kStoredCases) {
        SCOPED_TRACE(stored.name);
        const Bytes after = Store(stored.edited);
        ExpectOnlyTheFieldChanged(after);
        EXPECT_EQ(Description(after.data()), stored.stored);
    }
}

TEST_F(DataFileStoreDescription, TheLongestTextPutsItsNulAtOffset147)
{
    const Bytes after = Store(k127);
    EXPECT_EQ(after[146], 'd');
    EXPECT_EQ(after[147], 0);
    ExpectOnlyTheFieldChanged(after);
}

TEST_F(DataFileStoreDescription, AnEmptyTextWritesOneNulAndLeavesTheRestOfTheField)
{
    const Bytes after = Store("");
    EXPECT_EQ(after[kDescriptionOffset], 0);
    for (std::size_t i = 0; i < after.size(); ++i)
        if (i != kDescriptionOffset) {
            EXPECT_EQ(after[i], before[i]) << "offset " << i;
        }
    EXPECT_EQ(Description(after.data()), "");
}

TEST_F(DataFileStoreDescription, FailsWithoutAFile)
{
    EXPECT_FALSE(StoreDescription(file::kNoHandle, "abc"));
}

struct ModelLineCase {
    uint8_t modelCode;
    uint8_t subCode;
    const char* line;
};

void PrintTo(const ModelLineCase& value, std::ostream* out)
{
    *out << value.line;
}

class DataFileModelLine : public testing::TestWithParam<ModelLineCase> {};

TEST_P(DataFileModelLine, NamesTheModelThenTheRelease)
{
    Header header{};
    header[4] = GetParam().modelCode;
    header[5] = GetParam().subCode;
    Put(header, kReleaseOffset, "2.05b");
    EXPECT_EQ(ModelAndReleaseLine(header.data()), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Models, DataFileModelLine,
                         testing::Values(ModelLineCase{12, 0x00, "    Korvan 1     Rel. 2.05b"},
                                         ModelLineCase{24, 0xA6, " Korvan 2/XT     Rel. 2.05b"},
                                         ModelLineCase{20, 0xA6, "   Duvessa       Rel. 2.05b"},
                                         ModelLineCase{20, 0x00, "0   Rel. 2.05b"},
                                         ModelLineCase{99, 0x00, "0   Rel. 2.05b"}));

TEST(DataFileTextFields, StopAtTheFirstNul)
{
    Header header{};
    Put(header, kReleaseOffset, std::string("1.0\0junk", 8));
    Put(header, kDescriptionOffset, std::string("Show A\r\nrow 2\0old text", 22));
    EXPECT_EQ(Release(header.data()), "1.0");
    EXPECT_EQ(Description(header.data()), "Show A\r\nrow 2");
}

TEST(DataFileTextFields, WithoutANulEndAtTheirField)
{
    Header header{};
    Put(header, kReleaseOffset, std::string(kReleaseSize, 'R'));
    Put(header, kDescriptionOffset, std::string(kDescriptionSize, 'D'));
    header[kDescriptionOffset + kDescriptionSize] = 'X';
    EXPECT_EQ(Release(header.data()), std::string(kReleaseSize, 'R'));
    EXPECT_EQ(Description(header.data()), std::string(kDescriptionSize, 'D'));
    const uint8_t field[3] = {'a', 'b', 'c'};
    EXPECT_EQ(FieldText(field, 2), "ab");
}

TEST(DataFilePreviewText, NamesTheDescriptionOrItsAbsence)
{
    EXPECT_EQ(PreviewText(""), "<NO DESCRIPTION>");
    EXPECT_EQ(PreviewText("Rig 1\r\nfront"), "File Description: Rig 1\r\nfront");
}

class DataFileReadHeader : public testing::Test {
protected:
    std::string Path(const std::string& name) const { return environment.Directory() + "/" + name; }

    test::LinkEnvironment environment;
};

TEST_F(DataFileReadHeader, ReturnsTheHeaderOfAWellFormedFile)
{
    Header header = HeaderWithRecordCount(2);
    Put(header, kDescriptionOffset, "Theatre");
    WriteFile(Path("good.wrk"), FileOf(header, 512));
    const auto read = ReadWellFormedHeader(Path("good.wrk"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, header);
}

TEST_F(DataFileReadHeader, RefusesFilesThatBreakTheLayout)
{
    struct Refused {
        const char* name;
        Bytes content;
    };
    const Refused refused[] = {
        {"short.wrk", Bytes(100, 0)},
        {"longer.wrk", FileOf(HeaderWithRecordCount(1), 257)},
        {"shorter.wrk", FileOf(HeaderWithRecordCount(1), 255)},
        {"wrapping.wrk", FileOf(HeaderWithRecordCount(16777216), 0)},
    };
    for (const Refused& file : refused) {
        WriteFile(Path(file.name), file.content);
        EXPECT_FALSE(ReadWellFormedHeader(Path(file.name)).has_value()) << file.name;
    }
    EXPECT_FALSE(ReadWellFormedHeader(Path("missing.wrk")).has_value());
}

} // namespace
} // namespace olk::datafile
