#pragma once
// The desk simulator as a child process on a pseudo-terminal of its own, so that the CPU time
// this process spends is the program's alone.
#include <string>
#include <vector>
#include <sys/types.h>

namespace olk::bench {

class DeskProcess {
public:
    // Starts olkdesk with the options and waits until it has published its pseudo-terminal as
    // COM1; throws std::runtime_error when it does not.
    explicit DeskProcess(const std::vector<std::string>& options);
    // Ends the simulator by closing its standard input, and waits for it.
    ~DeskProcess();
    DeskProcess(const DeskProcess&) = delete;
    DeskProcess& operator=(const DeskProcess&) = delete;

    const std::string& DevicePath() const { return devicePath_; }

private:
    void Stop();

    pid_t pid_ = -1;
    int input_ = -1;
    std::string devicePath_;
};

} // namespace olk::bench
