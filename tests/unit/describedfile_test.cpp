// What the description manager reads of a data file on disk and how it rewrites the description,
// on real files, with every size and offset the file gives taken at its word and bounded.
#include "descriptions/describedfile.h"
#include "tests/support/datafiles.h"
#include "tests/support/linkenvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace olk::describedfile {
namespace {

using test::Bytes;
using test::DataFile;
using test::PutFixtureText;
using test::ReadFile;
using test::WriteFile;

const std::string kKorvan1Line = "    Korvan 1     Rel. 2.10";

TEST(DescribedFileKind, IsTakenFromThePathInAnyLetterCase)
{
    const std::pair<const char*, Kind> cases[] = {
        {"/show/rig.WRK", Kind::Work},
        {"/show/rig.wrk", Kind::Work},
        {"/show/spot.FXT", Kind::Fixture},
        {"/show/spot.fXt", Kind::Fixture},
        {"/show/rig.bin", Kind::Other},
        {"/show/WRK", Kind::Other},
        {"/show.WRK/notes", Kind::Work},          // the full path decides, not the name alone
        {"/show/old.wrk.d/spot.FXT", Kind::Fixture},
        {"/show/old.fxt.d/rig.WRK", Kind::Fixture}, // never editable where Save would refuse
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(KindOf(path), kind) << path;
}

Bytes Fixture(uint32_t records, uint16_t block, uint16_t storedLength, const std::string& text)
{
    Bytes file = DataFile(records);
    PutFixtureText(file, block, storedLength, text);
    return file;
}

Bytes WithModel(Bytes file, uint8_t model, uint8_t sub)
{
    file[4] = model;
    file[5] = sub;
    return file;
}

Bytes Resized(Bytes file, std::size_t size)
{
    file.resize(size, 0x55);
    return file;
}

struct ShownCase {
    const char* name;
    const char* fileName;
    Bytes bytes;
    bool shown;
    std::string modelLine;
    std::string text;
    bool editable;
};

void PrintTo(const ShownCase& value, std::ostream* out)
{
    *out << value.name;
}

const std::string k300(300, 'q');
const std::string kNulInside("Par 64\0rest", 11);

const ShownCase kShownCases[] = {
    {"WorkDescription", "rig.WRK", DataFile(2, "Rig 1\r\nfront"), true, kKorvan1Line, "Rig 1\r\nfront", true},
    {"WorkWithoutDescription", "rig.wrk", DataFile(1), true, kKorvan1Line, "", true},
    {"HeaderAlone", "rig.WRK", DataFile(0, "empty"), true, kKorvan1Line, "empty", true},
    {"OneByteLonger", "rig.WRK", Resized(DataFile(1, "x"), 513), false, "", "", false},
    {"OneByteShorter", "rig.WRK", Resized(DataFile(1, "x"), 511), false, "", "", false},
    {"ShorterThanAHeader", "rig.WRK", Resized(DataFile(0), 100), false, "", "", false},
    {"UnknownModel", "rig.WRK", WithModel(DataFile(0), 0x33, 0x01), true, "0   Rel. 2.10", "", true},
    {"FixtureText", "spot.FXT", Fixture(1, 40, 15, "Moving head 575"), true, kKorvan1Line, "Moving head 575", false},
    {"FixtureInLowerCase", "spot.fxt", Fixture(1, 40, 4, "Wash"), true, kKorvan1Line, "Wash", false},
    {"FixtureTextInTheSecondRecord", "spot.FXT", Fixture(2, 0x0100, 5, "Strobe"), true, kKorvan1Line, "Strob", false},
    {"FixtureTextOf300ShowsItsFirst253", "spot.FXT", Fixture(3, 30, 300, k300), true, kKorvan1Line, k300.substr(0, 253), false},
    {"FixtureTextUpToANul", "spot.FXT", Fixture(1, 40, 11, kNulInside), true, kKorvan1Line, "Par 64", false},
    {"FixtureTextCutWhereTheFileEnds", "spot.FXT", Fixture(1, 200, 200, std::string(200, 'r')), true, kKorvan1Line,
     std::string(54, 'r'), false},
    {"FixtureBlockBeyondTheFile", "spot.FXT", Fixture(1, 0xFFF0, 50, "lost"), true, kKorvan1Line, "", false},
    {"FixtureWithoutRecords", "spot.FXT", DataFile(0, "header text"), true, kKorvan1Line, "", false},
    {"OtherDataFile", "rig.bin", DataFile(1, "not loaded"), true, kKorvan1Line, "", true},
    {"OtherFileBreakingTheRule", "notes.txt", Bytes(300, 'n'), false, "", "", false},
};

class DescribedFileShown : public testing::TestWithParam<ShownCase> {
protected:
    test::LinkEnvironment environment;
};

TEST_P(DescribedFileShown, ShowsWhatTheFileHolds)
{
    const ShownCase& expected = GetParam();
    const std::string path = environment.Directory() + "/" + expected.fileName;
    WriteFile(path, expected.bytes);
    const std::optional<Shown> shown = ReadShown(path);
    ASSERT_EQ(shown.has_value(), expected.shown);
    if (shown) {
        EXPECT_EQ(shown->modelLine, expected.modelLine);
        EXPECT_EQ(shown->text, expected.text);
        EXPECT_EQ(shown->editable, expected.editable);
    }
    EXPECT_EQ(ReadFile(path), expected.bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, DescribedFileShown, testing::ValuesIn(kShownCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DescribedFile, AMissingFileShowsNothing)
{
    test::LinkEnvironment environment;
    EXPECT_FALSE(ReadShown(environment.Directory() + "/gone.WRK").has_value());
    EXPECT_FALSE(ReadShown("").has_value());
}

class DescriptionUpdateTest : public testing::Test {
protected:
    DescriptionUpdateTest() : path(environment.Directory() + "/rig.WRK"), before(DataFile(2, "old text"))
    {
        WriteFile(path, before);
    }

    test::LinkEnvironment environment;
    std::string path;
    Bytes before;
};

TEST_F(DescriptionUpdateTest, ChangesTheDescriptionFieldAlone)
{
    {
        DescriptionUpdate update(path);
        ASSERT_TRUE(update.Opened());
        ASSERT_TRUE(update.WellFormed());
        EXPECT_TRUE(update.Store("new\r\ntext\r\n"));
    }
    const Bytes after = ReadFile(path);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        if (i < 20 || i >= 148) {
            EXPECT_EQ(after[i], before[i]) << "offset " << i;
        }
    EXPECT_EQ(datafile::Description(after.data()), "new\r\ntext");
}

TEST_F(DescriptionUpdateTest, AReadOnlyFileIsWriteProtectedEvenForRoot)
{
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    DescriptionUpdate update(path);
    EXPECT_FALSE(update.Opened());
    EXPECT_TRUE(update.WriteProtected());
    EXPECT_FALSE(update.Store("x\r\n"));
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(DescriptionUpdateTest, AMissingFileIsNoWriteProtection)
{
    DescriptionUpdate update(path + ".gone");
    EXPECT_FALSE(update.Opened());
    EXPECT_FALSE(update.WriteProtected());
}

TEST_F(DescriptionUpdateTest, AFileBreakingTheLengthRuleIsNotWritten)
{
    before.push_back(0);
    WriteFile(path, before);
    DescriptionUpdate update(path);
    EXPECT_TRUE(update.Opened());
    EXPECT_FALSE(update.WellFormed());
    EXPECT_FALSE(update.Store("x\r\n"));
    EXPECT_EQ(ReadFile(path), before);
}

} // namespace
} // namespace olk::describedfile
