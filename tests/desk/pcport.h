#pragma once
// The PC's end of the line in the desk tests: a raw termios port on the simulator's device, whose
// speed the test changes as a PC does when it switches rate.
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace olk::desk::test {

class PcPort {
public:
    explicit PcPort(const std::string& path, uint32_t rate = 9600);
    ~PcPort();
    PcPort(const PcPort&) = delete;
    PcPort& operator=(const PcPort&) = delete;

    int Handle() const { return fd_; }
    void SetRate(uint32_t rate);
    void Send(std::span<const uint8_t> bytes);
    void Send(uint8_t byte) { Send(std::span(&byte, 1)); }
    // Up to count bytes, waiting at most limit in all.
    std::vector<uint8_t> Receive(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(3));

private:
    int fd_;
};

} // namespace olk::desk::test
