#include "desk/ptyline.h"

#include "link/commands.h"
#include "link/datablock.h"
#include "tests/desk/pcport.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/ioctl.h>

namespace olk::desk {
namespace {

using namespace std::chrono_literals;

TEST(DeskLine, GarbageNeverEqualsTheByteSentNorPassesForAnAnswer)
{
    for (uint64_t position = 0; position < 64; ++position) {
        for (int value = 0; value < 256; ++value) {
            const auto byte = static_cast<uint8_t>(value);
            const uint8_t garbled = GarbleByte(byte, position);
            ASSERT_NE(garbled, byte) << "byte " << value << " at " << position;
            ASSERT_NE(garbled, kAck);
            ASSERT_NE(garbled, kNak);
            ASSERT_NE(garbled, command::kLead0);
        }
    }
}

TEST(DeskLine, BytesCrossIntactOnlyAtTheSameSpeed)
{
    PtyLine line(false);
    test::PcPort pc(line.DevicePath(), 9600);
    const std::vector<uint8_t> sent{0x01, 0x02, 0xE6, 0xFE};
    struct Case {
        uint32_t pcRate;
        uint32_t deskRate;
        bool garbled;
    };
    for (Case c : {Case{9600, 9600, false}, Case{57600, 57600, false}, Case{9600, 57600, true}, Case{115200, 9600, true}}) {
        SCOPED_TRACE(testing::Message() << "pc " << c.pcRate << " desk " << c.deskRate);
        pc.SetRate(c.pcRate);
        line.SetDeskRate(c.deskRate);
        line.Write(sent);
        const std::vector<uint8_t> atPc = pc.Receive(sent.size());
        pc.Send(sent);
        const std::vector<uint8_t> atDesk = line.ReadExactly(sent.size(), 2s);
        ASSERT_EQ(atPc.size(), sent.size());
        ASSERT_EQ(atDesk.size(), sent.size());
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(atPc[i] != sent[i], c.garbled) << "to the PC, byte " << i;
            EXPECT_EQ(atDesk[i] != sent[i], c.garbled) << "to the desk, byte " << i;
        }
        const std::vector<TranscriptEntry> entries = line.Log().Entries();
        ASSERT_GE(entries.size(), 2u);
        const TranscriptEntry& toPc = entries[entries.size() - 2];
        EXPECT_EQ(toPc.direction, TranscriptEntry::Direction::DeskToPc);
        EXPECT_EQ(toPc.bytes, sent) << "the transcript keeps what was sent";
        EXPECT_EQ(toPc.garbled, c.garbled);
        EXPECT_EQ(toPc.pcRate, c.pcRate);
        EXPECT_EQ(toPc.deskRate, c.deskRate);
        EXPECT_EQ(entries.back().direction, TranscriptEntry::Direction::PcToDesk);
        EXPECT_EQ(entries.back().garbled, c.garbled);
    }
}

TEST(DeskLine, ThePcClosingItsPortLosesWhatItDidNotReadAndFreesThePort)
{
    PtyLine line(false);
    std::thread desk([&] {
        // The desk listens, as the simulator's worker does, so it follows the PC's openings.
        try {
            line.Write(std::vector<uint8_t>{0xE7, 0x0C, 0x00});
            line.ReadSome(1, std::nullopt);
        } catch (const LineStopped&) {
        }
    });
    {
        test::PcPort first(line.DevicePath());
        ioctl(first.Handle(), TIOCEXCL);
        ASSERT_FALSE(first.Receive(1, 2s).empty()) << "the desk's bytes wait for the PC";
    }
    int exclusive = 1;
    std::unique_ptr<test::PcPort> second;
    for (int attempt = 0; attempt < 200 && exclusive != 0; ++attempt) {
        std::this_thread::sleep_for(5ms);
        second = std::make_unique<test::PcPort>(line.DevicePath()); // root may open an exclusive port
        ioctl(second->Handle(), TIOCGEXCL, &exclusive);
    }
    EXPECT_EQ(exclusive, 0) << "the exclusive claim ends with the PC's close";
    EXPECT_TRUE(second->Receive(1, 50ms).empty()) << "the two bytes the first PC left unread are gone";
    line.RequestStop();
    desk.join();
}

TEST(DeskLine, PacedBytesTakeAtLeastTheirLineTime)
{
    PtyLine line(true);
    test::PcPort pc(line.DevicePath(), 115200);
    line.SetDeskRate(115200);
    const std::vector<uint8_t> bytes(1152, 0x33); // 100 ms of line time at 115200
    const auto start = std::chrono::steady_clock::now();
    line.Write(bytes);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(pc.Receive(bytes.size()), bytes);
}

TEST(DeskLine, PacedBytesFromThePcReachTheDeskAfterTheirLineTime)
{
    PtyLine line(true);
    test::PcPort pc(line.DevicePath(), 115200);
    line.SetDeskRate(115200);
    const std::vector<uint8_t> bytes(1152, 0x5C); // 100 ms of line time at 115200
    const auto start = std::chrono::steady_clock::now();
    pc.Send(bytes);
    EXPECT_EQ(line.ReadExactly(bytes.size(), 1s), bytes);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
}

TEST(DeskLine, StoppingEndsEveryWait)
{
    PtyLine line(false);
    std::thread waiter([&] { EXPECT_THROW(line.ReadSome(1, std::nullopt), LineStopped); });
    line.RequestStop();
    waiter.join();
    EXPECT_THROW(line.Pause(10s), LineStopped);
}

} // namespace
} // namespace olk::desk
