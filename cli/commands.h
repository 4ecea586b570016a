#pragma once
// The commands of olkmixer-cli.
#include "cli/commandline.h"

#include <cstdio>

namespace olk::cli {

// Runs the parsed command and returns the exit status.
int RunCommand(const Invocation& invocation, std::FILE* data, std::FILE* messages);

} // namespace olk::cli
