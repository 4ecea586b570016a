#include "tests/desk/pcport.h"

#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace olk::desk::test {

namespace {

speed_t SpeedOf(uint32_t rate)
{
    switch (rate) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    default: throw std::invalid_argument("no such line speed");
    }
}

} // namespace

PcPort::PcPort(const std::string& path, uint32_t rate) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
{
    if (fd_ < 0)
        throw std::runtime_error("cannot open " + path);
    SetRate(rate);
}

PcPort::~PcPort()
{
    ::close(fd_);
}

void PcPort::SetRate(uint32_t rate)
{
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&settings, SpeedOf(rate));
    if (tcsetattr(fd_, TCSANOW, &settings) != 0)
        throw std::runtime_error("cannot set the line speed");
}

void PcPort::Send(std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        pollfd writable{fd_, POLLOUT, 0};
        if (poll(&writable, 1, 3000) <= 0)
            throw std::runtime_error("the line takes no more bytes");
    }
}

std::vector<uint8_t> PcPort::Receive(std::size_t count, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{fd_, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            break;
        uint8_t buffer[4096];
        ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

} // namespace olk::desk::test
