#pragma once
// Picks the operation commands out of what the desk hears while idle. Bytes that cannot begin a
// command (line noise, garbage at a wrong speed, the tail of a transfer the desk gave up) are
// skipped, and a command cut short is dropped as soon as the next bytes cannot continue it.
#include <cstdint>
#include <optional>
#include <vector>

namespace olk::desk {

enum class Command { Firmware, Backup, Restore, FixtureList, GetFixture, AddFixture, FreeMemory, RemoveFixture };

class CommandReader {
public:
    // The command this byte completes, if any.
    std::optional<Command> Feed(uint8_t byte);

private:
    std::vector<uint8_t> heard_; // always the beginning of at least one command
};

} // namespace olk::desk
