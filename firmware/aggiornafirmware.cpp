#include "firmware/aggiornafirmware.h"

#include "firmware/hexreader.h"
#include "link/commands.h"
#include "link/resultcodes.h"

#include <algorithm>

namespace olk {
namespace {

constexpr uint32_t kPieceSize = 512;
constexpr int kWriteAttempts = 3;

} // namespace

AggiornaFirmware::AggiornaFirmware(std::string portName, const DisplayTargets& targets, const Views& views)
    : ProtocolloMixer(std::move(portName), kGreetingRate, targets, views)
{
    progressText_ = kTransmittingText;
}

int AggiornaFirmware::Prepare(const std::string& path)
{
    const int code = Guarded([&] { ReadFirmwareFile(path); });
    if (code == result::kQuietEnd)
        return 1;
    buffer_.clear();
    ShowResultMessage(code);
    return 0;
}

void AggiornaFirmware::ReadFirmwareFile(const std::string& path)
{
    fileName_ = path;
    views().cursor.SetCursor(Cursor::HourGlass);
    fileHandle_ = file::Open(path, file::OpenMode::ReadOnly);
    if (fileHandle_ == file::kNoHandle)
        Raise(result::kCannotOpenFile);
    // The text buffer holds exactly what the file holds; the scan never reads past it.
    const int64_t length = file::Length(fileHandle_);
    std::vector<uint8_t> text(length > 0 ? static_cast<std::size_t>(length) : 0);
    const long long got = text.empty() ? 0 : file::Read(fileHandle_, text.data(), text.size());
    file::Close(fileHandle_);
    fileHandle_ = file::kNoHandle;
    if (got <= 0)
        Raise(result::kReadError);
    buffer_.assign(transferSize_, firmware::kFill);
    if (firmware::ScanRecords(text.data(), static_cast<std::size_t>(got), buffer_) ==
        firmware::ScanResult::BeyondTheImage)
        Raise(result::kFileUnusable);
    if (!firmware::ImageChecksumMatches(buffer_))
        Raise(result::kChecksumMismatch);
}

void AggiornaFirmware::Execute()
{
    ReportEnd(Guarded([this] {
        Connect(command::kFirmware.data(), command::kFirmware.size());
        Synchronize([this] { ShowProgress(); });
        SendImage();
        Raise(Confirmation());
    }));
}

// No piece is answered; a piece the line takes only in part is continued from its first byte
// not taken, and one it refuses three times ends the sending.
void AggiornaFirmware::SendImage()
{
    uint32_t sent = 0;
    bool going = true;
    while (sent < transferSize_ && going) {
        const uint32_t piece = std::min(kPieceSize, transferSize_ - sent);
        uint32_t put = 0;
        for (int attempt = 0; attempt < kWriteAttempts && put == 0; ++attempt)
            put = serialPort_->Write(buffer_.data() + sent, piece);
        going = put != 0;
        sent += put;
        SetProgressPosition(ProgressPosition(sent, transferSize_));
        if (Terminated())
            Raise(result::kInterrupted);
    }
}

int AggiornaFirmware::Confirmation()
{
    // The desk answers once the whole image has reached it; the wait for that answer starts when
    // the last byte has left, not when the driver took it.
    serialPort_->Drain();
    uint8_t answer = 0;
    if (serialPort_->Read(&answer, 1) == 0)
        return result::kLineFailure;
    if (answer == command::kFirmwareAccepted)
        return result::kUpdated;
    if (answer == command::kFirmwareRefused)
        return result::kRevisionRefused;
    return result::kNotConfirmed;
}

} // namespace olk
