#include "desk/ptyline.h"

#include "link/commands.h"
#include "link/datablock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace olk::desk {

namespace {

using Direction = TranscriptEntry::Direction;

// A PC that takes no byte for this long is not listening; what the desk sends meanwhile is lost.
constexpr auto kStalledLineLimit = std::chrono::seconds(1);
// Paced bytes go out in runs of about this much line time.
constexpr auto kPaceChunkTime = std::chrono::milliseconds(5);
constexpr int kBitsPerByte = 10; // start bit, 8 data bits, stop bit
// More than a sleeper's usual lateness, less than any run of line time.
constexpr auto kWakeUpMargin = std::chrono::microseconds(100);

[[noreturn]] void ThrowSystemError(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

int Checked(int result, const char* what)
{
    if (result < 0)
        ThrowSystemError(what);
    return result;
}

int OpenMaster()
{
    int master = Checked(posix_openpt(O_RDWR | O_NOCTTY), "posix_openpt");
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0 ||
        fcntl(master, F_SETFD, FD_CLOEXEC) != 0) {
        int error = errno;
        ::close(master);
        errno = error;
        ThrowSystemError("pseudo-terminal set-up");
    }
    return master;
}

std::string SlavePath(int master)
{
    std::array<char, 128> path{};
    if (ptsname_r(master, path.data(), path.size()) != 0)
        ThrowSystemError("ptsname");
    return path.data();
}

// Raw at 9600 from the start, so nothing the PC sends is echoed or edited before it configures
// the port itself.
int OpenRawSlave(const std::string& path)
{
    int slave = Checked(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC), "open pseudo-terminal slave");
    termios settings{};
    if (tcgetattr(slave, &settings) == 0) {
        cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        cfsetspeed(&settings, B9600);
        tcsetattr(slave, TCSANOW, &settings);
    }
    return slave;
}

int WatchOpenings(const std::string& path)
{
    int watch = Checked(inotify_init1(IN_NONBLOCK | IN_CLOEXEC), "inotify_init1");
    if (inotify_add_watch(watch, path.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        int error = errno;
        ::close(watch);
        errno = error;
        ThrowSystemError("inotify_add_watch");
    }
    return watch;
}

uint32_t RateOfSpeed(speed_t speed)
{
    static constexpr std::pair<speed_t, uint32_t> kSpeeds[] = {
        {B0, 0},           {B300, 300},         {B600, 600},         {B1200, 1200},
        {B2400, 2400},     {B4800, 4800},       {B9600, 9600},       {B19200, 19200},
        {B38400, 38400},   {B57600, 57600},     {B115200, 115200},   {B230400, 230400},
        {B460800, 460800}, {B500000, 500000},   {B576000, 576000},   {B921600, 921600},
        {B1000000, 1000000}};
    for (const auto& [constant, rate] : kSpeeds)
        if (constant == speed)
            return rate;
    return 0;
}

timespec ToTimespec(std::chrono::nanoseconds duration)
{
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>((duration - seconds).count())};
}

std::chrono::nanoseconds LineTime(std::size_t bytes, uint32_t rate)
{
    return std::chrono::nanoseconds(static_cast<int64_t>(bytes) * kBitsPerByte * 1'000'000'000 / rate);
}

// The bytes of about one paced run's line time at a rate; never fewer than one.
std::size_t PacedRunSize(uint32_t rate)
{
    return std::max<std::size_t>(
        1, static_cast<std::size_t>(rate / kBitsPerByte * std::chrono::duration<double>(kPaceChunkTime).count()));
}

std::vector<uint8_t> Garbled(std::span<const uint8_t> bytes, uint64_t& position)
{
    std::vector<uint8_t> garbled;
    garbled.reserve(bytes.size());
    for (uint8_t byte : bytes)
        garbled.push_back(GarbleByte(byte, position++));
    return garbled;
}

} // namespace

uint8_t GarbleByte(uint8_t byte, uint64_t position)
{
    static constexpr std::array<uint8_t, 8> kMasks{0x5A, 0x97, 0xD4, 0x11, 0x4E, 0x8B, 0xC8, 0x05};
    auto garbled = static_cast<uint8_t>(byte ^ kMasks[position % kMasks.size()]);
    if (garbled == kAck || garbled == kNak || garbled == command::kLead0)
        garbled ^= 0x18; // no mask is 0x18, so this cannot give the byte back either
    return garbled;
}

