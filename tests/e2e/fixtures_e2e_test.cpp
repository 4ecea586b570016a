// The fixture library end to end: list, get, add and remove against the desk simulator, with a
// fixtures manager that records what the operations write into it.
#include "desk/desksimulator.h"
#include "fixtures/addfixture.h"
#include "fixtures/getfixture.h"
#include "fixtures/removefixture.h"
#include "fixtures/richiedielencofxt.h"
#include "link/commands.h"
#include "link/datablock.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingfixtures.h"
#include "tests/support/recordingviews.h"
#include "tests/support/settled.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"

#include <gtest/gtest.h>

namespace olk {
namespace {

using test::AsBytes;
using test::Bytes;
using test::Concat;
using test::RecordingFixtures;

const Bytes k57600 = {0x00, 0xE1, 0x00, 0x00};
const Bytes kAck = {0xE6};

Bytes NameBytes(const std::string& name)
{
    const auto bytes = command::FixtureNameBytes(name);
    return Bytes(bytes.begin(), bytes.end());
}

class FixturesEndToEnd : public testing::Test {
protected:
    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    template <typename Operation, typename... Extra>
    int Run(const std::string* argument, Extra&... extra)
    {
        auto operation = MakeOperation<Operation>("COM1", 0, views.Targets(), views.AsViews(), extra...);
        const bool prepared = !argument || operation->Prepare(*argument) != 0;
        const bool startsAnyway = operation->ClassNameIs("GetFixture") || operation->ClassNameIs("RemoveFixture");
        if (prepared || startsAnyway)
            operation->StartOperation(true);
        EXPECT_TRUE(views.RunUntilEnded(std::chrono::seconds(30)));
        return operation->ReportedCode();
    }

    int List() { return Run<RichiediElencoFXT>(nullptr, fixtures); }
    int Get(const std::string& name) { return Run<GetFixture>(&name, fixtures); }
    int Add(const std::string& path) { return Run<AddFixture>(&path, fixtures); }
    int Remove(const std::string& name) { return Run<RemoveFixture>(&name); }

    std::string WriteFixture(const Bytes& image)
    {
        const std::string path = environment.Directory() + "/add.fxt";
        test::WriteFile(path, image);
        return path;
    }

    test::LinkEnvironment environment;
    test::RecordingViews views;
    RecordingFixtures fixtures{views};
    std::unique_ptr<desk::DeskSimulator> desk;
};

struct ListCase {
    int count;
    std::size_t blocks;
};

void PrintTo(const ListCase& value, std::ostream* out)
{
    *out << value.count << " fixtures";
}

class FixtureListTest : public FixturesEndToEnd, public testing::WithParamInterface<ListCase> {};

// Names of 12 bytes run on across block boundaries: the 22nd is split between the first two
// blocks, and 64 names fill three blocks exactly.
TEST_P(FixtureListTest, ListsEveryNameAcrossTheBlocksThenAsksForFreeMemoryAt9600)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(GetParam().count);
    StartDesk(config);

    EXPECT_EQ(List(), 0);

    std::vector<std::string> expected;
    for (const auto& fixture : config.fixtures)
        expected.push_back(fixture.name);
    EXPECT_EQ(fixtures.names, expected);
    EXPECT_EQ(fixtures.numberFixtures, std::to_string(GetParam().count));
    EXPECT_EQ(fixtures.freeMemory, "195 KB");
    EXPECT_TRUE(fixtures.addEnabled);
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              Concat({AsBytes(command::kFixtureList), k57600, Bytes(GetParam().blocks + 1, 0xE6),
                      AsBytes(command::kFreeMemory)}));
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Counts, FixtureListTest, testing::Values(ListCase{5, 1}, ListCase{22, 2}, ListCase{64, 3}));

TEST_F(FixturesEndToEnd, ANameIsTheEntryUpToItsFirstNul)
{
    desk::DeskConfig config;
    config.fixtures = {{"ABCD", desk::test::FixtureFile("ABCD", 100)},
                       {"\xC9tude\x80", desk::test::FixtureFile("\xC9tude\x80", 100)}};
    StartDesk(config);
    EXPECT_EQ(List(), 0);
    EXPECT_EQ(fixtures.names, (std::vector<std::string>{"ABCD", "\xC9tude\x80"}));
}

struct MemoryCase {
    uint32_t freeBytes;
    const char* caption;
    bool addEnabled;
};

void PrintTo(const MemoryCase& value, std::ostream* out)
{
    *out << value.freeBytes;
}

class FreeMemoryTest : public FixturesEndToEnd, public testing::WithParamInterface<MemoryCase> {};

