#include "userdata/backupuserdata.h"

#include "link/commands.h"
#include "link/datablock.h"
#include "link/framing.h"
#include "link/resultcodes.h"

#include <algorithm>

namespace olk {

BackupUserData::BackupUserData(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                               const Views& views)
    : ProtocolloMixer(std::move(portName), requestedBaudRate, targets, views)
{
    progressText_ = kReceivingText;
}

int BackupUserData::Prepare(const std::string& path)
{
    fileName_ = path;
    views().cursor.SetCursor(Cursor::HourGlass);
    const int code = CreateTarget(path);
    if (code == result::kQuietEnd && fileHandle_ != file::kNoHandle)
        return 1;
    ShowResultMessage(code);
    return 0;
}

// The overwrite question is asked only for a file that exists; the backup then goes into a new
// file beside it, which takes the old one's place only when the whole backup has arrived.
int BackupUserData::CreateTarget(const std::string& path)
{
    target_.emplace(path);
    ReplacingFile::Opening opening = target_->Create();
    if (opening == ReplacingFile::Opening::Exists) {
        if (ShowResultMessage(result::kAskOverwrite) == kAnswerNo)
            return result::kQuietEnd;
        opening = target_->CreateBeside();
    }
    fileHandle_ = target_->Handle();
    if (opening == ReplacingFile::Opening::WriteProtected)
        return result::kWriteProtected;
    return opening == ReplacingFile::Opening::Created ? result::kQuietEnd : result::kCannotCreate;
}

void BackupUserData::Execute()
{
    EndBackup(Guarded([this] { ReceiveIntoFile(); }));
}

void BackupUserData::ReceiveIntoFile()
{
    int budget = kRetryBudget;
    ReceiveHeader(command::kBackup.data(), command::kBackup.size(), "", budget);
    std::copy_n(Buffer(), header_.size(), header_.begin());
    Synchronize([this] { ShowProgress(); });
    Synchronize([this] { ShowReceivedDescription(); });
    WriteToFile(header_.data());
    uint32_t recordSum = 0;
    ReceiveDataBlocks(budget, [&](const uint8_t* data, uint32_t) {
        WriteToFile(data);
        recordSum = AddToDataSum(recordSum, data);
    });
    Synchronize([this] { HideProgress(); });
    if (recordSum != expectedDataSum_)
        Raise(result::kChecksumMismatch);
    PutInPlace();
    Synchronize([this] { AskEditDescription(); });
    Raise(result::kBackupDone);
}

void BackupUserData::WriteToFile(const uint8_t* data)
{
    if (file::Write(fileHandle_, data, kBlockDataSize) != static_cast<long long>(kBlockDataSize))
        Raise(result::kWriteError);
}

// From here on the backup is the file at the target path, for the editor and the preview alike.
void BackupUserData::PutInPlace()
{
    if (!target_->Commit())
        Raise(result::kWriteError);
}

// Every end but success removes what this backup wrote; a file it was to replace stays untouched.
void BackupUserData::EndBackup(int code)
{
    Synchronize([this] { FreeDescriptionEditor(); });
    fileHandle_ = file::kNoHandle;
    if (code == result::kBackupDone) {
        target_->Close();
    } else {
        MainWindowView& window = targets().mainWindow;
        Post([&window] { window.ClearChainFlag(); });
        target_->Discard();
    }
    ReportEnd(code);
}

void BackupUserData::ShowReceivedDescription()
{
    const std::string description = datafile::Description(header_.data());
    targets().mainWindow.ShowReceivedDescription(datafile::PreviewText(description));
    targets().mainWindow.PrepareDescriptionEditor(fileHandle_, description);
}

void BackupUserData::AskEditDescription()
{
    if (ShowResultMessage(result::kAskEditDescription) == kAnswerYes)
        targets().mainWindow.ShowDescriptionEditor();
}

void BackupUserData::FreeDescriptionEditor()
{
    targets().mainWindow.FreeDescriptionEditor();
}

void BackupUserData::ReceiveHeader(const uint8_t* command, uint32_t length, const std::string& fixtureName,
                                   int& budget)
{
    Connect(command, length);
    if (!fixtureName.empty()) {
        const auto name = command::FixtureNameBytes(fixtureName);
        if (serialPort_->Write(name.data(), name.size()) == 0)
            Raise(result::kLineFailure);
    }
    PostCursor(Cursor::Arrow);
    ReceiveBlock(*this, Buffer(), budget);
    expectedDataSum_ = datafile::HeaderChecksum(Buffer());
    blockCount_ = datafile::RecordCount(Buffer());
    blocksRemaining_ = blockCount_;
    PostRelease(datafile::Release(Buffer()));
}

void BackupUserData::ReceiveDataBlocks(int& budget,
                                       const std::function<void(const uint8_t* data, uint32_t index)>& useBlock)
{
    while (blocksRemaining_ != 0) {
        ReceiveBlock(*this, Buffer(), budget);
        useBlock(Buffer(), blockCount_ - blocksRemaining_);
        --blocksRemaining_;
        SetProgressPosition(ProgressPosition(blockCount_ - blocksRemaining_, blockCount_));
    }
}

} // namespace olk
