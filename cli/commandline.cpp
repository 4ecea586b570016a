#include "cli/commandline.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace olk::cli {
namespace {

constexpr std::array<uint32_t, 7> kFixedRates{9600, 19200, 38400, 57600, 115200, 230400, 460800};

struct CommandOption {
    const char* name;
    bool takesValue;
};

struct CommandSpec {
    const char* name;
    std::size_t operands;
    std::vector<CommandOption> options;
    const char* synopsis;
    const char* text;
};

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands{
        {"ports", 0, {}, "ports",
         "Lists COM1 to COM8 with the device each resolves to (through OLKMIXER_PORTS, the \"Ports\"\n"
         "settings group or the defaults) and whether it can be opened now.\n"},
        {"info", 0, {}, "info", "Greets the desk and prints its model name and firmware release.\n"},
        {"backup", 1, {{"--force", false}, {"--description", true}},
         "backup FILE [--force] [--description TEXT]",
         "Backs the desk's user data up into FILE (a .WRK file). An existing FILE is replaced only\n"
         "once the whole backup has arrived; a failed backup keeps it as it was.\n"
         "  --force             answers Yes to \"File already exist! Overwrite?\" without a terminal\n"
         "  --description TEXT  answers Yes to the description question and stores TEXT (at most\n"
         "                      127 characters; a line break counts as one)\n"},
        {"restore", 1, {{"--backup-first", true}, {"--force", false}},
         "restore FILE [--backup-first BACKUP_FILE [--force]]",
         "Checks FILE (a .WRK file) whole, then writes it into the desk.\n"
         "  --backup-first BACKUP_FILE  backs the desk up into BACKUP_FILE first; the restore\n"
         "                              follows only when that backup is done\n"
         "  --force                     answers Yes to the overwrite question of that backup\n"},
        {"firmware", 1, {}, "firmware FILE",
         "Sends the firmware image of FILE (a .hex file) to the desk at 9600 baud.\n"},
        {"fixtures list", 0, {}, "fixtures list",
         "Prints the names of the desk's fixtures, one a line, then their count and the desk's free\n"
         "fixture memory.\n"},
        {"fixtures get", 1, {{"--output", true}, {"--force", false}},
         "fixtures get NAME [--output FILE] [--force]",
         "Downloads the fixture NAME, prints its text and saves it as a .FXT file: FILE, else\n"
         "NAME.FXT in the default directory (or the current one).\n"
         "  --force  answers Yes to \"File already exist! Overwrite?\" without a terminal\n"},
        {"fixtures add", 1, {{"--replace", false}}, "fixtures add FILE [--replace]",
         "Fetches the fixture list, then sends the fixture of FILE (a .FXT file) to the desk.\n"
         "  --replace  answers Yes to \"Fixture already exist: replace it ?\" without a terminal\n"},
        {"fixtures remove", 1, {{"--yes", false}}, "fixtures remove NAME [--yes]",
         "Removes the fixture NAME from the desk.\n"
         "  --yes  answers Yes to \"Remove Fixture ?\" without a terminal\n"},
        {"describe", 1, {{"--set", true}, {"--clear", false}}, "describe FILE [--set TEXT | --clear]",
         "Prints who created a data file and its description (a .FXT file: its fixture text), or\n"
         "rewrites the description of a .WRK file in place.\n"
         "  --set TEXT  stores TEXT (at most 127 characters; a line break counts as one)\n"
         "  --clear     stores an empty description\n"},
    };
    return commands;
}