PtyLine::PtyLine(bool pace)
    : pace_(pace),
      master_(OpenMaster()),
      path_(SlavePath(master_.get())),
      slave_(OpenRawSlave(path_)),
      stop_(Checked(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), "eventfd")),
      openings_(WatchOpenings(path_))
{
}

void PtyLine::RequestStop()
{
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(stop_.get(), &one, sizeof one);
}

uint32_t PtyLine::PcRate() const
{
    // On the master, tcgetattr reports the slave's settings: the PC's port.
    termios settings{};
    if (tcgetattr(master_.get(), &settings) != 0)
        return 0;
    return RateOfSpeed(cfgetospeed(&settings));
}

std::vector<uint8_t> PtyLine::ReadSome(std::size_t maxBytes, std::optional<Clock::time_point> deadline)
{
    if (!unread_.empty()) {
        std::size_t count = std::min(maxBytes, unread_.size());
        std::vector<uint8_t> bytes(unread_.begin(), unread_.begin() + static_cast<std::ptrdiff_t>(count));
        unread_.erase(unread_.begin(), unread_.begin() + static_cast<std::ptrdiff_t>(count));
        return bytes;
    }
    // Paced, the desk takes no more at a time than one run of line time, so what the PC sends
    // beyond that waits on the PC's side of the line.
    const uint32_t pacedRate = pace_ ? DeskRate() : 0;
    std::vector<uint8_t> buffer(std::min<std::size_t>(maxBytes, pacedRate != 0 ? PacedRunSize(pacedRate) : 4096));
    std::optional<Clock::time_point> foundWaitingAt;
    if (pacedRate != 0 && Readable())
        foundWaitingAt = Clock::now();
    while (Wait(master_.get(), POLLIN, deadline)) {
        ssize_t count = ::read(master_.get(), buffer.data(), buffer.size());
        if (count > 0) {
            std::vector<uint8_t> heard = Heard(std::span(buffer.data(), static_cast<std::size_t>(count)));
            if (pacedRate != 0)
                AwaitArrival(heard.size(), pacedRate, foundWaitingAt);
            return heard;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            Pause(std::chrono::milliseconds(1)); // a hiccup of the pair; wait instead of spinning
    }
    return {};
}

std::vector<uint8_t> PtyLine::ReadExactly(std::size_t count, Clock::duration idleLimit)
{
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        std::vector<uint8_t> more = ReadSome(count - bytes.size(), Clock::now() + idleLimit);
        if (more.empty())
            break;
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    return bytes;
}

void PtyLine::Unread(std::span<const uint8_t> bytes)
{
    unread_.insert(unread_.begin(), bytes.begin(), bytes.end());
}

void PtyLine::Write(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return;
    FollowPcOpenings(); // a PC that closed since must not lose what is sent from now on
    const uint32_t deskRate = DeskRate();
    const uint32_t pcRate = PcRate();
    lastPcRate_ = pcRate;
    const bool garbled = pcRate != deskRate;
    transcript_.Record(Direction::DeskToPc, pcRate, deskRate, garbled, bytes);
    std::vector<uint8_t> wire = garbled ? Garbled(bytes, garbledToPc_) : std::vector<uint8_t>(bytes.begin(), bytes.end());
    if (pace_ && deskRate != 0) {
        TransmitPaced(wire, deskRate);
        lineIdleAt_ = Clock::now(); // what the PC sends in reply starts after this arrived
    } else {
        Transmit(wire);
    }
}

void PtyLine::Pause(Clock::duration duration)
{
    SleepUntil(Clock::now() + duration);
}

bool PtyLine::AwaitPcRate(uint32_t rate, Clock::duration limit)
{
    const auto deadline = Clock::now() + limit;
    while (PcRate() != rate) {
        if (Clock::now() >= deadline)
            return false;
        Pause(std::chrono::milliseconds(1));
    }
    return true;
}

bool PtyLine::Wait(int fd, short events, std::optional<Clock::time_point> deadline)
{
    for (;;) {
        std::array<pollfd, 3> fds{{{fd, events, 0}, {stop_.get(), POLLIN, 0}, {openings_.get(), POLLIN, 0}}};
        timespec timeout{};
        if (deadline)
            timeout = ToTimespec(std::max(Clock::duration::zero(), *deadline - Clock::now()));
        int ready = ppoll(fds.data(), fds.size(), deadline ? &timeout : nullptr, nullptr);
        if (ready < 0 && errno != EINTR)
            ThrowSystemError("ppoll");
        if (fds[1].revents != 0)
            throw LineStopped{};
        if (fds[2].revents != 0)
            FollowPcOpenings();
        if ((fds[0].revents & (events | POLLERR | POLLHUP)) != 0)
            return true;
        if (deadline && Clock::now() >= *deadline)
            return false;
    }
}

void PtyLine::SleepUntil(Clock::time_point until)
{
    // Paced, the last stretch is waited out on the clock: the kernel wakes a sleeper tens of
    // microseconds late, which would be added to every block.
    const auto wakeUp = pace_ ? until - kWakeUpMargin : until;
    for (;;) {
        auto left = wakeUp - Clock::now();
        if (left <= Clock::duration::zero())
            break;
        pollfd stop{stop_.get(), POLLIN, 0};
        timespec timeout = ToTimespec(left);
        if (ppoll(&stop, 1, &timeout, nullptr) > 0)
            throw LineStopped{};
    }
    while (Clock::now() < until) {
    }
}

void PtyLine::FollowPcOpenings()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t length = ::read(openings_.get(), buffer, sizeof buffer);
        if (length <= 0)
            return;
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if ((event->mask & IN_OPEN) != 0)
                ++pcOpenCount_;
            if ((event->mask & IN_CLOSE) != 0 && pcOpenCount_ > 0 && --pcOpenCount_ == 0)
                ForgetUnreadBytes();
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

// The PC let go of its port. On a real line the bytes it did not read are gone, and the port is
// free for the next program; our own slave handle keeps the terminal alive, so both have to be
// done here: drop what is queued towards the PC and lift the exclusive claim the PC had made.
void PtyLine::ForgetUnreadBytes()
{
    tcflush(slave_.get(), TCIFLUSH);
    ioctl(slave_.get(), TIOCNXCL);
}

std::vector<uint8_t> PtyLine::Heard(std::span<const uint8_t> bytes)
{
    const uint32_t deskRate = DeskRate();
    const uint32_t pcRate = PcRate();
    // The bytes left the PC after the previous event on the line and before now. They count as
    // intact if its speed matched at either moment: a PC cannot change speed before it has seen
    // what the desk sent last, so a PC that switches right after sending is never punished.
    const bool garbled = pcRate != deskRate && lastPcRate_ != deskRate;
    lastPcRate_ = pcRate;
    transcript_.Record(Direction::PcToDesk, pcRate, deskRate, garbled, bytes);
    if (garbled)
        return Garbled(bytes, garbledToDesk_);
    return {bytes.begin(), bytes.end()};
}

bool PtyLine::Readable() const
{
    pollfd master{master_.get(), POLLIN, 0};
    return poll(&master, 1, 0) > 0 && (master.revents & POLLIN) != 0;
}

// Bytes from the PC reach the desk one line time after they started. Bytes the desk waited for
// started when they came; bytes it found waiting started at the latest when it looked. When it
// looked right after the line fell idle, they follow what the line carried last without a gap, so
// the desk's own lateness in coming back for them never adds up over a long transfer.
void PtyLine::AwaitArrival(std::size_t count, uint32_t rate, std::optional<Clock::time_point> foundWaitingAt)
{
    auto started = Clock::now();
    if (foundWaitingAt)
        started = *foundWaitingAt - lineIdleAt_ < kPaceChunkTime ? lineIdleAt_ : *foundWaitingAt;
    lineIdleAt_ = std::max(started, lineIdleAt_) + LineTime(count, rate);
    SleepUntil(lineIdleAt_);
}

void PtyLine::TransmitPaced(std::span<const uint8_t> bytes, uint32_t rate)
{
    // Each run is handed over when its last stop bit would have arrived, measured from the start
    // of the whole write so that rounding never adds up. A desk answers at once: the simulator's
    // own lateness in coming back to the line after it fell idle, up to one run of line time, is
    // not taken for the desk's, while a longer pause (a fault's) is kept.
    const std::size_t chunk = PacedRunSize(rate);
    const auto now = Clock::now();
    const auto start = now - lineIdleAt_ < kPaceChunkTime ? lineIdleAt_ : now;
    for (std::size_t sent = 0; sent < bytes.size();) {
        std::size_t count = std::min(chunk, bytes.size() - sent);
        SleepUntil(start + LineTime(sent + count, rate));
        Transmit(bytes.subspan(sent, count));
        sent += count;
    }
}

void PtyLine::Transmit(std::span<const uint8_t> bytes)
{
    const auto deadline = Clock::now() + kStalledLineLimit;
    while (!bytes.empty()) {
        ssize_t written = ::write(master_.get(), bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            return;
        if (!Wait(master_.get(), POLLOUT, deadline))
            return;
    }
}

} // namespace olk::desk
