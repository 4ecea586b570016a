// The desk link end to end: real operation threads on a real pseudo-terminal against the desk
// simulator, asserting what crossed the line, the result code and what the views showed.
#include "desk/desksimulator.h"
#include "link/commands.h"
#include "link/datablock.h"
#include "link/getinfo.h"
#include "tests/support/testimages.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/settled.h"
#include "tests/support/wirebytes.h"
#include "tests/support/recordingviews.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace olk {
namespace {

using test::AsBytes;
using test::Bytes;
using test::Concat;
using test::Repeat;
using Clock = std::chrono::steady_clock;

const Bytes kListCommand = AsBytes(command::kFixtureList);
const Bytes k57600 = {0x00, 0xE1, 0x00, 0x00};
const Bytes kAck = {0xE6};
const Bytes kNak = {0xE7};

class LinkEndToEnd : public testing::Test {
protected:
    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    int RunGetInfo(uint32_t baud = 0)
    {
        auto operation = MakeOperation<GetInfo>("COM1", baud, views.Targets(), views.AsViews());
        operation->StartOperation(true);
        EXPECT_TRUE(views.RunUntilEnded());
        return operation->ResultCode();
    }

    // Bytes the PC sent after the handshake: the baud value, then its answers to the blocks.
    Bytes PcBytesAfter(std::size_t skip) const
    {
        const Bytes all = test::SettledBytesFromPc(*desk);
        return all.size() <= skip ? Bytes{} : Bytes(all.begin() + static_cast<std::ptrdiff_t>(skip), all.end());
    }

    test::LinkEnvironment environment;
    test::RecordingViews views;
    std::unique_ptr<desk::DeskSimulator> desk;
};

TEST_F(LinkEndToEnd, GetInfoShowsModelAndReleaseAndTheNegotiatedRateWhileItRuns)
{
    desk::DeskConfig config;
    config.release = "3.07b";
    config.fixtures = desk::test::Library(5);
    StartDesk(config);

    EXPECT_EQ(RunGetInfo(), 0);

    EXPECT_EQ(views.mixerName, "    Korvan 1  ");
    EXPECT_EQ(views.release, "3.07b");
    EXPECT_EQ(test::SettledBytesFromPc(*desk), Concat({kListCommand, k57600, kAck, kAck}));
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{});
    // While the progress window is up the display shows 57600; the end puts it back to 0.
    const auto& log = views.log;
    const auto shown = std::find(log.begin(), log.end(), "progress.show");
    ASSERT_NE(shown, log.end());
    EXPECT_NE(std::find(log.begin(), shown, "baudValue=57600"), shown);
    EXPECT_NE(std::find(log.begin(), shown, "greenBar.top=66"), shown);
    EXPECT_EQ(views.Matching("progress.position"), (std::vector<std::string>{"progress.position=0", "progress.position=100"}));
    EXPECT_EQ(views.baudValue, "0");
    EXPECT_EQ(views.baudBarTop, 98);
    EXPECT_EQ(views.endedNotices, 1);
    for (const auto& entry : desk->Transcript()) {
        if (entry.direction == desk::TranscriptEntry::Direction::DeskToPc && entry.bytes.size() == kBlockSize) {
            EXPECT_EQ(entry.deskRate, 57600u);
        }
    }
}

TEST_F(LinkEndToEnd, AFixedRateIsSentWithoutProbingAndBothEndsSwitch)
{
    StartDesk();
    EXPECT_EQ(RunGetInfo(460800), 0);
    EXPECT_EQ(PcBytesAfter(4), Concat({{0x00, 0x08, 0x07, 0x00}, kAck}));
    bool sawHeader = false;
    for (const auto& entry : desk->Transcript()) {
        if (entry.direction == desk::TranscriptEntry::Direction::DeskToPc && entry.bytes.size() == kBlockSize) {
            sawHeader = true;
            EXPECT_EQ(entry.deskRate, 460800u);
            EXPECT_EQ(entry.pcRate, 460800u);
            EXPECT_FALSE(entry.garbled);
        }
    }
    EXPECT_TRUE(sawHeader);
}

struct AnswerCase {
    const char* what;
    uint8_t modelCode;
    uint8_t subCode;
    std::optional<uint8_t> lead;
    std::size_t length;
};

void PrintTo(const AnswerCase& value, std::ostream* out)
{
    *out << value.what;
}

class BadHandshakeTest : public LinkEndToEnd, public testing::WithParamInterface<AnswerCase> {};

// 0xE6 would name a model in the table, but a handshake must lead with 0xE7; a cut answer leaves
// part of the buffer's "Err", which names no desk.
TEST_P(BadHandshakeTest, EndsWithBadAnswerAndLeavesTheNameAlone)
{
    desk::DeskConfig config;
    config.modelCode = GetParam().modelCode;
    config.subCode = GetParam().subCode;
    config.faults.handshakeLead = GetParam().lead;
    config.faults.handshakeLength = GetParam().length;
    StartDesk(config);
    views.mixerName = "previous";

    EXPECT_EQ(RunGetInfo(), 8);

    EXPECT_EQ(test::SettledBytesFromPc(*desk), kListCommand);
    EXPECT_EQ(views.mixerName, "previous");
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Error: Bad answer code from mixer !"});
}