TEST_P(FreeMemoryTest, ShowsKilobytesRoundedDownAndEnablesAddOnlyForAPositiveCount)
{
    desk::DeskConfig config;
    config.freeMemory = GetParam().freeBytes;
    StartDesk(config);
    EXPECT_EQ(List(), 0);
    EXPECT_EQ(fixtures.freeMemory, GetParam().caption);
    EXPECT_EQ(fixtures.addEnabled, GetParam().addEnabled);
    EXPECT_EQ(fixtures.deskFree, static_cast<int32_t>(GetParam().freeBytes));
}

INSTANTIATE_TEST_SUITE_P(Counts, FreeMemoryTest,
                         testing::Values(MemoryCase{1048575, "1023 KB", true}, MemoryCase{1023, "0 KB", true},
                                         MemoryCase{0, "0 KB", false}, MemoryCase{0x80000000u, "2097152 KB", false}));

TEST_F(FixturesEndToEnd, ADeskSilentAfterTheListLeavesTheNamesAndNoFreeMemory)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(3);
    config.faults.silentFreeMemory = true;
    StartDesk(config);

    EXPECT_EQ(List(), 10);

    EXPECT_EQ(fixtures.names.size(), 3u);
    EXPECT_EQ(fixtures.freeMemory, "");
    EXPECT_FALSE(fixtures.addEnabled);
    EXPECT_EQ(fixtures.deskFree, -1);
    const Bytes sent = test::SettledBytesFromPc(*desk);
    EXPECT_EQ(std::search(sent.begin(), sent.end(), command::kFreeMemory.begin(), command::kFreeMemory.end()),
              sent.end() - 12); // asked three times, the last bytes on the line
}

TEST_F(FixturesEndToEnd, AListWhoseSumDoesNotMatchKeepsTheNames)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(4);
    config.faults.wrongDataSum = true;
    StartDesk(config);
    fixtures.deskFree = 5000;

    EXPECT_EQ(List(), 21);

    EXPECT_EQ(fixtures.names.size(), 4u);
    EXPECT_EQ(fixtures.deskFree, 5000); // not asked again
    EXPECT_FALSE(fixtures.addEnabled);
    EXPECT_EQ(views.Matching("dialog"),
              std::vector<std::string>{"dialog Error: The User Data CheckSum returned by the mixer\n does not "
                                       "corrispond to the CheckSum in the file!"});
}

TEST_F(FixturesEndToEnd, AFixtureDownloadsWholeWithItsText)
{
    desk::DeskConfig config;
    config.fixtures = {{"SPOT 575", desk::test::FixtureFile("SPOT 575", 700)}};
    StartDesk(config);

    EXPECT_EQ(Get("SPOT 575"), 0);

    EXPECT_EQ(fixtures.downloaded, config.fixtures[0].file);
    EXPECT_EQ(fixtures.downloaded.size(), 512u);
    EXPECT_TRUE(fixtures.removeAndSaveEnabled);
    ASSERT_EQ(fixtures.memo.size(), 1u);
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              Concat({AsBytes(command::kGetFixture), k57600, NameBytes("SPOT 575"), kAck, kAck}));
}

TEST_F(FixturesEndToEnd, AnUnknownNameIsReportedOnceAndNothingIsHeld)
{
    StartDesk();
    EXPECT_EQ(Get("NOPE"), 37);
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Error: Fixture doesn't exist!"});
    EXPECT_FALSE(fixtures.removeAndSaveEnabled);
    EXPECT_TRUE(fixtures.downloaded.empty());
    EXPECT_EQ(views.Matching("fixtures.free").size(), 1u);
}

TEST_F(FixturesEndToEnd, AHeaderAnnouncingMoreThanAnyDeskHoldsEndsTheDownloadUnread)
{
    desk::DeskConfig config;
    config.fixtures = {{"BIG", desk::test::FixtureFile("BIG", 100)}};
    config.faults.announcedRecords = GetFixture::kMostRecords + 1;
    StartDesk(config);
    EXPECT_EQ(Get("BIG"), 10);
    EXPECT_TRUE(fixtures.downloaded.empty());
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              Concat({AsBytes(command::kGetFixture), k57600, NameBytes("BIG"), kAck}));
}

