// olkmixer-cli: the desk operations from a terminal, for scripts and batch work.
#include "cli/commandline.h"
#include "cli/commands.h"

#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto parsed = olk::cli::Parse(arguments);
    if (!parsed.invocation) {
        std::fprintf(stderr, "olkmixer-cli: %s\n%s", parsed.error.c_str(), olk::cli::HelpText().c_str());
        return olk::cli::kExitUsage;
    }
    if (parsed.invocation->help) {
        std::fputs(olk::cli::HelpText(parsed.invocation->command).c_str(), stdout);
        return olk::cli::kExitDone;
    }
    return olk::cli::RunCommand(*parsed.invocation, stdout, stderr);
}
