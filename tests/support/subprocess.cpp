#include "tests/support/subprocess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace olk::test {
namespace {

void Drain(int fd, std::string& into)
{
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0)
        into.append(buffer, static_cast<std::size_t>(got));
}

// input: the path standard input is opened on.
ProcessResult Run(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
                  const std::function<void(int pid)>& whileRunning, std::chrono::seconds timeout)
{
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDWR | O_NOCTTY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    ProcessResult result;
    if (spawned != 0) {
        close(out[0]);
        close(err[0]);
        return result;
    }
    if (whileRunning)
        whileRunning(pid);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    int status = 0;
    bool ended = false;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0) {
            // Nothing left to read from a child that has ended, even while a program it started
            // (Wine's own services) still holds the pipes.
            ended = waitpid(pid, &status, WNOHANG) == pid;
            if (ended)
                break;
            continue;
        }
        for (auto& entry : fds) {
            if (entry.fd < 0 || !(entry.revents & (POLLIN | POLLHUP)))
                continue;
            std::string& into = entry.fd == out[0] ? result.out : result.err;
            const std::size_t before = into.size();
            Drain(entry.fd, into);
            if (into.size() == before) {
                close(entry.fd);
                entry.fd = -1;
                --open;
            }
        }
    }
    if (open > 0 && !ended)
        kill(pid, SIGKILL);
    for (auto& entry : fds)
        if (entry.fd >= 0)
            close(entry.fd);
    if (!ended)
        waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

} // namespace

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(int pid)>& whileRunning, std::chrono::seconds timeout)
{
    return Run(program, arguments, "/dev/null", whileRunning, timeout);
}

ProcessResult RunProgramAtTerminal(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::string& typed)
{
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
        close(terminal);
        return {};
    }
    const std::string device = ptsname(terminal);
    // Echo off, so that what was typed does not pile up unread on our side.
    const int user = open(device.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    tcgetattr(user, &settings);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(user, TCSANOW, &settings);
    close(user);
    if (write(terminal, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) {
        close(terminal);
        return {};
    }
    ProcessResult result = Run(program, arguments, device, {}, std::chrono::seconds(60));
    close(terminal);
    return result;
}

} // namespace olk::test
