#pragma once
// The command line of olkdesk: the desk it plays, the faults it plays them with, and how the
// program itself runs. Files named here are read by the program, not by the parser.
#include "desk/desksimulator.h"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace olk::desk {

struct ProgramOptions {
    DeskConfig config;
    std::string userDataFile;              // a .WRK image to hold as user data
    std::vector<std::string> fixtureFiles; // .FXT images for the library, in list order
    std::string transcriptFile;            // where the transcript goes on exit
    std::string publishedPort;             // COMn to print as "COMn=PATH", or empty
    bool untilStdinEof = false;
    bool help = false;
};

// A command line the program cannot run with; the text says why.
class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program name; "--name value" and "--name=value" are both accepted.
ProgramOptions ParseOptions(std::span<const std::string_view> arguments);

// What --help prints: every option with its argument and meaning.
std::string UsageText();

} // namespace olk::desk
