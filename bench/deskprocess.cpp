#include "bench/deskprocess.h"

#include <array>
#include <cstdio>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace olk::bench {
namespace {

// The simulator prints its device path, then "COM1=" and the path again.
std::string PublishedPath(int output)
{
    std::string text;
    std::array<char, 256> chunk;
    for (;;) {
        const ssize_t got = ::read(output, chunk.data(), chunk.size());
        if (got <= 0)
            throw std::runtime_error("olkdesk ended before it published its port");
        text.append(chunk.data(), static_cast<std::size_t>(got));
        const std::size_t published = text.find("COM1=");
        if (published != std::string::npos) {
            const std::size_t end = text.find('\n', published);
            if (end != std::string::npos)
                return text.substr(published + 5, end - published - 5);
        }
    }
}

} // namespace

DeskProcess::DeskProcess(const std::vector<std::string>& options)
{
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make the pipes for olkdesk");
    std::vector<std::string> arguments{OLKDESK_PROGRAM, "--publish", "COM1", "--until-stdin-eof"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    pid_ = fork();
    if (pid_ == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(input[0]);
    ::close(output[1]);
    input_ = input[1];
    if (pid_ < 0) {
        ::close(output[0]);
        throw std::runtime_error("cannot start olkdesk");
    }
    try {
        devicePath_ = PublishedPath(output[0]);
    } catch (...) {
        ::close(output[0]);
        Stop();
        throw;
    }
    ::close(output[0]);
}

DeskProcess::~DeskProcess()
{
    Stop();
}

void DeskProcess::Stop()
{
    ::close(input_);
    if (pid_ > 0)
        waitpid(pid_, nullptr, 0);
}

} // namespace olk::bench
