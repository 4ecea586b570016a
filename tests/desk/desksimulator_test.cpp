#include "desk/desksimulator.h"

#include "link/commands.h"
#include "link/datablock.h"
#include "link/littleendian.h"
#include "tests/desk/pcport.h"
#include "tests/support/testimages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

#include <sys/ioctl.h>

namespace olk::desk {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::PcPort;
using Direction = TranscriptEntry::Direction;

// Every test that must see the desk stay silent waits this long, once.
constexpr auto kSilence = 150ms;

Bytes Value32(uint32_t value)
{
    Bytes bytes(4);
    WriteDWord(bytes.data(), 0, value);
    return bytes;
}

Bytes NameField(std::string name)
{
    name.resize(command::kFixtureNameSize, '\0');
    return Bytes(name.begin(), name.end());
}

Bytes Block(const Bytes& image, std::size_t index)
{
    return test::BlockOf(std::span(image).subspan(index * 256, 256));
}

// What a PC makes of one transfer from the desk.
struct Reception {
    Bytes image;                 // the data bytes of every accepted block
    std::map<int, int> badSums;  // block -> copies that arrived with a wrong sum
};

class DeskOnLine : public testing::Test {
protected:
    void Start(DeskConfig config = {})
    {
        desk_ = std::make_unique<DeskSimulator>(std::move(config));
        pc_ = std::make_unique<PcPort>(desk_->DevicePath());
    }

    DeskSimulator& Desk() { return *desk_; }
    PcPort& Pc() { return *pc_; }

    // The PC's side of a handshake: command at 9600, the desk's answer, the rate announced, and
    // the PC's own switch to it unless told to stay.
    Bytes Negotiate(std::span<const uint8_t> command, uint32_t rate, bool pcSwitches = true)
    {
        Pc().SetRate(9600);
        Pc().Send(command);
        Bytes answer = Pc().Receive(3);
        if (answer.size() != 3)
            throw std::runtime_error("no handshake answer");
        Pc().Send(Value32(rate));
        if (pcSwitches)
            Pc().SetRate(rate);
        return answer;
    }

    Bytes ReceiveBlock(int index, Reception& reception)
    {
        for (;;) {
            Bytes block = Pc().Receive(kBlockSize);
            if (block.size() != kBlockSize)
                throw std::runtime_error("block " + std::to_string(index) + " did not arrive");
            if (BlockSumMatches(block.data())) {
                Pc().Send(kAck);
                return Bytes(block.begin(), block.begin() + kBlockDataSize);
            }
            ++reception.badSums[index];
            Pc().Send(kNak);
        }
    }

    // Receives a header block and the blocks it announces, answering as a PC does.
    Reception ReceiveTransfer()
    {
        Reception reception;
        reception.image = ReceiveBlock(0, reception);
        const uint32_t count = ReadDWord(reception.image.data(), 8);
        for (uint32_t i = 1; i <= count; ++i) {
            Bytes record = ReceiveBlock(static_cast<int>(i), reception);
            reception.image.insert(reception.image.end(), record.begin(), record.end());
        }
        return reception;
    }

    // Sends the image block by block, resending after a NAK; the blocks listed in badOnce go out
    // once with a wrong sum first. Returns every answer the desk gave, stopping at one that is
    // neither ACK nor NAK, or at none.
    Bytes SendTransfer(const Bytes& image, const std::set<std::size_t>& badOnce = {})
    {
        Bytes answers;
        std::set<std::size_t> spoiled;
        for (std::size_t index = 0; index * 256 < image.size();) {
            Bytes block = Block(image, index);
            if (badOnce.count(index) != 0 && spoiled.insert(index).second)
                ++block[256];
            Pc().Send(block);
            Bytes answer = Pc().Receive(1);
            if (answer.empty())
                return answers;
            answers.push_back(answer[0]);
            if (answer[0] == kAck)
                ++index;
            else if (answer[0] != kNak)
                return answers;
        }
        return answers;
    }

