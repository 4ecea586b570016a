#include "desk/deskstate.h"

#include "link/datablock.h"
#include "link/littleendian.h"
#include "tests/support/testimages.h"

#include <gtest/gtest.h>

#include <string>

namespace olk::desk {
namespace {

using test::Bytes;
using test::FixtureFile;

DeskConfig ConfigWithFixtures(std::size_t count)
{
    DeskConfig config;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = "FIX" + std::to_string(i);
        config.fixtures.push_back(Fixture{name, FixtureFile(name, 100)});
    }
    return config;
}

std::string EntryAt(const Bytes& stream, std::size_t index)
{
    std::string entry(stream.begin() + static_cast<std::ptrdiff_t>(index * 12),
                      stream.begin() + static_cast<std::ptrdiff_t>(index * 12 + 12));
    return entry.substr(0, entry.find('\0'));
}

TEST(DeskState, FixtureListRunsTheNamesAsOneStreamOverTheBlocks)
{
    struct Case {
        std::size_t fixtures;
        uint32_t blocks;
    };
    for (Case c : {Case{0, 0}, Case{1, 1}, Case{21, 1}, Case{22, 2}, Case{42, 2}, Case{43, 3}, Case{64, 3}, Case{65, 4}}) {
        SCOPED_TRACE(c.fixtures);
        DeskConfig config = ConfigWithFixtures(c.fixtures);
        config.release = "3.07";
        const Bytes image = DeskState(config).FixtureListImage();
        ASSERT_EQ(image.size(), 256u + 256u * c.blocks);
        EXPECT_EQ(ReadDWord(image.data(), 8), c.blocks);
        EXPECT_EQ(ReadWord(image.data(), 156), c.fixtures);
        EXPECT_EQ(ReadDWord(image.data(), 0), test::RecordSum(image));
        EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + 12), "3.07");
        const Bytes stream(image.begin() + 256, image.end());
        for (std::size_t i = 0; i < c.fixtures; ++i)
            EXPECT_EQ(EntryAt(stream, i), "FIX" + std::to_string(i));
        for (std::size_t i = 12 * c.fixtures; i < stream.size(); ++i)
            ASSERT_EQ(stream[i], 0xFF) << "filler at stream offset " << i;
    }
}

TEST(DeskState, TheTwentySecondNameStraddlesTheFirstTwoBlocks)
{
    const Bytes image = DeskState(ConfigWithFixtures(22)).FixtureListImage();
    const std::string expected = "FIX21";
    EXPECT_EQ(std::string(image.begin() + 256 + 252, image.begin() + 256 + 256), expected.substr(0, 4));
    EXPECT_EQ(image[512], '1');
    for (std::size_t i = 513; i < 512 + 8; ++i)
        EXPECT_EQ(image[i], 0x00) << "name padding at " << i;
}