INSTANTIATE_TEST_SUITE_P(Answers, BadHandshakeTest,
                         testing::Values(AnswerCase{"lead E6", 0x0C, 0x00, 0xE6, 3},
                                         AnswerCase{"unknown pair", 0x0C, 0x30, std::nullopt, 3},
                                         AnswerCase{"one byte", 0x0C, 0x00, std::nullopt, 1},
                                         AnswerCase{"two bytes", 0x0C, 0x00, std::nullopt, 2}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(LinkEndToEnd, ASilentDeskIsGreetedThreeTimesThenNotResponding)
{
    desk::DeskConfig config;
    config.faults.silent = true;
    StartDesk(config);

    const auto start = Clock::now();
    EXPECT_EQ(RunGetInfo(), 7);

    EXPECT_GE(std::chrono::duration<double>(Clock::now() - start).count(), 3.0);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), Concat({kListCommand, kListCommand, kListCommand}));
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Error: Mixer not responding !"});
}

TEST_F(LinkEndToEnd, AHeldDeviceCannotBeInitialisedAndNothingIsSent)
{
    StartDesk();
    const int holder = open(desk->DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    EXPECT_EQ(RunGetInfo(), 5);
    close(holder);

    EXPECT_EQ(test::SettledBytesFromPc(*desk), Bytes{});
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Error: Cannot initialize device!"});
}

TEST_F(LinkEndToEnd, AWrongSumIsRefusedAndTheBlockReadAfresh)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(5);
    config.faults.corruptSum = {{1, 1}};
    StartDesk(config);

    EXPECT_EQ(RunGetInfo(), 0);
    EXPECT_EQ(PcBytesAfter(4), Concat({k57600, kAck, kNak, kAck}));
}

TEST_F(LinkEndToEnd, FifteenRefusalsSpreadOverTheTransferEndItRightAfterTheLast)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(64); // exactly three list blocks
    config.faults.corruptSum = {{0, 5}, {1, 5}, {2, 5}};
    StartDesk(config);

    EXPECT_EQ(RunGetInfo(), 10);
    EXPECT_EQ(PcBytesAfter(4), Concat({k57600, Repeat(0xE7, 5), kAck, Repeat(0xE7, 5), kAck, Repeat(0xE7, 5)}));
    EXPECT_EQ(views.Matching("dialog"),
              std::vector<std::string>{
                  "dialog Error: Problems with communication or communication broken !\nControl the cable !"});
}

TEST_F(LinkEndToEnd, ABlockArrivingInPiecesIsAcceptedWhole)
{
    desk::DeskConfig config;
    config.fixtures = desk::test::Library(5);
    config.faults.pieces = {100, 100, 58};
    config.faults.pieceDelayMs = 40;
    StartDesk(config);

    EXPECT_EQ(RunGetInfo(), 0);
    EXPECT_EQ(PcBytesAfter(4), Concat({k57600, kAck, kAck}));
}

TEST_F(LinkEndToEnd, AHeaderAnnouncingNoBlocksEndsTheLoopAtOnce)
{
    StartDesk(); // no fixtures: no list blocks
    EXPECT_EQ(RunGetInfo(), 0);
    EXPECT_EQ(PcBytesAfter(4), Concat({k57600, kAck}));
    EXPECT_EQ(views.Matching("progress.position"), std::vector<std::string>{"progress.position=0"});
    EXPECT_EQ(views.Matching("progress.show").size(), 1u);
}

TEST_F(LinkEndToEnd, CancelDuringAReceiveEndsWithinOneReadAndSendsNothingMore)
{
    StartDesk(desk::test::SlowListDesk());
    Clock::time_point cancelledAt;
    views.onRecord = [&](const std::string& entry) {
        if (entry == "progress.show") {
            cancelledAt = Clock::now();
            views.attached->Terminate();
        }
    };

    EXPECT_EQ(RunGetInfo(), 9);

    EXPECT_LT(std::chrono::duration<double>(Clock::now() - cancelledAt).count(), 3.0);
    // The header was accepted before the progress window showed; the list block in flight is not.
    EXPECT_EQ(test::SettledBytesFromPc(*desk), Concat({kListCommand, k57600, kAck}));
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: Transmission interrupted by user."});
    EXPECT_EQ(views.mixerName, "    Korvan 1  ");
}

struct MismatchCase {
    const char* what;
    uint32_t requested;
    bool deskIgnoresSwitch;
};

void PrintTo(const MismatchCase& value, std::ostream* out)
{
    *out << value.what;
}

class RateMismatchTest : public LinkEndToEnd, public testing::WithParamInterface<MismatchCase> {};

// Both ends must run at one rate after the switch; when they do not, every byte arrives garbled
// and the first exchange at the new rate fails.
TEST_P(RateMismatchTest, EndsWithALineFailure)
{
    desk::DeskConfig config;
    config.faults.ignoreRateSwitch = GetParam().deskIgnoresSwitch;
    StartDesk(config);
    EXPECT_EQ(RunGetInfo(GetParam().requested), 10);
    bool sawGarble = false;
    for (const auto& entry : desk->Transcript())
        sawGarble = sawGarble || entry.garbled;
    EXPECT_TRUE(sawGarble);
}

INSTANTIATE_TEST_SUITE_P(Ends, RateMismatchTest,
                         testing::Values(MismatchCase{"PcRefusesTheRate", 12345, false},
                                         MismatchCase{"DeskStaysAt9600", 0, true}),
                         [](const auto& info) { return std::string(info.param.what); });

} // namespace
} // namespace olk
