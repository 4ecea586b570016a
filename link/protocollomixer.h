#pragma once
// The base of every operation thread: the serial port and the handshake that greets the desk,
// identifies it and switches both ends to a faster rate; the routines that show progress and the
// result on the user-interface thread; and the file and buffers the operations fill.
#include "link/elencomixer.h"
#include "link/littleendian.h"
#include "link/operationthread.h"
#include "link/portaseriale.h"
#include "link/views.h"
#include "platform/filehandle.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace olk {

// How a result code leaves a thread body or a Prepare: raised, and caught by the one handler.
struct RaisedCode {
    int code;
};

[[noreturn]] void Raise(int code);

// The two captions of the progress window, 12 blanks between the phrases.
inline constexpr const char* kTransmittingText = "Connected to the mixer...            transmitting data...";
inline constexpr const char* kReceivingText = "Connected to the mixer...            receiving data...";

inline constexpr int kRetryBudget = 15;
inline constexpr uint32_t kGreetingRate = 9600;

class ProtocolloMixer : public OperationThread {
public:
    // Runs on the user-interface thread; the thread is created suspended and attached to the
    // progress window's Cancel.
    ProtocolloMixer(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                    const Views& views);
    ~ProtocolloMixer() override;

    // The exact class name, for the behaviour that differs by class.
    virtual const char* ClassName() const = 0;
    bool ClassNameIs(const char* name) const;

    // Runs on the user-interface thread before the start: opens or reads the operation's file, or
    // stores a fixture name. Nonzero means the thread may be started; zero means the failure has
    // been reported already.
    virtual int Prepare(const std::string& argument) = 0;

    // Shows 9600 in the baud display and, when start is true, resumes the thread.
    void StartOperation(bool start);

    // User-interface thread routines.
    void UpdateBaudDisplay();
    void ShowProgress();
    void HideProgress();
    void ReportResult();
    int ShowResultMessage(int code);

    // What the framing works with.
    PortaSeriale& SerialPort() { return *serialPort_; }
    uint8_t* Buffer() { return buffer_.data(); }
    void SetProgressPosition(unsigned position);

    int ResultCode() const { return resultCode_; }
    // The code whose report ended the operation, from the thread body or from a refused Prepare.
    int ReportedCode() const { return reportedCode_; }
    const std::string& PortName() const { return portName_; }
    const std::string& FileName() const { return fileName_; }
    uint32_t CurrentBaudRate() const { return currentBaudRate_; }

    // done × 100 ÷ total, as the progress bar shows it; a transfer of nothing is complete.
    static unsigned ProgressPosition(uint64_t done, uint64_t total);

    // The bar's top edge inside its 100-pixel frame for a rate: the visible part grows with it.
    static int BaudBarTop(uint32_t rate);

protected:
    // Greets the desk at 9600 baud and, unless this is a firmware upload, switches both ends to
    // the rate ChooseBaudRate gives. Raises 5, 6, 7, 20, 8 or 10.
    void Connect(const uint8_t* command, uint32_t length);
    uint32_t ChooseBaudRate();

    // Runs a thread body or a Prepare and returns the code it raised (0 if it returned).
    static int Guarded(const std::function<void()>& body);

    // The end every thread body shares: stores the code and reports it on the user-interface
    // thread.
    void ReportEnd(int code);

    // Plain control updates from the operation thread, queued in order.
    void PostMixerName(const std::string& name);
    void PostRelease(const std::string& release);
    void PostCursor(Cursor cursor);

    const Views& views() const { return views_; }
    const DisplayTargets& targets() const { return targets_; }

    uint32_t transferSize_ = 65536;
    uint32_t currentBaudRate_ = kGreetingRate;
    uint32_t requestedBaudRate_;
    uint32_t expectedDataSum_ = 0;
    std::string portName_;
    std::string fileName_;
    std::string progressText_;
    std::vector<uint8_t> buffer_;
    std::array<uint8_t, 4> fileDeskModel_{};
    ElencoMixer deskModels_;
    DisplayTargets targets_;
    Views views_;
    std::unique_ptr<PortaSeriale> serialPort_;
    int fileHandle_ = file::kNoHandle;
    int resultCode_ = 0;
    int reportedCode_ = 0;

private:
    void ShowNoFlush();
};

} // namespace olk