    uint32_t AskFreeMemory()
    {
        Pc().SetRate(9600);
        Pc().Send(command::kFreeMemory);
        Bytes answer = Pc().Receive(4);
        if (answer.size() != 4)
            throw std::runtime_error("no free memory answer");
        return ReadDWord(answer.data(), 0);
    }

    // True once the desk has heard this many bytes from the PC. A PC changes its speed only after
    // the desk took what it sent at the old one; a test that switches must wait for that too.
    bool HeardFromPc(std::size_t count)
    {
        for (int i = 0; i < 400; ++i) {
            if (Desk().BytesFromPc().size() >= count)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    // True once the desk is back at 9600; transfers end there by themselves.
    bool BackToIdle()
    {
        for (int i = 0; i < 400; ++i) {
            if (Desk().Rate() == 9600)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    std::vector<TranscriptEntry> EntriesToPc()
    {
        std::vector<TranscriptEntry> entries = Desk().Transcript();
        std::erase_if(entries, [](const TranscriptEntry& e) { return e.direction != Direction::DeskToPc; });
        return entries;
    }

private:
    std::unique_ptr<DeskSimulator> desk_;
    std::unique_ptr<PcPort> pc_;
};

TEST_F(DeskOnLine, AnswersTheHandshakeWithLeadModelAndSubCode)
{
    struct Case {
        const char* what;
        std::span<const uint8_t> command;
        uint8_t model;
        uint8_t sub;
        std::optional<uint8_t> lead;
        std::size_t length;
        Bytes expected;
    };
    const Case cases[] = {
        {"backup, default desk", command::kBackup, 0x0C, 0x00, std::nullopt, 3, {0xE7, 0x0C, 0x00}},
        {"fixture list, Korvan 2/XT", command::kFixtureList, 0x18, 0xA6, std::nullopt, 3, {0xE7, 0x18, 0xA6}},
        {"firmware", command::kFirmware, 0x14, 0xA6, std::nullopt, 3, {0xE7, 0x14, 0xA6}},
        {"restore with a wrong lead byte", command::kRestore, 0x0C, 0x00, 0xE6, 3, {0xE6, 0x0C, 0x00}},
        {"get fixture, cut to two bytes", command::kGetFixture, 0x0C, 0x00, std::nullopt, 2, {0xE7, 0x0C}},
        {"add fixture, cut to one byte", command::kAddFixture, 0x0C, 0x00, std::nullopt, 1, {0xE7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeskConfig config;
        config.modelCode = c.model;
        config.subCode = c.sub;
        config.faults.handshakeLead = c.lead;
        config.faults.handshakeLength = c.length;
        Start(config);
        Pc().Send(c.command);
        EXPECT_EQ(Pc().Receive(c.expected.size()), c.expected);
        EXPECT_EQ(Desk().BytesToPc(), c.expected) << "the answer went out in one run, nothing more";
    }
}

TEST_F(DeskOnLine, BacksUpItsUserDataAtTheAnnouncedRate)
{
    DeskConfig config;
    config.userData = test::WorkFile(3, 5);
    Start(config);
    Negotiate(command::kBackup, 57600);
    EXPECT_EQ(ReceiveTransfer().image, config.userData);
    EXPECT_TRUE(BackToIdle());

    std::vector<TranscriptEntry> toPc = EntriesToPc();
    ASSERT_EQ(toPc.size(), 5u) << "the handshake answer and four blocks";
    EXPECT_EQ(toPc[0].deskRate, 9600u);
    for (std::size_t i = 1; i < toPc.size(); ++i) {
        EXPECT_EQ(toPc[i].deskRate, 57600u);
        EXPECT_EQ(toPc[i].pcRate, 57600u) << "the desk waited for the PC to follow";
        EXPECT_FALSE(toPc[i].garbled);
    }
}

TEST_F(DeskOnLine, GeneratedUserDataArrivesWithATrueHeader)
{
    DeskConfig config;
    config.release = "5.55";
    Start(config);
    Negotiate(command::kBackup, 115200);
    const Bytes image = ReceiveTransfer().image;
    EXPECT_EQ(image, Desk().UserData());
    EXPECT_EQ(ReadDWord(image.data(), 0), test::RecordSum(image));
    EXPECT_EQ(ReadDWord(image.data(), 8), image.size() / 256 - 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + 12), "5.55");
}

TEST_F(DeskOnLine, ResendsTheWholeBlockAfterANak)
{
    Start();
    Negotiate(command::kBackup, 38400);
    const Bytes first = Pc().Receive(kBlockSize);
    Pc().Send(kNak);
    const Bytes second = Pc().Receive(kBlockSize);
    EXPECT_EQ(second, first);
    Pc().Send(kAck);
    const Bytes next = Pc().Receive(kBlockSize);
    ASSERT_EQ(next.size(), kBlockSize);
    EXPECT_TRUE(std::equal(next.begin(), next.begin() + 256, Desk().UserData().begin() + 256)) << "then the first record";
}

TEST_F(DeskOnLine, SendsChosenBlocksWithAWrongSumSoManyTimes)
{
    for (const std::map<int, int>& corrupt : {std::map<int, int>{{0, 1}}, std::map<int, int>{{1, 2}, {4, 1}},
                                              std::map<int, int>{{2, 15}}}) {
        DeskConfig config;
        config.faults.corruptSum = corrupt;
        Start(config);
        Negotiate(command::kBackup, 19200);
        Reception reception = ReceiveTransfer();
        EXPECT_EQ(reception.badSums, corrupt);
        EXPECT_EQ(reception.image, Desk().UserData()) << "the data bytes were never touched";
    }
}

TEST_F(DeskOnLine, WritesEveryBlockInTheGivenPiecesWithPauses)
{
    DeskConfig config;
    config.faults.pieces = {100, 100, 50};
    config.faults.pieceDelayMs = 15;
    Start(config);
    Negotiate(command::kBackup, 57600);
    EXPECT_EQ(ReceiveTransfer().image, Desk().UserData());

    std::vector<TranscriptEntry> toPc = EntriesToPc();
    ASSERT_EQ(toPc.size(), 1u + 5u * 4u) << "the handshake, then four pieces for each of five blocks";
    for (std::size_t block = 0; block < 5; ++block) {
        const TranscriptEntry* pieces = &toPc[1 + block * 4];
        EXPECT_EQ(pieces[0].bytes.size(), 100u);
        EXPECT_EQ(pieces[1].bytes.size(), 100u);
        EXPECT_EQ(pieces[2].bytes.size(), 50u);
        EXPECT_EQ(pieces[3].bytes.size(), 8u) << "what the pieces leave goes out as one more";
        for (int i = 1; i < 4; ++i)
            EXPECT_GE(pieces[i].time - pieces[i - 1].time, 15ms);
    }
}

TEST_F(DeskOnLine, ListsTwentyTwoFixturesInTwoBlocksThenAnswersFreeMemoryAt9600)
{
    DeskConfig config;
    config.freeMemory = 1048575;
    for (int i = 0; i < 22; ++i) {
        std::string name = "FIXTURE" + std::to_string(i);
        config.fixtures.push_back(Fixture{name, test::FixtureFile(name, 10)});
    }
    Start(config);
    Negotiate(command::kFixtureList, 38400);
    const Bytes list = ReceiveTransfer().image;
    ASSERT_EQ(list.size(), 3u * 256u);
    EXPECT_EQ(ReadDWord(list.data(), 8), 2u);
    EXPECT_EQ(ReadWord(list.data(), 156), 22u);
    EXPECT_EQ(ReadDWord(list.data(), 0), test::RecordSum(list));
    EXPECT_EQ(std::string(list.begin() + 256 + 21 * 12, list.begin() + 256 + 21 * 12 + 9), "FIXTURE21");
    EXPECT_EQ(list[256 + 22 * 12], 0xFF) << "the end of the list";

    EXPECT_EQ(AskFreeMemory(), 1048575u) << "the desk went back to 9600 by itself";
    EXPECT_EQ(Desk().Rate(), 9600u);
}

TEST_F(DeskOnLine, AnEmptyLibraryIsAHeaderAlone)
{
    Start();
    Negotiate(command::kFixtureList, 57600);
    const Bytes list = ReceiveTransfer().image;
    EXPECT_EQ(list.size(), 256u);
    EXPECT_EQ(ReadWord(list.data(), 156), 0u);
    EXPECT_EQ(AskFreeMemory(), 200000u);
}

TEST_F(DeskOnLine, AnswersRemovalsByWhatItHolds)
{
    struct Case {
        const char* name;
        std::optional<uint8_t> override;
        uint8_t answer;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"PAR64", std::nullopt, kAck, {"WASH"}},
        {"WASH", std::nullopt, kNak, {"PAR64", "WASH"}},
        {"NOSUCH", std::nullopt, kNak, {"PAR64", "WASH"}},
        {"PAR64", 0x42, 0x42, {"PAR64", "WASH"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeskConfig config;
        config.fixtures = {Fixture{"PAR64", test::FixtureFile("PAR64", 300)}, Fixture{"WASH", test::FixtureFile("WASH", 400)}};
        config.patchedFixtures = {"WASH"};
        config.removeAnswer = c.override;
        Start(config);
        Pc().Send(command::kRemoveFixture);
        Pc().Send(NameField(c.name));
        EXPECT_EQ(Pc().Receive(1), Bytes{c.answer});
        std::vector<std::string> left;
        for (const Fixture& fixture : Desk().Fixtures())
            left.push_back(fixture.name);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(Desk().FreeMemory(), c.left.size() == 1 ? 200300u : 200000u);
    }
}

TEST_F(DeskOnLine, GivesItsVerdictAfterTheWholeFirmwareImage)
{
    Start();
    Bytes image(command::kFirmwareImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 31 + i / 512);
    for (uint8_t verdict : {0xA6, 0xA7, 0xE6}) {
        SCOPED_TRACE(int(verdict));
        Desk().SetFirmwareVerdict(verdict);
        Pc().Send(command::kFirmware);
        EXPECT_EQ(Pc().Receive(3), (Bytes{0xE7, 0x0C, 0x00}));
        Pc().Send(std::span(image).first(image.size() - 1));
        if (verdict == 0xA6) {
            EXPECT_TRUE(Pc().Receive(1, kSilence).empty()) << "no verdict before the last byte";
        }
        Pc().Send(image.back());
        EXPECT_EQ(Pc().Receive(1), Bytes{verdict});
        EXPECT_EQ(Desk().ReceivedFirmware(), image);
        EXPECT_EQ(Desk().Rate(), 9600u) << "the firmware stays at 9600 throughout";
    }
}

TEST_F(DeskOnLine, GarblesBothWaysWhileTheSpeedsDiffer)
{
    struct Case {
        const char* what;
        bool pcSwitches;
        bool deskIgnoresSwitch;
    };
    for (Case c : {Case{"the PC does not switch", false, false}, Case{"the desk does not switch", true, true}}) {
        SCOPED_TRACE(c.what);
        DeskConfig config;
        config.faults.ignoreRateSwitch = c.deskIgnoresSwitch;
        Start(config);
        Negotiate(command::kBackup, 57600, c.pcSwitches);
        const Bytes heard = Pc().Receive(kBlockSize);
        ASSERT_EQ(heard.size(), kBlockSize);
        Pc().Send(kNak); // garbage to the desk as well: neither ACK nor NAK, so the transfer ends
        ASSERT_TRUE(HeardFromPc(4 + 4 + 1));
        EXPECT_EQ(AskFreeMemory(), 200000u) << "the desk gave up the transfer";

        const std::vector<TranscriptEntry> entries = Desk().Transcript();
        auto header = std::find_if(entries.begin(), entries.end(),
                                   [](const TranscriptEntry& e) { return e.bytes.size() == kBlockSize; });
        ASSERT_NE(header, entries.end());
        EXPECT_TRUE(std::equal(header->bytes.begin(), header->bytes.begin() + 256, Desk().UserData().begin()))
            << "the transcript keeps the bytes as sent";
        for (std::size_t i = 0; i < kBlockSize; ++i)
            ASSERT_NE(heard[i], header->bytes[i]) << "byte " << i << " crossed intact";
        EXPECT_TRUE(header->garbled);
        EXPECT_EQ(header->pcRate, c.pcSwitches ? 57600u : 9600u);
        EXPECT_EQ(header->deskRate, c.deskIgnoresSwitch ? 9600u : 57600u);
        const TranscriptEntry& nak = *(header + 1);
        EXPECT_EQ(nak.direction, Direction::PcToDesk);
        EXPECT_EQ(nak.bytes, Bytes{kNak});
        EXPECT_TRUE(nak.garbled);
    }
}

TEST_F(DeskOnLine, WaitsForAPcThatSwitchesLate)
{
    DeskConfig config;
    config.switchSettleMs = 10000;
    Start(config);
    Negotiate(command::kBackup, 115200, false);
    std::this_thread::sleep_for(50ms);
    Pc().SetRate(115200);
    EXPECT_EQ(ReceiveTransfer().image, Desk().UserData());
}

TEST_F(DeskOnLine, AnswersEachBlockItReceives)
{
    const Bytes original = test::WorkFile(2, 1);
    const Bytes restored = test::WorkFile(3, 77);
    struct Case {
        const char* what;
        std::map<int, int> nakBlocks;
        std::map<int, uint8_t> answerByte;
        std::set<std::size_t> badOnce;
        Bytes answers;
        bool stored;
    };
    const Case cases[] = {
        {"every block accepted", {}, {}, {}, {kAck, kAck, kAck, kAck}, true},
        {"a bad sum is refused once", {}, {}, {2}, {kAck, kAck, kNak, kAck, kAck}, true},
        {"the header refused twice", {{0, 2}}, {}, {}, {kNak, kNak, kAck, kAck, kAck, kAck}, true},
        {"a strange answer ends it", {}, {{2, 0x00}}, {}, {kAck, kAck, 0x00}, false},
        {"a forced ACK takes a bad block", {}, {{1, kAck}}, {1}, {kAck, kAck, kAck, kAck}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeskConfig config;
        config.userData = original;
        config.faults.nakBlocks = c.nakBlocks;
        config.faults.answerByte = c.answerByte;
        Start(config);
        Negotiate(command::kRestore, 57600);
        EXPECT_EQ(SendTransfer(restored, c.badOnce), c.answers);
        EXPECT_EQ(AskFreeMemory(), 200000u) << "the desk is idle at 9600 again";
        EXPECT_EQ(Desk().UserData(), c.stored ? restored : original);
    }
}

TEST_F(DeskOnLine, SilentStepsEndTheTransferAndLeaveTheDeskIdle)
{
    struct Case {
        const char* what;
        bool deskSends; // a backup, else a restore
        Faults faults;
        std::size_t blocksThrough; // blocks the PC sees, or gets answered
    };
    Faults afterBaud;
    afterBaud.silentAfterBaudValue = true;
    Faults atHeader;
    atHeader.silentAtBlock = 0;
    Faults atThird;
    atThird.silentAtBlock = 2;
    Faults answerAtSecond;
    answerAtSecond.silentAnswerAtBlock = 1;
    const Case cases[] = {
        {"after the baud value", true, afterBaud, 0},
        {"at the header", true, atHeader, 0},
        {"after two blocks", true, atThird, 2},
        {"no answer to the first record", false, answerAtSecond, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeskConfig config;
        config.faults = c.faults;
        Start(config);
        Negotiate(c.deskSends ? std::span(command::kBackup) : std::span(command::kRestore), 57600);
        if (c.deskSends) {
            Reception reception;
            for (std::size_t i = 0; i < c.blocksThrough; ++i)
                ReceiveBlock(static_cast<int>(i), reception);
        } else {
            const Bytes image = test::WorkFile(3, 3);
            for (std::size_t i = 0; i <= c.blocksThrough; ++i)
                Pc().Send(Block(image, i));
            EXPECT_EQ(Pc().Receive(c.blocksThrough), Bytes(c.blocksThrough, kAck));
        }
        // Had the desk gone on, its next bytes would come before the free memory answer.
        EXPECT_EQ(AskFreeMemory(), 200000u);
    }
}

TEST_F(DeskOnLine, SilentFaultsSendNothing)
{
    struct Case {
        const char* what;
        Faults faults;
        std::optional<uint8_t> verdict;
        std::function<void(PcPort&)> ask;
    };
    Faults silent;
    silent.silent = true;
    Faults noFreeMemory;
    noFreeMemory.silentFreeMemory = true;
    const std::vector<Case> cases = {
        {"a silent desk and the backup", silent, 0xA6, [](PcPort& pc) { pc.Send(command::kBackup); }},
        {"a silent desk and a removal", silent, 0xA6,
         [](PcPort& pc) {
             pc.Send(command::kRemoveFixture);
             pc.Send(NameField("X"));
         }},
        {"no free memory answer", noFreeMemory, 0xA6, [](PcPort& pc) { pc.Send(command::kFreeMemory); }},
        {"no firmware verdict", {}, std::nullopt,
         [](PcPort& pc) {
             pc.Send(command::kFirmware);
             if (pc.Receive(3).size() == 3)
                 pc.Send(Bytes(command::kFirmwareImageSize, 0x5A));
         }},
    };
    // All desks are asked first and then watched over one common wait.
    std::vector<std::unique_ptr<DeskSimulator>> desks;
    std::vector<std::unique_ptr<PcPort>> pcs;
    for (const Case& c : cases) {
        DeskConfig config;
        config.faults = c.faults;
        config.firmwareVerdict = c.verdict;
        desks.push_back(std::make_unique<DeskSimulator>(config));
        pcs.push_back(std::make_unique<PcPort>(desks.back()->DevicePath()));
        c.ask(*pcs.back());
    }
    std::this_thread::sleep_for(kSilence);
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_TRUE(pcs[i]->Receive(1, 0ms).empty()) << cases[i].what;
    EXPECT_EQ(desks.back()->ReceivedFirmware().size(), command::kFirmwareImageSize) << "the image was taken whole";
}

TEST_F(DeskOnLine, CutsTheFreeMemoryAnswerWhenTold)
{
    for (std::size_t length : {1u, 2u, 3u}) {
        DeskConfig config;
        config.freeMemory = 0x04030201;
        config.faults.freeMemoryLength = length;
        Start(config);
        Pc().Send(command::kFreeMemory);
        Bytes expected{0x01, 0x02, 0x03, 0x04};
        expected.resize(length);
        EXPECT_EQ(Pc().Receive(length), expected);
        Pc().Send(command::kFreeMemory);
        EXPECT_EQ(Pc().Receive(length), expected) << "and nothing more came between the two";
    }
}

TEST_F(DeskOnLine, RefusesAHeaderAnnouncingMoreThanItCanHoldWithoutAnswering)
{
    Start();
    Negotiate(command::kRestore, 9600);
    Bytes header(256, 0);
    WriteDWord(header.data(), 8, 0xFFFFFFFF);
    Pc().Send(test::BlockOf(header));
    EXPECT_EQ(AskFreeMemory(), 200000u) << "the first byte back is the free memory, not an answer";
}

TEST_F(DeskOnLine, StoresAnAddedFixtureAndSendsItBack)
{
    DeskConfig config;
    config.fixtures = {Fixture{"SPOT", test::FixtureFile("SPOT", 100)}};
    Start(config);
    const Bytes added = test::FixtureFile("MOVER", 700, 3);
    const Bytes replacement = test::FixtureFile("SPOT", 250, 2);
    for (const Bytes& file : {added, replacement}) {
        Negotiate(command::kAddFixture, 19200);
        EXPECT_EQ(SendTransfer(file), Bytes(file.size() / 256, kAck));
        ASSERT_TRUE(BackToIdle());
    }
    ASSERT_EQ(Desk().Fixtures().size(), 2u);
    EXPECT_EQ(Desk().Fixtures()[0].name, "SPOT");
    EXPECT_EQ(Desk().Fixtures()[0].file, replacement);
    EXPECT_EQ(Desk().Fixtures()[1].name, "MOVER");
    EXPECT_EQ(Desk().FreeMemory(), 200000u - 700u - 250u + 100u);

    for (const auto& [name, file] : {std::pair<std::string, Bytes>{"MOVER", added}, {"SPOT", replacement}}) {
        Negotiate(command::kGetFixture, 115200);
        Pc().Send(NameField(name));
        EXPECT_EQ(ReceiveTransfer().image, file) << name;
        ASSERT_TRUE(BackToIdle());
    }
}

TEST_F(DeskOnLine, AnUnknownFixtureIsAHeaderWithoutRecords)
{
    Start();
    Negotiate(command::kGetFixture, 57600);
    Pc().Send(NameField("NOSUCH"));
    const Bytes header = ReceiveTransfer().image;
    ASSERT_EQ(header.size(), 256u);
    EXPECT_EQ(ReadDWord(header.data(), 8), 0u);
    EXPECT_EQ(ReadDWord(header.data(), 0), 0u);
    EXPECT_EQ(AskFreeMemory(), 200000u) << "nothing more was sent";
}

TEST_F(DeskOnLine, SilenceFromThePcEndsATransfer)
{
    DeskConfig config;
    config.transferIdleResetMs = 100;
    Start(config);
    Negotiate(command::kBackup, 57600);
    ASSERT_EQ(Pc().Receive(kBlockSize).size(), kBlockSize);
    EXPECT_TRUE(BackToIdle()) << "no answer to the header for 100 ms";
    EXPECT_EQ(AskFreeMemory(), 200000u);
}

TEST_F(DeskOnLine, RecordsEveryRunOfBytesWithItsTimeAndRates)
{
    Start();
    Pc().Send(command::kFreeMemory);
    ASSERT_EQ(Pc().Receive(4).size(), 4u);
    Negotiate(command::kFixtureList, 19200);
    ReceiveTransfer();
    ASSERT_TRUE(BackToIdle()) << "the desk took the last ACK";

    Bytes fromPc(command::kFreeMemory.begin(), command::kFreeMemory.end());
    fromPc.insert(fromPc.end(), command::kFixtureList.begin(), command::kFixtureList.end());
    const Bytes rate = Value32(19200);
    fromPc.insert(fromPc.end(), rate.begin(), rate.end());
    fromPc.push_back(kAck);
    EXPECT_EQ(Desk().BytesFromPc(), fromPc);
    const Bytes toPc = Desk().BytesToPc();
    ASSERT_EQ(toPc.size(), 4u + 3u + 258u);
    EXPECT_EQ(ReadDWord(toPc.data(), 0), 200000u);

    const std::vector<TranscriptEntry> entries = Desk().Transcript();
    for (std::size_t i = 1; i < entries.size(); ++i)
        EXPECT_LE(entries[i - 1].time, entries[i].time);
    for (const TranscriptEntry& entry : entries)
        EXPECT_FALSE(entry.garbled);
    EXPECT_EQ(entries.front().pcRate, 9600u);
    EXPECT_EQ(entries.front().deskRate, 9600u);
    EXPECT_EQ(entries.back().bytes, Bytes{kAck});
    EXPECT_EQ(entries.back().pcRate, 19200u);
    EXPECT_EQ(entries.back().deskRate, 19200u);

    Desk().ClearTranscript();
    EXPECT_TRUE(Desk().Transcript().empty());
    EXPECT_TRUE(Desk().BytesFromPc().empty());
}

TEST_F(DeskOnLine, AnswersAPcThatReopensItsPortBetweenAttempts)
{
    Start();
    for (int attempt = 0; attempt < 3; ++attempt) {
        PcPort again(Desk().DevicePath());
        ioctl(again.Handle(), TIOCEXCL);
        again.Send(command::kFreeMemory);
        EXPECT_EQ(again.Receive(4).size(), 4u) << "attempt " << attempt;
    }
}

} // namespace
} // namespace olk::desk
