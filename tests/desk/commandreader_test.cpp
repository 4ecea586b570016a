#include "desk/commandreader.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace olk::desk {
namespace {

struct HeardCase {
    const char* what;
    std::vector<uint8_t> heard;
    std::vector<Command> expected; // the commands recognised, in order
};

std::vector<Command> Recognised(const std::vector<uint8_t>& heard)
{
    CommandReader reader;
    std::vector<Command> commands;
    for (uint8_t byte : heard)
        if (std::optional<Command> command = reader.Feed(byte))
            commands.push_back(*command);
    return commands;
}

TEST(DeskCommandReader, PicksCommandsOutOfWhatTheDeskHears)
{
    const HeardCase cases[] = {
        {"firmware, three bytes", {0xE5, 0x57, 0xA0}, {Command::Firmware}},
        {"backup", {0xE5, 0x57, 0xA5, 0x7F}, {Command::Backup}},
        {"restore", {0xE5, 0x57, 0xA5, 0x80}, {Command::Restore}},
        {"fixture list", {0xE5, 0x57, 0xA4, 0x81}, {Command::FixtureList}},
        {"get fixture", {0xE5, 0x57, 0xA4, 0x82}, {Command::GetFixture}},
        {"add fixture", {0xE5, 0x57, 0xA4, 0x83}, {Command::AddFixture}},
        {"free memory", {0xE5, 0x57, 0xA4, 0x84}, {Command::FreeMemory}},
        {"remove fixture", {0xE5, 0x57, 0xA4, 0x85}, {Command::RemoveFixture}},
        {"noise before a command", {0x00, 0x57, 0xE6, 0xE5, 0x57, 0xA4, 0x84}, {Command::FreeMemory}},
        {"a cut command, then a whole one", {0xE5, 0x57, 0xA4, 0xE5, 0x57, 0xA5, 0x7F}, {Command::Backup}},
        {"a doubled lead byte", {0xE5, 0xE5, 0x57, 0xA0}, {Command::Firmware}},
        {"unknown fourth byte", {0xE5, 0x57, 0xA4, 0x86}, {}},
        {"unknown third byte", {0xE5, 0x57, 0xA1, 0x81}, {}},
        {"two commands back to back",
         {0xE5, 0x57, 0xA4, 0x84, 0xE5, 0x57, 0xA4, 0x84},
         {Command::FreeMemory, Command::FreeMemory}},
        {"bytes after a command begin afresh", {0xE5, 0x57, 0xA0, 0xA4, 0x84}, {Command::Firmware}},
    };
    for (const HeardCase& c : cases)
        EXPECT_EQ(Recognised(c.heard), c.expected) << c.what;
}

} // namespace
} // namespace olk::desk
