#include "link/portaseriale.h"

#include "link/linetrace.h"
#include "platform/portmap.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace olk {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kTimeoutConstantMs = 1000;

struct RateSpeed {
    uint32_t rate;
    speed_t speed;
};

constexpr RateSpeed kSpeeds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800},
};

// The termios speed for a rate the driver supports; false for any other rate.
bool SpeedOf(uint32_t rate, speed_t* speed)
{
    for (const auto& entry : kSpeeds) {
        if (entry.rate == rate) {
            *speed = entry.speed;
            return true;
        }
    }
    return false;
}

void MakeRaw8N1(termios& settings)
{
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    settings.c_iflag |= IGNBRK;
}

// Modem lines exist on real ports only; a pseudo-terminal refuses the request, which is fine.
void LowerDtrAndRts(int fd)
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIC, &lines);
}

// Opens the device locked for this program: the lock keeps out every other program that locks
// it, root included.
int OpenLocked(const std::string& name)
{
    const auto path = PortMap::ForCurrentProcess().Resolve(name);
    if (!path)
        return -1;
    const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !isatty(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the device until the deadline; false on a timeout, or when the line is gone.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        return (entry.revents & events) != 0;
    }
}

// Moves count bytes one way within the total timeout; step makes one read or write call for the
// bytes after the first done and returns what that call returned.
uint32_t Transfer(int fd, uint32_t multiplier, short direction, uint32_t count,
                  const std::function<long(uint32_t done)>& step)
{
    if (fd < 0)
        return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(multiplier * count + kTimeoutConstantMs);
    uint32_t done = 0;
    while (done < count && WaitFor(fd, direction, deadline)) {
        const ssize_t moved = step(done);
        if (moved > 0)
            done += static_cast<uint32_t>(moved);
        else if (moved == 0 ? direction == POLLIN : errno != EAGAIN && errno != EINTR)
            break; // the far end is gone, or the device failed
    }
    return done;
}

} // namespace

struct PortaSeriale::Device {
    int fd = -1;
    termios settings{};   // as read from the driver and changed for the line, kept for rate changes
    uint32_t rate = 0;    // the rate the kept settings ask for
    uint32_t multiplier = 0;
};

PortaSeriale::PortaSeriale(std::string& portName, uint32_t baudRate, FlushFailureHandler onFlushFailure)
    : device_(std::make_unique<Device>()), onFlushFailure_(std::move(onFlushFailure))
{
    if (const char* failure = Open(portName, baudRate))
        portName = failure;
}

const char* PortaSeriale::Open(const std::string& portName, uint32_t baudRate)
{
    Device& device = *device_;
    device.fd = OpenLocked(portName);
    if (device.fd < 0)
        return "Ec1";
    // Exclusive mode also keeps out openers that take no lock, unless they are root.
    ioctl(device.fd, TIOCEXCL);
    if (tcgetattr(device.fd, &device.settings) != 0)
        return "Ec2";
    speed_t speed;
    device.rate = baudRate;
    MakeRaw8N1(device.settings);
    if (!SpeedOf(baudRate, &speed) || cfsetspeed(&device.settings, speed) != 0 ||
        tcsetattr(device.fd, TCSANOW, &device.settings) != 0)
        return "Ec3";
    LowerDtrAndRts(device.fd);
    // The total timeouts are counted in software; the driver must hand over whatever has arrived.
    device.multiplier = TimeoutMultiplier(baudRate);
    device.settings.c_cc[VMIN] = 0;
    device.settings.c_cc[VTIME] = 0;
    if (tcsetattr(device.fd, TCSANOW, &device.settings) != 0)
        return "Ec4";
    return nullptr;
}

PortaSeriale::~PortaSeriale()
{
    if (device_->fd < 0)
        return;
    // The flag outlives this descriptor while another one stays open on the device.
    ioctl(device_->fd, TIOCNXCL);
    ::close(device_->fd);
}

uint32_t PortaSeriale::Write(const uint8_t* buffer, uint32_t count)
{
    const Device& device = *device_;
    const uint32_t moved = Transfer(device.fd, device.multiplier, POLLOUT, count,
                                    [&](uint32_t done) { return ::write(device.fd, buffer + done, count - done); });
    ReportLineTransfer(LineTransfer::Direction::PcToDesk, buffer, count, moved, device.rate);
    return moved;
}

uint32_t PortaSeriale::Read(uint8_t* buffer, uint32_t count)
{
    const Device& device = *device_;
    const uint32_t moved = Transfer(device.fd, device.multiplier, POLLIN, count,
                                    [&](uint32_t done) { return ::read(device.fd, buffer + done, count - done); });
    ReportLineTransfer(LineTransfer::Direction::DeskToPc, buffer, count, moved, device.rate);
    return moved;
}

bool PortaSeriale::SetBaudRate(uint32_t rate)
{
    Device& device = *device_;
    device.rate = rate;
    if (device.fd < 0)
        return false;
    if (!Drain() && onFlushFailure_)
        onFlushFailure_();
    speed_t speed;
    if (!SpeedOf(rate, &speed))
        return false;
    termios changed = device.settings;
    if (cfsetspeed(&changed, speed) != 0 || tcsetattr(device.fd, TCSANOW, &changed) != 0)
        return false;
    device.settings = changed;
    return true;
}

bool PortaSeriale::Drain()
{
    return device_->fd >= 0 && tcdrain(device_->fd) == 0;
}

uint32_t PortaSeriale::StoredRate() const
{
    return device_->rate;
}

void PortaSeriale::StoreRate(uint32_t rate)
{
    device_->rate = rate;
}

bool PortExists(const std::string& name)
{
    const int fd = OpenLocked(name);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace olk
