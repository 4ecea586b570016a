#pragma once
// The command line of olkmixer-cli: global options, a command and its arguments.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace olk::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitDeclined = 100;
inline constexpr int kExitUsage = 64;

struct Invocation {
    std::optional<std::string> port; // a COM name or a device path
    uint32_t baud = 0;               // 0 is the automatic choice
    std::string command;
    std::vector<std::string> arguments;
    bool help = false;
};

struct ParseResult {
    std::optional<Invocation> invocation;
    std::string error; // a usage error when there is no invocation
};

ParseResult Parse(const std::vector<std::string>& arguments);

// The help of the program, or of one command when it names one.
std::string HelpText(const std::string& command = {});

} // namespace olk::cli
