#pragma once
// The command line of olkmixer-cli: global options, a command with its operands and options.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace olk::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitDeclined = 100;
inline constexpr int kExitUsage = 64;

struct Invocation {
    std::optional<std::string> port;  // a COM name or a device path
    uint32_t baud = 0;                // 0 is the automatic choice
    std::optional<std::string> trace; // a file, or "-" for standard error
    std::string command;              // "info", "backup", "fixtures get" …
    std::vector<std::string> operands;
    std::map<std::string, std::string> options; // "--force" -> "", "--output" -> its value
    bool help = false;

    bool Has(const std::string& option) const { return options.count(option) != 0; }
    // The value of an option given, or nullopt.
    std::optional<std::string> Value(const std::string& option) const;
};

struct ParseResult {
    std::optional<Invocation> invocation;
    std::string error; // a usage error when there is no invocation
};

ParseResult Parse(const std::vector<std::string>& arguments);

// The help of the program, or of the commands a name starts ("fixtures" gives all four).
std::string HelpText(const std::string& command = {});

} // namespace olk::cli