TEST(DeskState, FixtureNameComesFromTheOffsetTheFileGives)
{
    auto withNameOffset = [](uint16_t offset, std::string_view name, std::size_t records = 1) {
        Bytes image(256 + 256 * records, 0x20);
        WriteWord(image.data() + 256, 18, offset);
        std::copy(name.begin(), name.end(), image.begin() + 256 + offset);
        return image;
    };
    struct Case {
        const char* what;
        Bytes image;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {"name ended by 0x00", withNameOffset(40, std::string_view("PAR64\0", 6)), "PAR64"},
        {"all twelve bytes", withNameOffset(40, "ABCDEFGHIJKLMNOP"), "ABCDEFGHIJKL"},
        {"name in the second record", withNameOffset(300, std::string_view("WASH\0", 5), 2), "WASH"},
        {"name cut by the end of the file", withNameOffset(250, "SPOTLI"), "SPOTLI"},
        {"offset 0 names nothing", withNameOffset(0, ""), std::nullopt},
        {"offset beyond the records", withNameOffset(256, ""), std::nullopt},
        {"an empty name", withNameOffset(40, std::string_view("\0", 1)), std::nullopt},
        {"a header alone", Bytes(256, 0), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FixtureNameInFile(c.image), c.name) << c.what;
}

TEST(DeskState, OutgoingImagesCarryATrueHeader)
{
    Bytes lying = test::WorkFile(3, 7);
    WriteDWord(lying.data(), 0, 12345);
    WriteDWord(lying.data(), 8, 99);
    Bytes cutShort = test::WorkFile(2, 9);
    cutShort.resize(256 + 256 + 100);
    for (const Bytes& stored : {lying, cutShort}) {
        const Bytes outgoing = OutgoingImage(stored);
        ASSERT_EQ(outgoing.size(), (stored.size() + 255) / 256 * 256);
        EXPECT_EQ(ReadDWord(outgoing.data(), 8), (outgoing.size() - 256) / 256);
        EXPECT_EQ(ReadDWord(outgoing.data(), 0), test::RecordSum(outgoing));
        EXPECT_TRUE(std::equal(stored.begin() + 12, stored.end(), outgoing.begin() + 12)) << "the rest stays as stored";
    }
    const Bytes tiny = OutgoingImage(Bytes(10, 1));
    ASSERT_EQ(tiny.size(), 256u);
    EXPECT_EQ(ReadDWord(tiny.data(), 0), 0u);
    EXPECT_EQ(ReadDWord(tiny.data(), 8), 0u);
}

TEST(DeskState, GeneratedUserDataIsAValidWorkFile)
{
    DeskConfig config;
    config.modelCode = 0x18;
    config.subCode = 0xA6;
    config.release = "4.01";
    const Bytes image = DeskState(config).UserData();
    ASSERT_EQ(image.size(), 256u * 5);
    EXPECT_EQ(ReadDWord(image.data(), 8), 4u);
    EXPECT_EQ(ReadDWord(image.data(), 0), test::RecordSum(image));
    EXPECT_EQ(image[4], 0x18);
    EXPECT_EQ(image[5], 0xA6);
    EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + 12), "4.01");
    EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + 20), "Simulated desk");
    for (std::size_t record = 1; record < 4; ++record)
        EXPECT_NE(BlockSum(image.data() + 256 * record), BlockSum(image.data() + 256 * (record + 1)))
            << "a swapped record would go unnoticed";
}

TEST(DeskState, FreeMemoryFollowsTheLibrary)
{
    DeskConfig config;
    config.freeMemory = 1000;
    config.fixtures = {Fixture{"OLD", FixtureFile("OLD", 300)}};
    config.patchedFixtures = {"KEPT"};
    DeskState state(config);

    struct Step {
        const char* what;
        std::function<void(DeskState&)> act;
        uint32_t freeAfter;
        std::size_t fixturesAfter;
    };
    const Step steps[] = {
        {"a new fixture takes its size", [](DeskState& s) { EXPECT_TRUE(s.StoreFixture(FixtureFile("NEW", 200))); }, 800, 2},
        {"a replacement gives the old size back", [](DeskState& s) { EXPECT_TRUE(s.StoreFixture(FixtureFile("OLD", 100))); }, 1000, 2},
        {"a file without a name is not kept", [](DeskState& s) { EXPECT_FALSE(s.StoreFixture(Bytes(512, 0))); }, 1000, 2},
        {"too big a fixture leaves no memory", [](DeskState& s) { EXPECT_TRUE(s.StoreFixture(FixtureFile("KEPT", 5000))); }, 0, 3},
        {"a patched fixture stays", [](DeskState& s) { EXPECT_EQ(s.RemoveFixture("KEPT"), Removal::Patched); }, 0, 3},
        {"an unknown name is refused", [](DeskState& s) { EXPECT_EQ(s.RemoveFixture("NONE"), Removal::Unknown); }, 0, 3},
        {"a removal gives its size back", [](DeskState& s) { EXPECT_EQ(s.RemoveFixture(std::string("NEW\0\0\0", 6)), Removal::Removed); }, 200, 2},
    };
    for (const Step& step : steps) {
        step.act(state);
        EXPECT_EQ(state.FreeMemory(), step.freeAfter) << step.what;
        EXPECT_EQ(state.Fixtures().size(), step.fixturesAfter) << step.what;
    }
}

} // namespace
} // namespace olk::desk
