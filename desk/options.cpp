#include "desk/options.h"

#include "link/commands.h"
#include "link/datablock.h"
#include "userdata/datafile.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>

namespace olk::desk {

namespace {

using Handler = std::function<void(ProgramOptions&, std::string_view)>;

struct Option {
    std::string_view name;
    std::string_view argument; // empty for a switch
    std::string_view meaning;
    Handler apply;
};

// A number in decimal or, with 0x in front, in hexadecimal.
uint64_t Number(std::string_view text, std::string_view option, uint64_t largest)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > largest)
        throw OptionError("--" + std::string(option) + ": not a number from 0 to " + std::to_string(largest) + ": " +
                          std::string(text));
    return value;
}

uint8_t Byte(std::string_view text, std::string_view option)
{
    return static_cast<uint8_t>(Number(text, option, std::numeric_limits<uint8_t>::max()));
}

int Count(std::string_view text, std::string_view option)
{
    return static_cast<int>(Number(text, option, std::numeric_limits<int>::max()));
}

// "K" or "K:REST", for options that name a block and what happens to it.
std::pair<std::string_view, std::string_view> SplitAtColon(std::string_view text)
{
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

// Block index and how many times, the times being 1 when left out.
std::pair<int, int> BlockAndTimes(std::string_view text, std::string_view option)
{
    auto [block, times] = SplitAtColon(text);
    return {Count(block, option), times.empty() ? 1 : Count(times, option)};
}

std::optional<uint8_t> FirmwareVerdict(std::string_view text)
{
    if (text == "accept")
        return command::kFirmwareAccepted;
    if (text == "refuse")
        return command::kFirmwareRefused;
    if (text == "silent")
        return std::nullopt;
    return Byte(text, "firmware");
}

std::vector<std::size_t> Pieces(std::string_view text)
{
    std::vector<std::size_t> pieces;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t comma = std::min(text.find(',', start), text.size());
        pieces.push_back(static_cast<std::size_t>(Number(text.substr(start, comma - start), "pieces", kBlockSize)));
        start = comma + 1;
    }
    return pieces;
}

std::string PublishedPort(std::string_view text)
{
    if (text.size() != 4 || text.substr(0, 3) != "COM" || text[3] < '1' || text[3] > '8')
        throw OptionError("--publish: a port from COM1 to COM8, not " + std::string(text));
    return std::string(text);
}

std::string Release(std::string_view text)
{
    if (text.size() >= datafile::kReleaseSize)
        throw OptionError("--release: at most " + std::to_string(datafile::kReleaseSize - 1) + " characters");
    return std::string(text);
}

