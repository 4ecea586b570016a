#include "desk/commandreader.h"

#include "link/commands.h"

#include <algorithm>
#include <span>
#include <utility>

namespace olk::desk {

namespace {

struct KnownCommand {
    std::span<const uint8_t> bytes;
    Command command;
};

constexpr KnownCommand kKnownCommands[] = {
    {command::kFirmware, Command::Firmware},       {command::kBackup, Command::Backup},
    {command::kRestore, Command::Restore},         {command::kFixtureList, Command::FixtureList},
    {command::kGetFixture, Command::GetFixture},   {command::kAddFixture, Command::AddFixture},
    {command::kFreeMemory, Command::FreeMemory},   {command::kRemoveFixture, Command::RemoveFixture},
};

bool BeginsACommand(std::span<const uint8_t> heard)
{
    return std::any_of(std::begin(kKnownCommands), std::end(kKnownCommands), [&](const KnownCommand& known) {
        return heard.size() <= known.bytes.size() && std::equal(heard.begin(), heard.end(), known.bytes.begin());
    });
}

std::optional<Command> CompletedCommand(std::span<const uint8_t> heard)
{
    for (const KnownCommand& known : kKnownCommands)
        if (std::equal(heard.begin(), heard.end(), known.bytes.begin(), known.bytes.end()))
            return known.command;
    return std::nullopt;
}

} // namespace

std::optional<Command> CommandReader::Feed(uint8_t byte)
{
    heard_.push_back(byte);
    while (!heard_.empty() && !BeginsACommand(heard_))
        heard_.erase(heard_.begin());
    std::optional<Command> command = CompletedCommand(heard_);
    if (command)
        heard_.clear();
    return command;
}

} // namespace olk::desk
