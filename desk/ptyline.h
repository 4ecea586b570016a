#pragma once
// The desk's end of the serial line: a pseudo-terminal pair whose slave the PC opens as its port.
// It behaves like a wire between two UARTs: bytes cross intact only while both ends run at the
// same speed, they take their line time when pacing is on, bytes nobody read before the PC
// closed its port are lost, and every run of bytes is written to the transcript.
#include "desk/transcript.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

namespace olk::desk {

// Thrown out of every wait on the line once the simulator shuts down, so the worker unwinds at
// whatever step it is.
struct LineStopped {};

// The byte a receiver at the wrong speed hears instead of the one sent. It depends only on the
// byte and its place in the stream, so a run can be repeated; it never equals the byte sent and is
// never an ACK, a NAK or a command lead, so garbage cannot pass for an answer.
uint8_t GarbleByte(uint8_t byte, uint64_t position);

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

class PtyLine {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr uint32_t kIdleRate = 9600;

    // Opens the pair; throws std::system_error when the system has no pseudo-terminal to give.
    explicit PtyLine(bool pace);
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& DevicePath() const { return path_; }
    Transcript& Log() { return transcript_; }
    const Transcript& Log() const { return transcript_; }

    // Any thread: makes every present and future wait of the worker throw LineStopped.
    void RequestStop();

    uint32_t PcRate() const; // the speed the PC set on its port; 0 when it cannot be read
    uint32_t DeskRate() const { return deskRate_.load(); }
    void SetDeskRate(uint32_t rate) { deskRate_.store(rate); }

    // The bytes as the desk heard them, at most maxBytes; empty when the deadline passed first.
    std::vector<uint8_t> ReadSome(std::size_t maxBytes, std::optional<Clock::time_point> deadline);
    // Up to count bytes; fewer when the PC fell silent for idleLimit.
    std::vector<uint8_t> ReadExactly(std::size_t count, Clock::duration idleLimit);
    // Hands bytes back so the next read returns them first.
    void Unread(std::span<const uint8_t> bytes);

    void Write(std::span<const uint8_t> bytes);
    void Pause(Clock::duration duration);
    // Waits until the PC's port runs at rate; false when limit passed first.
    bool AwaitPcRate(uint32_t rate, Clock::duration limit);

private:
    bool Wait(int fd, short events, std::optional<Clock::time_point> deadline);
    void SleepUntil(Clock::time_point until);
    void FollowPcOpenings();
    void ForgetUnreadBytes();
    std::vector<uint8_t> Heard(std::span<const uint8_t> bytes);
    bool Readable() const;
    void AwaitArrival(std::size_t count, uint32_t rate, std::optional<Clock::time_point> foundWaitingAt);
    void TransmitPaced(std::span<const uint8_t> bytes, uint32_t rate);
    void Transmit(std::span<const uint8_t> bytes);

    const bool pace_;
    UniqueFd master_;
    std::string path_;
    UniqueFd slave_; // held open so the PC closing its port never hangs up the master
    UniqueFd stop_;
    UniqueFd openings_; // notices of the PC opening and closing its port
    int pcOpenCount_ = 0;
    std::atomic<uint32_t> deskRate_{kIdleRate};
    uint32_t lastPcRate_ = kIdleRate; // the PC's speed at the previous event on the line
    Clock::time_point lineIdleAt_{}; // paced: when the line last fell idle, either way
    std::deque<uint8_t> unread_;
    uint64_t garbledToDesk_ = 0;
    uint64_t garbledToPc_ = 0;
    Transcript transcript_;
};

} // namespace olk::desk
