#include "link/portaseriale.h"

#include "link/linetrace.h"

#include <windows.h>

namespace olk {
namespace {

constexpr DWORD kTimeoutConstantMs = 1000;

// The desk's line: 8N1, no flow control of either kind, DTR and RTS held off. Every member not
// set here keeps what the driver reported.
void SetLineSettings(DCB& control, uint32_t rate)
{
    control.BaudRate = rate;
    control.fBinary = 1;
    control.fParity = 0;
    control.fOutxCtsFlow = 0;
    control.fOutxDsrFlow = 0;
    control.fDtrControl = DTR_CONTROL_DISABLE;
    control.fDsrSensitivity = 0;
    control.fTXContinueOnXoff = 1;
    control.fOutX = 0;
    control.fInX = 0;
    control.fErrorChar = 0;
    control.fNull = 0;
    control.fRtsControl = RTS_CONTROL_DISABLE;
    control.fAbortOnError = 1;
    control.XonLim = 0;
    control.XoffLim = 0;
    control.ByteSize = 8;
    control.Parity = NOPARITY;
    control.StopBits = ONESTOPBIT;
    control.XonChar = 0x11;
    control.XoffChar = 0x13;
    control.ErrorChar = 0;
    control.EofChar = 0;
    control.EvtChar = 0;
}

// No gap limit; a transfer of n bytes waits at most m·n + 1000 ms in either direction.
COMMTIMEOUTS TotalTimeouts(DWORD multiplier)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = multiplier;
    timeouts.ReadTotalTimeoutConstant = kTimeoutConstantMs;
    timeouts.WriteTotalTimeoutMultiplier = multiplier;
    timeouts.WriteTotalTimeoutConstant = kTimeoutConstantMs;
    return timeouts;
}

} // namespace

struct PortaSeriale::Device {
    HANDLE handle = INVALID_HANDLE_VALUE; // kept even when the open failed
    DCB control{};                        // as the driver reported it, changed for the line
};

PortaSeriale::PortaSeriale(std::string& portName, uint32_t baudRate, FlushFailureHandler onFlushFailure)
    : device_(std::make_unique<Device>()), onFlushFailure_(std::move(onFlushFailure))
{
    if (const char* failure = Open(portName, baudRate))
        portName = failure;
}

// Share mode 0: a device another program holds does not open.
const char* PortaSeriale::Open(const std::string& portName, uint32_t baudRate)
{
    Device& device = *device_;
    device.handle = CreateFileA(portName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device.handle == INVALID_HANDLE_VALUE)
        return "Ec1";
    device.control.DCBlength = sizeof(device.control);
    if (!GetCommState(device.handle, &device.control))
        return "Ec2";
    SetLineSettings(device.control, baudRate);
    if (!SetCommState(device.handle, &device.control))
        return "Ec3";
    COMMTIMEOUTS timeouts = TotalTimeouts(TimeoutMultiplier(baudRate));
    if (!SetCommTimeouts(device.handle, &timeouts))
        return "Ec4";
    return nullptr;
}

PortaSeriale::~PortaSeriale()
{
    CloseHandle(device_->handle);
}

// One call each; only the count tells what happened, as a timeout also ends the call.
uint32_t PortaSeriale::Write(const uint8_t* buffer, uint32_t count)
{
    DWORD written = 0;
    WriteFile(device_->handle, buffer, count, &written, nullptr);
    ReportLineTransfer(LineTransfer::Direction::PcToDesk, buffer, count, written, device_->control.BaudRate);
    return written;
}

uint32_t PortaSeriale::Read(uint8_t* buffer, uint32_t count)
{
    DWORD read = 0;
    ReadFile(device_->handle, buffer, count, &read, nullptr);
    ReportLineTransfer(LineTransfer::Direction::DeskToPc, buffer, count, read, device_->control.BaudRate);
    return read;
}

bool PortaSeriale::SetBaudRate(uint32_t rate)
{
    device_->control.BaudRate = rate;
    if (!Drain() && onFlushFailure_)
        onFlushFailure_();
    return SetCommState(device_->handle, &device_->control) != 0;
}

bool PortaSeriale::Drain()
{
    return FlushFileBuffers(device_->handle) != 0;
}

uint32_t PortaSeriale::StoredRate() const
{
    return device_->control.BaudRate;
}

void PortaSeriale::StoreRate(uint32_t rate)
{
    device_->control.BaudRate = rate;
}

bool PortExists(const std::string& name)
{
    const HANDLE handle = CreateFileA(name.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

} // namespace olk