const std::vector<Option>& Options()
{
    static const std::vector<Option> options = {
        {"model", "N", "desk model code in the handshake and in every header (default 0x0C)",
         [](ProgramOptions& o, std::string_view v) { o.config.modelCode = Byte(v, "model"); }},
        {"sub", "N", "desk sub-code (default 0x00)",
         [](ProgramOptions& o, std::string_view v) { o.config.subCode = Byte(v, "sub"); }},
        {"release", "TEXT", "firmware release, at most 7 characters (default 2.10)",
         [](ProgramOptions& o, std::string_view v) { o.config.release = Release(v); }},
        {"user-data", "FILE", "a .WRK image the desk holds as its user data (default: a small generated one)",
         [](ProgramOptions& o, std::string_view v) { o.userDataFile = v; }},
        {"fixture", "FILE", "a .FXT image for the fixture library, named as the file names it; repeatable",
         [](ProgramOptions& o, std::string_view v) { o.fixtureFiles.emplace_back(v); }},
        {"free-memory", "N", "free fixture memory in bytes (default 200000)",
         [](ProgramOptions& o, std::string_view v) {
             o.config.freeMemory = static_cast<uint32_t>(Number(v, "free-memory", std::numeric_limits<uint32_t>::max()));
         }},
        {"firmware", "accept|refuse|silent|0xNN", "the byte that follows a firmware image (default accept, 0xA6)",
         [](ProgramOptions& o, std::string_view v) { o.config.firmwareVerdict = FirmwareVerdict(v); }},
        {"patched", "NAME", "a fixture in the patch: its removal is refused; repeatable",
         [](ProgramOptions& o, std::string_view v) { o.config.patchedFixtures.emplace(v); }},
        {"remove-answer", "0xNN", "answer every removal with this byte and remove nothing",
         [](ProgramOptions& o, std::string_view v) { o.config.removeAnswer = Byte(v, "remove-answer"); }},
        {"pace", "", "bytes take their line time at the current rate (10 bits a byte), both ways",
         [](ProgramOptions& o, std::string_view) { o.config.pace = true; }},
        {"switch-settle", "MS", "longest wait for the PC to follow a rate switch (default 25)",
         [](ProgramOptions& o, std::string_view v) { o.config.switchSettleMs = Count(v, "switch-settle"); }},
        {"idle-reset", "MS", "PC silence that ends a transfer and returns the desk to 9600 (default 1500)",
         [](ProgramOptions& o, std::string_view v) { o.config.transferIdleResetMs = Count(v, "idle-reset"); }},
        {"silent", "", "fault: answer no command at all",
         [](ProgramOptions& o, std::string_view) { o.config.faults.silent = true; }},
        {"silent-after-baud", "", "fault: answer the handshake, read the baud value, then nothing",
         [](ProgramOptions& o, std::string_view) { o.config.faults.silentAfterBaudValue = true; }},
        {"silent-at-block", "K", "fault: send the blocks before block K of a transfer (0 = header), then fall silent",
         [](ProgramOptions& o, std::string_view v) { o.config.faults.silentAtBlock = Count(v, "silent-at-block"); }},
        {"lead", "0xNN", "fault: lead byte of the handshake answer instead of 0xE7",
         [](ProgramOptions& o, std::string_view v) { o.config.faults.handshakeLead = Byte(v, "lead"); }},
        {"handshake-length", "N", "fault: send only the first N bytes (0-3) of the handshake answer",
         [](ProgramOptions& o, std::string_view v) {
             o.config.faults.handshakeLength = static_cast<std::size_t>(Number(v, "handshake-length", 3));
         }},
        {"corrupt-sum", "K[:TIMES]", "fault: send block K with a wrong sum TIMES times (default 1); repeatable",
         [](ProgramOptions& o, std::string_view v) {
             auto [block, times] = BlockAndTimes(v, "corrupt-sum");
             o.config.faults.corruptSum[block] = times;
         }},
        {"pieces", "A,B,...", "fault: send every block in pieces of these sizes, the rest as one more piece",
         [](ProgramOptions& o, std::string_view v) { o.config.faults.pieces = Pieces(v); }},
        {"piece-delay", "MS", "fault: pause between two pieces of a block",
         [](ProgramOptions& o, std::string_view v) { o.config.faults.pieceDelayMs = Count(v, "piece-delay"); }},
        {"nak-block", "K[:TIMES]", "fault: answer block K from the PC with NAK TIMES times (default 1); repeatable",
         [](ProgramOptions& o, std::string_view v) {
             auto [block, times] = BlockAndTimes(v, "nak-block");
             o.config.faults.nakBlocks[block] = times;
         }},
        {"answer-byte", "K:0xNN", "fault: answer block K from the PC with this byte; repeatable",
         [](ProgramOptions& o, std::string_view v) {
             auto [block, byte] = SplitAtColon(v);
             if (byte.empty())
                 throw OptionError("--answer-byte: give the block and the byte, as 3:0x00");
             o.config.faults.answerByte[Count(block, "answer-byte")] = Byte(byte, "answer-byte");
         }},
        {"silent-answer-at-block", "K", "fault: give block K from the PC no answer, ending the transfer",
         [](ProgramOptions& o, std::string_view v) {
             o.config.faults.silentAnswerAtBlock = Count(v, "silent-answer-at-block");
         }},
        {"ignore-switch", "", "fault: read the baud value but stay at 9600",
         [](ProgramOptions& o, std::string_view) { o.config.faults.ignoreRateSwitch = true; }},
        {"answer-delay", "MS", "fault: pause before answering each block from the PC",
         [](ProgramOptions& o, std::string_view v) { o.config.faults.answerDelayMs = Count(v, "answer-delay"); }},
        {"firmware-stall", "BYTES:MS", "fault: stop reading a firmware image after BYTES bytes for MS milliseconds",
         [](ProgramOptions& o, std::string_view v) {
             auto [at, ms] = BlockAndTimes(v, "firmware-stall");
             o.config.faults.firmwareStallAt = at;
             o.config.faults.firmwareStallMs = ms;
         }},
        {"announce-records", "N", "fault: every header sent announces N records, whatever follows",
         [](ProgramOptions& o, std::string_view v) { o.config.faults.announcedRecords = Count(v, "announce-records"); }},
        {"wrong-data-sum", "", "fault: every header sent announces a data sum one too high",
         [](ProgramOptions& o, std::string_view) { o.config.faults.wrongDataSum = true; }},
        {"silent-free-memory", "", "fault: no answer to the free-memory command",
         [](ProgramOptions& o, std::string_view) { o.config.faults.silentFreeMemory = true; }},
        {"free-memory-length", "N", "fault: send only the first N bytes (0-4) of the free-memory answer",
         [](ProgramOptions& o, std::string_view v) {
             o.config.faults.freeMemoryLength = static_cast<std::size_t>(Number(v, "free-memory-length", 4));
         }},
        {"transcript", "FILE", "on exit, write every run of bytes: time, direction, rates, hex bytes",
         [](ProgramOptions& o, std::string_view v) { o.transcriptFile = v; }},
        {"publish", "COMn", "print COMn=PATH as the second line, for OLKMIXER_PORTS",
         [](ProgramOptions& o, std::string_view v) { o.publishedPort = PublishedPort(v); }},
        {"until-stdin-eof", "", "also stop when standard input reaches its end",
         [](ProgramOptions& o, std::string_view) { o.untilStdinEof = true; }},
        {"help", "", "print this text",
         [](ProgramOptions& o, std::string_view) { o.help = true; }},
    };
    return options;
}

