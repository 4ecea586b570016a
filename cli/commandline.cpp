#include "cli/commandline.h"

#include <array>
#include <cctype>

namespace olk::cli {
namespace {

constexpr std::array<uint32_t, 7> kFixedRates{9600, 19200, 38400, 57600, 115200, 230400, 460800};

struct CommandHelp {
    const char* name;
    const char* synopsis;
    const char* text;
};

constexpr CommandHelp kCommands[] = {
    {"ports", "ports",
     "Lists COM1 to COM8 with the device each resolves to (through OLKMIXER_PORTS, the \"Ports\"\n"
     "settings group or the defaults) and whether it can be opened now.\n"},
    {"info", "info",
     "Greets the desk and prints its model name and firmware release.\n"},
};

const CommandHelp* FindCommand(const std::string& name)
{
    for (const auto& command : kCommands)
        if (name == command.name)
            return &command;
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

ParseResult Failure(std::string error)
{
    return ParseResult{std::nullopt, std::move(error)};
}

} // namespace

ParseResult Parse(const std::vector<std::string>& arguments)
{
    Invocation invocation;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        const bool takesValue = word == "--port" || word == "--baud";
        if (takesValue && i + 1 >= arguments.size())
            return Failure(word + " needs a value");
        if (word == "--help" || word == "-h") {
            invocation.help = true;
        } else if (word == "--port") {
            const std::string& port = arguments[++i];
            if (!IsComName(port) && port.find('/') == std::string::npos)
                return Failure("--port takes COM1 to COM8 or a device path, not '" + port + "'");
            invocation.port = port;
        } else if (word == "--baud") {
            const auto baud = ParseBaud(arguments[++i]);
            if (!baud)
                return Failure("--baud takes auto, 9600, 19200, 38400, 57600, 115200, 230400 or 460800");
            invocation.baud = *baud;
        } else if (invocation.command.empty() && word.rfind("--", 0) != 0) {
            invocation.command = word;
        } else if (!invocation.command.empty()) {
            invocation.arguments.push_back(word);
        } else {
            return Failure("unknown option '" + word + "'");
        }
    }
    if (invocation.help)
        return ParseResult{invocation, {}};
    if (invocation.command.empty())
        return Failure("no command given");
    if (!FindCommand(invocation.command))
        return Failure("unknown command '" + invocation.command + "'");
    if (!invocation.arguments.empty())
        return Failure("'" + invocation.command + "' takes no argument '" + invocation.arguments.front() + "'");
    return ParseResult{invocation, {}};
}

std::string HelpText(const std::string& command)
{
    if (const CommandHelp* help = FindCommand(command))
        return std::string("usage: olkmixer-cli [--port PORT] [--baud RATE] ") + help->synopsis + "\n\n" + help->text;
    std::string text =
        "usage: olkmixer-cli [--port PORT] [--baud auto|9600|19200|38400|57600|115200|230400|460800] COMMAND\n"
        "\n"
        "Services a lighting desk on a serial line from a terminal.\n"
        "\n"
        "  --port PORT   COM1 to COM8, resolved through the port map, or a device path.\n"
        "                Without it: the port stored by the program, else the first that opens.\n"
        "  --baud RATE   the rate to switch to after the greeting at 9600; auto (the default)\n"
        "                takes the fastest of 57600, 38400 and 19200 the driver accepts.\n"
        "\n"
        "Commands:\n";
    for (const auto& entry : kCommands)
        text += std::string("  ") + entry.synopsis + "\n";
    text += "\n"
            "Messages go to standard error, data to standard output. Exit status: 0 when the job\n"
            "was done, the result code (1 to 42) when it failed, 100 when a declined question left\n"
            "it undone, 64 for a usage error. Ctrl-C stops a transfer as Cancel does.\n"
            "'olkmixer-cli COMMAND --help' describes one command.\n";
    return text;
}

} // namespace olk::cli
