#include "link/protocollomixer.h"

#include "link/datablock.h"
#include "link/resultcodes.h"

#include <cmath>
#include <cstring>
#include <thread>

namespace olk {
namespace {

constexpr int kConnectAttempts = 3;
constexpr uint32_t kHandshakeAnswerSize = 3;
constexpr auto kPauseBeforeSwitch = std::chrono::milliseconds(5);
constexpr auto kPauseAfterSwitch = std::chrono::milliseconds(20);
constexpr uint8_t kSingleModelCode = 20; // its files fit only its own desks, and the other way round
constexpr int kIdleBaudBarTop = 98;

// The rates an automatic choice probes, fastest first. Faster rates are only ever chosen by hand.
constexpr uint32_t kAutomaticRates[] = {57600, 38400, 19200};

} // namespace

void Raise(int code)
{
    throw RaisedCode{code};
}

ProtocolloMixer::ProtocolloMixer(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                                 const Views& views)
    : OperationThread(views.ui),
      requestedBaudRate_(requestedBaudRate),
      portName_(std::move(portName)),
      targets_(targets),
      views_(views)
{
    views_.progress.AttachThread(this);
}

ProtocolloMixer::~ProtocolloMixer()
{
    serialPort_.reset();
    file::Close(fileHandle_);
}

bool ProtocolloMixer::ClassNameIs(const char* name) const
{
    return std::strcmp(ClassName(), name) == 0;
}

void ProtocolloMixer::StartOperation(bool start)
{
    views_.cursor.SetCursor(Cursor::AppStart);
    UpdateBaudDisplay();
    if (start)
        Resume();
}

int ProtocolloMixer::BaudBarTop(uint32_t rate)
{
    return static_cast<int>(102.0 - 100.0 * std::sqrt(static_cast<double>(rate)) / std::sqrt(460800.0));
}

unsigned ProtocolloMixer::ProgressPosition(uint64_t done, uint64_t total)
{
    if (total == 0)
        return 100;
    return static_cast<unsigned>(done * 100 / total);
}

void ProtocolloMixer::UpdateBaudDisplay()
{
    targets_.greenBar.SetTop(BaudBarTop(currentBaudRate_));
    targets_.baudValue.SetCaption(std::to_string(currentBaudRate_));
}

void ProtocolloMixer::ShowProgress()
{
    UpdateBaudDisplay();
    targets_.mainWindow.Repaint();
    views_.progress.SetCaption(progressText_);
    views_.progress.SetPosition(0);
    views_.progress.SetBarVisible(true);
    views_.progress.Show();
    views_.progress.SetCancelVisible(true);
    views_.progress.Repaint();
    views_.cursor.SetCursor(Cursor::Arrow);
}

void ProtocolloMixer::HideProgress()
{
    views_.cursor.SetCursor(Cursor::Arrow);
    views_.progress.Hide();
    targets_.greenBar.SetTop(kIdleBaudBarTop);
    targets_.baudValue.SetCaption("0");
}

void ProtocolloMixer::ReportResult()
{
    ShowResultMessage(resultCode_);
}

int ProtocolloMixer::ShowResultMessage(int code)
{
    HideProgress();
    const DialogMessage* message = FindResultMessage(code);
    if (IsQuestion(code))
        return views_.dialogs.Show(message->text, message->kind, message->buttons);
    reportedCode_ = code;
    if (message)
        views_.dialogs.Show(ResultText(code, fileName_), message->kind, message->buttons);
    targets_.mainWindow.PostOperationEnded();
    return 0;
}

void ProtocolloMixer::SetProgressPosition(unsigned position)
{
    ProgressView& progress = views_.progress;
    Post([&progress, position] { progress.SetPosition(static_cast<int>(position)); });
}

void ProtocolloMixer::PostMixerName(const std::string& name)
{
    CaptionView& label = targets_.mixerName;
    Post([&label, name] { label.SetCaption(name); });
}

void ProtocolloMixer::PostRelease(const std::string& release)
{
    MainWindowView& window = targets_.mainWindow;
    Post([&window, release] { window.SetRelease(release); });
}

void ProtocolloMixer::PostCursor(Cursor cursor)
{
    CursorView& view = views_.cursor;
    Post([&view, cursor] { view.SetCursor(cursor); });
}

int ProtocolloMixer::Guarded(const std::function<void()>& body)
{
    try {
        body();
    } catch (const RaisedCode& raised) {
        return raised.code;
    }
    return result::kQuietEnd;
}

void ProtocolloMixer::ReportEnd(int code)
{
    resultCode_ = code;
    Synchronize([this] { ReportResult(); });
}

void ProtocolloMixer::ShowNoFlush()
{
    MessageDialogs& dialogs = views_.dialogs;
    Synchronize([&dialogs] { dialogs.Show("No flush", DialogKind::Confirmation, DialogButtons::Yes); });
}

void ProtocolloMixer::Connect(const uint8_t* command, uint32_t length)
{
    // Bytes a cut answer leaves unfilled keep this text, which names no desk.
    uint8_t answer[kHandshakeAnswerSize + 1] = {'E', 'r', 'r', 0};
    bool answered = false;
    for (int attempt = 0; attempt < kConnectAttempts && !answered; ++attempt) {
        serialPort_ = std::make_unique<PortaSeriale>(portName_, kGreetingRate, [this] { ShowNoFlush(); });
        if (!portName_.empty() && portName_[0] == 'E')
            Raise(result::kCannotInitialize);
        if (serialPort_->Write(command, length) == 0)
            Raise(result::kCannotCommunicate);
        answered = serialPort_->Read(answer, kHandshakeAnswerSize) >= 1;
        if (!answered)
            serialPort_.reset(); // the next attempt opens the device afresh
        if (!answered && Abandoned())
            Raise(result::kInterrupted); // the program is quitting: no one waits for the greeting
    }
    if (!answered)
        Raise(result::kNotResponding);
    if (ClassNameIs("RestoreUserData") && ((fileDeskModel_[0] == kSingleModelCode) != (answer[1] == kSingleModelCode)))
        Raise(result::kIncompatibleModel);
    if (answer[0] != ElencoMixer::kHandshakeKey)
        Raise(result::kBadAnswer);
    const std::string modelName = deskModels_.ModelName(answer);
    if (modelName == ElencoMixer::kUnknown)
        Raise(result::kBadAnswer);
    PostMixerName(modelName);
    if (ClassNameIs("AggiornaFirmware"))
        return; // the firmware goes out at 9600 baud and needs no block buffer
    currentBaudRate_ = ChooseBaudRate();
    uint8_t rateValue[4];
    WriteDWord(rateValue, 0, currentBaudRate_);
    if (serialPort_->Write(rateValue, sizeof rateValue) == 0)
        Raise(result::kLineFailure);
    std::this_thread::sleep_for(kPauseBeforeSwitch);
    serialPort_->SetBaudRate(currentBaudRate_);
    buffer_.assign(kBlockSize, 0);
    std::this_thread::sleep_for(kPauseAfterSwitch);
}

uint32_t ProtocolloMixer::ChooseBaudRate()
{
    if (requestedBaudRate_ != 0)
        return requestedBaudRate_;
    for (const uint32_t rate : kAutomaticRates)
        if (serialPort_->TestBaudRate(rate))
            return rate;
    return 0;
}

} // namespace olk