TEST_F(FixturesEndToEnd, ANewFixtureIsSentEvenWithNoFreeMemoryAndTheListIsFetchedAgain)
{
    StartDesk();
    fixtures.deskFree = 0;
    const Bytes image = desk::test::FixtureFile("WASH", 3000, 2);

    EXPECT_EQ(Add(WriteFixture(image)), 11);

    EXPECT_TRUE(views.refreshListFlag);
    EXPECT_TRUE(fixtures.shown);
    EXPECT_TRUE(test::Eventually([&] { return !desk->Fixtures().empty(); }));
    EXPECT_EQ(desk->Fixtures().back().file, image);
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: The mixer is updated well right !"});
}

TEST_F(FixturesEndToEnd, WithoutAListTheFreeMemoryIsUnknownAndNothingIsSent)
{
    StartDesk();
    EXPECT_EQ(Add(WriteFixture(desk::test::FixtureFile("WASH", 30))), 42);
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    EXPECT_EQ(views.Matching("dialog"),
              std::vector<std::string>{"dialog Warning: Unknown free memory space on desk!\nFirst try \"Refresh\" on "
                                       "Fixture Manager."});
}

TEST_F(FixturesEndToEnd, AReplacementIsAskedForInAnyLetterCaseAndNoSendsNothing)
{
    StartDesk();
    fixtures.names = {"wash"};
    fixtures.deskFree = 100000;
    EXPECT_EQ(Add(WriteFixture(desk::test::FixtureFile("WASH", 30))), 0);
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Confirm: Fixture already exist: replace it ?"});
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    EXPECT_EQ(views.endedNotices, 1);
}

struct SpaceCase {
    uint16_t size;
    int code;
};

void PrintTo(const SpaceCase& value, std::ostream* out)
{
    *out << value.size;
}

class ReplacementSpaceTest : public FixturesEndToEnd, public testing::WithParamInterface<SpaceCase> {};

// A replacement may use 4 bytes more than the desk reports free.
TEST_P(ReplacementSpaceTest, IsCheckedAgainstTheFreeMemory)
{
    StartDesk();
    fixtures.names = {"WASH"};
    fixtures.deskFree = 1000;
    views.dialogs.answers = {kAnswerYes};
    EXPECT_EQ(Add(WriteFixture(desk::test::FixtureFile("WASH", GetParam().size))), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReplacementSpaceTest, testing::Values(SpaceCase{1004, 11}, SpaceCase{1005, 39}));

TEST_F(FixturesEndToEnd, FifteenRejectedBlocksEndTheAddWithoutARefresh)
{
    desk::DeskConfig config;
    config.faults.nakBlocks = {{0, 5}, {1, 5}, {2, 5}};
    StartDesk(config);
    fixtures.deskFree = 100000;
    EXPECT_EQ(Add(WriteFixture(desk::test::FixtureFile("WASH", 30, 2))), 10);
    EXPECT_FALSE(views.refreshListFlag);
    EXPECT_FALSE(fixtures.shown);
}

struct RemovalCase {
    const char* what;
    std::set<std::string> patched;
    bool silent;
    int code;
    int attempts;
    bool refresh;
};

void PrintTo(const RemovalCase& value, std::ostream* out)
{
    *out << value.what;
}

class RemovalTest : public FixturesEndToEnd, public testing::WithParamInterface<RemovalCase> {};

// The removal is its own short exchange at 9600: no handshake answer and no baud value, the
// command and the name padded to 12 bytes, once for every attempt.
TEST_P(RemovalTest, SendsTheCommandAndThePaddedNameAndReportsTheAnswer)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(2);
    config.patchedFixtures = GetParam().patched;
    config.faults.silent = GetParam().silent;
    StartDesk(config);

    EXPECT_EQ(Remove("FIX1"), GetParam().code);

    Bytes expected;
    for (int i = 0; i < GetParam().attempts; ++i)
        expected = Concat({expected, AsBytes(command::kRemoveFixture), NameBytes("FIX1")});
    EXPECT_EQ(test::SettledBytesFromPc(*desk), expected);
    EXPECT_EQ(views.refreshListFlag, GetParam().refresh);
}

INSTANTIATE_TEST_SUITE_P(Answers, RemovalTest,
                         testing::Values(RemovalCase{"Removed", {}, false, 40, 1, true},
                                         RemovalCase{"InPatch", {"FIX1"}, false, 41, 1, false},
                                         RemovalCase{"Silent", {}, true, 7, 3, false}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(FixturesEndToEnd, ARemovedFixtureIsGoneFromTheNextList)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(3);
    StartDesk(config);
    EXPECT_EQ(Remove("FIX1"), 40);
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: Fixture removed !"});
    EXPECT_EQ(List(), 0);
    EXPECT_EQ(fixtures.names, (std::vector<std::string>{"FIX0", "FIX2"}));
}

} // namespace
} // namespace olk
