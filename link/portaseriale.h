#pragma once
// The program's only access to the serial line: one COM device opened by name (on Linux resolved
// through the port map, on Windows passed to the system as it is), raw 8N1 without flow control, DTR and RTS off, and reads and writes that block
// for at most a total timeout fixed at construction.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace olk {

class PortaSeriale {
public:
    // Called when the transmit queue could not be drained before a rate change; the change goes
    // on once it returns.
    using FlushFailureHandler = std::function<void()>;

    // Never fails outwardly: on failure it replaces portName by "Ec1" (open), "Ec2" (reading the
    // settings), "Ec3" (applying the line settings) or "Ec4" (applying the timeouts).
    PortaSeriale(std::string& portName, uint32_t baudRate, FlushFailureHandler onFlushFailure = {});
    ~PortaSeriale();
    PortaSeriale(const PortaSeriale&) = delete;
    PortaSeriale& operator=(const PortaSeriale&) = delete;

    // One transfer each, bounded by m·count + 1000 ms: the count done, 0 when nothing moved.
    uint32_t Write(const uint8_t* buffer, uint32_t count);
    uint32_t Read(uint8_t* buffer, uint32_t count);

    // Drains what was written at the old rate, then reconfigures the open device.
    bool SetBaudRate(uint32_t rate);

    // Waits until every byte written has left the device; false when the driver cannot tell.
    // A write returns once the driver has taken its bytes, which at 9600 baud can be seconds
    // before the last of them is on the line.
    bool Drain();

    // Whether the driver accepts the rate; the device is left at the rate it had.
    bool TestBaudRate(uint32_t rate);

    // The multiplier m of the total timeouts: 16000 ÷ rate + 1 up to 9600 baud, else 1.
    static uint32_t TimeoutMultiplier(uint32_t constructionRate);

private:
    struct Device; // the platform's open device and the settings kept for it
    const char* Open(const std::string& portName, uint32_t baudRate);
    // The rate the kept settings ask for, which a refused change still leaves there.
    uint32_t StoredRate() const;
    void StoreRate(uint32_t rate);

    std::unique_ptr<Device> device_;
    FlushFailureHandler onFlushFailure_;
};

// True when the named device can be opened now; a device held by another program counts as absent.
bool PortExists(const std::string& name);

} // namespace olk