const Option& Find(std::string_view name)
{
    for (const Option& option : Options())
        if (option.name == name)
            return option;
    throw OptionError("unknown option --" + std::string(name));
}

} // namespace

ProgramOptions ParseOptions(std::span<const std::string_view> arguments)
{
    ProgramOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "-h")
            argument = "--help";
        if (argument.substr(0, 2) != "--")
            throw OptionError("unexpected argument " + std::string(argument));
        argument.remove_prefix(2);
        const std::size_t equals = argument.find('=');
        const Option& option = Find(argument.substr(0, equals));
        std::string_view value;
        if (equals != std::string_view::npos) {
            if (option.argument.empty())
                throw OptionError("--" + std::string(option.name) + " takes no value");
            value = argument.substr(equals + 1);
        } else if (!option.argument.empty()) {
            if (++i == arguments.size())
                throw OptionError("--" + std::string(option.name) + " needs " + std::string(option.argument));
            value = arguments[i];
        }
        option.apply(options, value);
    }
    return options;
}

std::string UsageText()
{
    std::string text = "Usage: olkdesk [OPTION]...\n"
                       "Plays a lighting desk on a pseudo-terminal. Prints the device path on the first line,\n"
                       "then runs until SIGINT or SIGTERM.\n\n";
    for (const Option& option : Options()) {
        std::string head = "  --";
        head += option.name;
        if (!option.argument.empty()) {
            head += ' ';
            head += option.argument;
        }
        head.resize(std::max<std::size_t>(head.size() + 2, 40), ' ');
        text += head + std::string(option.meaning) + "\n";
    }
    text += "\nBlock indices count the blocks of one transfer, 0 being the header block.\n";
    return text;
}

} // namespace olk::desk
