#pragma once
// Runs a program of ours as a child process with its output captured, the way a script runs it.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace olk::test {

struct ProcessResult {
    int exitStatus = -1; // the exit code, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

// Runs program with arguments, standard input from /dev/null, in this process's environment.
// whileRunning, when given, is called with the child's process id once it has started.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(int pid)>& whileRunning = {},
                         std::chrono::seconds timeout = std::chrono::seconds(60));

// The same with standard input on a pseudo-terminal, as when a user runs it in a terminal, and
// typed already waiting there. Standard output and error stay captured.
ProcessResult RunProgramAtTerminal(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::string& typed);

} // namespace olk::test
