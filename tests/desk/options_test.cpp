#include "desk/options.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace olk::desk {
namespace {

ProgramOptions Parse(std::vector<std::string_view> arguments)
{
    return ParseOptions(arguments);
}

TEST(DeskOptions, EachOptionReachesItsSetting)
{
    struct Case {
        std::vector<std::string_view> arguments;
        std::function<void(const ProgramOptions&)> check;
    };
    const Case cases[] = {
        {{"--model", "0x18", "--sub", "166"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.config.modelCode, 0x18);
             EXPECT_EQ(o.config.subCode, 0xA6);
         }},
        {{"--release=3.1"}, [](const ProgramOptions& o) { EXPECT_EQ(o.config.release, "3.1"); }},
        {{"--user-data", "a.wrk", "--fixture", "x.fxt", "--fixture", "y.fxt"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.userDataFile, "a.wrk");
             EXPECT_EQ(o.fixtureFiles, (std::vector<std::string>{"x.fxt", "y.fxt"}));
         }},
        {{"--free-memory", "4294967295"}, [](const ProgramOptions& o) { EXPECT_EQ(o.config.freeMemory, 4294967295u); }},
        {{"--firmware", "refuse"}, [](const ProgramOptions& o) { EXPECT_EQ(o.config.firmwareVerdict, 0xA7); }},
        {{"--firmware", "accept"}, [](const ProgramOptions& o) { EXPECT_EQ(o.config.firmwareVerdict, 0xA6); }},
        {{"--firmware", "silent"}, [](const ProgramOptions& o) { EXPECT_FALSE(o.config.firmwareVerdict); }},
        {{"--firmware", "0xE6"}, [](const ProgramOptions& o) { EXPECT_EQ(o.config.firmwareVerdict, 0xE6); }},
        {{"--patched", "PAR64", "--patched", "WASH"},
         [](const ProgramOptions& o) { EXPECT_EQ(o.config.patchedFixtures, (std::set<std::string>{"PAR64", "WASH"})); }},
        {{"--remove-answer", "0x00"}, [](const ProgramOptions& o) { EXPECT_EQ(o.config.removeAnswer, 0x00); }},
        {{"--pace", "--switch-settle", "40", "--idle-reset", "300"},
         [](const ProgramOptions& o) {
             EXPECT_TRUE(o.config.pace);
             EXPECT_EQ(o.config.switchSettleMs, 40);
             EXPECT_EQ(o.config.transferIdleResetMs, 300);
         }},
        {{"--silent", "--silent-after-baud", "--ignore-switch", "--silent-free-memory"},
         [](const ProgramOptions& o) {
             EXPECT_TRUE(o.config.faults.silent);
             EXPECT_TRUE(o.config.faults.silentAfterBaudValue);
             EXPECT_TRUE(o.config.faults.ignoreRateSwitch);
             EXPECT_TRUE(o.config.faults.silentFreeMemory);
         }},
        {{"--silent-at-block", "3", "--silent-answer-at-block", "2"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.config.faults.silentAtBlock, 3);
             EXPECT_EQ(o.config.faults.silentAnswerAtBlock, 2);
         }},
        {{"--lead", "0xE6", "--handshake-length", "2", "--free-memory-length", "1"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.config.faults.handshakeLead, 0xE6);
             EXPECT_EQ(o.config.faults.handshakeLength, 2u);
             EXPECT_EQ(o.config.faults.freeMemoryLength, 1u);
         }},
        {{"--corrupt-sum", "1", "--corrupt-sum", "0:3", "--nak-block", "2:15", "--nak-block", "4"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.config.faults.corruptSum, (std::map<int, int>{{0, 3}, {1, 1}}));
             EXPECT_EQ(o.config.faults.nakBlocks, (std::map<int, int>{{2, 15}, {4, 1}}));
         }},
        {{"--answer-byte", "3:0x00", "--answer-byte", "0:0xE6"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.config.faults.answerByte, (std::map<int, uint8_t>{{0, 0xE6}, {3, 0x00}}));
         }},
        {{"--pieces", "100,100,58", "--piece-delay", "20"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.config.faults.pieces, (std::vector<std::size_t>{100, 100, 58}));
             EXPECT_EQ(o.config.faults.pieceDelayMs, 20);
         }},
        {{"--transcript", "t.txt", "--publish", "COM3", "--until-stdin-eof"},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.transcriptFile, "t.txt");
             EXPECT_EQ(o.publishedPort, "COM3");
             EXPECT_TRUE(o.untilStdinEof);
         }},
        {{"-h"}, [](const ProgramOptions& o) { EXPECT_TRUE(o.help); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        c.check(Parse(c.arguments));
    }
}

TEST(DeskOptions, RefusesWhatItCannotRunWith)
{
    const std::vector<std::vector<std::string_view>> cases = {
        {"--bogus"},
        {"stray"},
        {"--model"},
        {"--model", "256"},
        {"--model", "twelve"},
        {"--sub", "0x"},
        {"--pace=yes"},
        {"--release", "12345678"},
        {"--firmware", "maybe"},
        {"--handshake-length", "4"},
        {"--free-memory-length", "5"},
        {"--answer-byte", "3"},
        {"--pieces", "100,,58"},
        {"--pieces", "259"},
        {"--publish", "COM9"},
        {"--publish", "LPT1"},
        {"--corrupt-sum", "1:x"},
    };
    for (const auto& arguments : cases)
        EXPECT_THROW(Parse(arguments), OptionError) << arguments.front() << " " << arguments.back();
}

} // namespace
} // namespace olk::desk