const CommandSpec* FindCommand(const std::string& name)
{
    for (const auto& command : Commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

const CommandOption* FindOption(const CommandSpec& command, const std::string& name)
{
    for (const auto& option : command.options)
        if (name == option.name)
            return &option;
    return nullptr;
}

std::optional<uint32_t> ParseBaud(const std::string& text)
{
    if (text == "auto")
        return 0u;
    for (const uint32_t rate : kFixedRates)
        if (text == std::to_string(rate))
            return rate;
    return std::nullopt;
}

bool IsComName(const std::string& text)
{
    return text.size() == 4 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
           std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
           std::toupper(static_cast<unsigned char>(text[2])) == 'M' && text[3] >= '1' && text[3] <= '8';
}

bool IsOption(const std::string& word)
{
    return word.rfind("--", 0) == 0 || word == "-h";
}

ParseResult Failure(std::string error)
{
    return ParseResult{std::nullopt, std::move(error)};
}

// A global option at words[i], taking its value; an empty text when it was one, else the error.
std::optional<std::string> ParseGlobalOption(Invocation& invocation, const std::vector<std::string>& words,
                                             std::size_t& i)
{
    const std::string& word = words[i];
    if (word == "--help" || word == "-h") {
        invocation.help = true;
        return std::string();
    }
    if (word != "--port" && word != "--baud" && word != "--trace")
        return std::nullopt;
    if (i + 1 >= words.size())
        return word + " needs a value";
    const std::string& value = words[++i];
    if (word == "--port") {
        if (!IsComName(value) && value.find('/') == std::string::npos)
            return "--port takes COM1 to COM8 or a device path, not '" + value + "'";
        invocation.port = value;
    } else if (word == "--baud") {
        const auto baud = ParseBaud(value);
        if (!baud)
            return std::string("--baud takes auto, 9600, 19200, 38400, 57600, 115200, 230400 or 460800");
        invocation.baud = *baud;
    } else {
        invocation.trace = value;
    }
    return std::string();
}

// The words after the command: its operands and its options, with the global options anywhere.
std::string ParseCommandWords(Invocation& invocation, const std::vector<std::string>& words, std::size_t& i)
{
    const CommandSpec& command = *FindCommand(invocation.command);
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (const auto global = ParseGlobalOption(invocation, words, i)) {
            if (!global->empty())
                return *global;
            continue;
        }
        if (!IsOption(word)) {
            invocation.operands.push_back(word);
            continue;
        }
        const CommandOption* option = FindOption(command, word);
        if (!option)
            return "'" + invocation.command + "' has no option '" + word + "'";
        if (option->takesValue && i + 1 >= words.size())
            return word + " needs a value";
        invocation.options[word] = option->takesValue ? words[++i] : std::string();
    }
    if (invocation.help)
        return {};
    if (invocation.operands.size() > command.operands)
        return "'" + invocation.command + "' takes no argument '" + invocation.operands[command.operands] + "'";
    if (invocation.operands.size() < command.operands)
        return "'" + invocation.command + "' needs " + (command.operands == 1 ? "an argument" : "arguments");
    return {};
}

// Options that make sense only together, or never together.
std::string CheckCombinations(const Invocation& invocation)
{
    if (invocation.Has("--set") && invocation.Has("--clear"))
        return "--set and --clear exclude each other";
    if (invocation.command == "restore" && invocation.Has("--force") && !invocation.Has("--backup-first"))
        return "--force goes with --backup-first";
    return {};
}

// The command name at words[i]: one word, or "fixtures" and the word after it.
std::string CommandName(const std::vector<std::string>& words, std::size_t& i)
{
    std::string name = words[i];
    if (name == "fixtures" && i + 1 < words.size() && !IsOption(words[i + 1]))
        name += " " + words[++i];
    return name;
}

} // namespace

std::optional<std::string> Invocation::Value(const std::string& option) const
{
    const auto found = options.find(option);
    return found == options.end() ? std::nullopt : std::optional<std::string>(found->second);
}

ParseResult Parse(const std::vector<std::string>& arguments)
{
    Invocation invocation;
    // Help wins wherever it stands, also after a command that is not complete yet.
    invocation.help = std::any_of(arguments.begin(), arguments.end(),
                                  [](const std::string& word) { return word == "--help" || word == "-h"; });
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (const auto global = ParseGlobalOption(invocation, arguments, i)) {
            if (!global->empty())
                return Failure(*global);
            continue;
        }
        if (IsOption(arguments[i]))
            return Failure("unknown option '" + arguments[i] + "'");
        invocation.command = CommandName(arguments, i);
        if (!FindCommand(invocation.command)) {
            if (invocation.command != "fixtures")
                return Failure("unknown command '" + invocation.command + "'");
            return invocation.help ? ParseResult{invocation, {}} : Failure("'fixtures' needs list, get, add or remove");
        }
        ++i;
        if (std::string error = ParseCommandWords(invocation, arguments, i); !error.empty())
            return Failure(std::move(error));
        if (std::string error = CheckCombinations(invocation); !error.empty())
            return Failure(std::move(error));
        return ParseResult{invocation, {}};
    }
    if (invocation.help)
        return ParseResult{invocation, {}};
    return Failure("no command given");
}

std::string HelpText(const std::string& command)
{
    std::string text;
    for (const auto& entry : Commands()) {
        if (command.empty() || std::string(entry.name).rfind(command, 0) != 0)
            continue;
        text += std::string("usage: olkmixer-cli [--port PORT] [--baud RATE] [--trace FILE] ") + entry.synopsis +
                "\n\n" + entry.text + "\n";
    }
    if (!text.empty())
        return text;
    text =
        "usage: olkmixer-cli [--port PORT] [--baud auto|9600|19200|38400|57600|115200|230400|460800]\n"
        "                    [--trace FILE] COMMAND [ARGS]\n"
        "\n"
        "Services a lighting desk on a serial line from a terminal.\n"
        "\n"
        "  --port PORT   COM1 to COM8, resolved through the port map, or a device path.\n"
        "                Without it: the port stored by the program, else the first that opens.\n"
        "  --baud RATE   the rate to switch to after the greeting at 9600; auto (the default)\n"
        "                takes the fastest of 57600, 38400 and 19200 the driver accepts.\n"
        "  --trace FILE  writes every byte each way with its time and the line rate to FILE\n"
        "                (- for standard error).\n"
        "\n"
        "Commands:\n";
    for (const auto& entry : Commands())
        text += std::string("  ") + entry.synopsis + "\n";
    text += "\n"
            "Messages go to standard error, data to standard output. Questions are asked at the\n"
            "terminal; without one, a command's flag answers Yes and its absence No. Exit status:\n"
            "0 when the job was done, the result code (1 to 42) when it failed, 100 when a declined\n"
            "question left it undone, 64 for a usage error. Ctrl-C stops a transfer as Cancel does.\n"
            "'olkmixer-cli COMMAND --help' describes one command.\n";
    return text;
}

} // namespace olk::cli
