#include "userdata/restoreuserdata.h"

#include "link/commands.h"
#include "link/datablock.h"
#include "link/framing.h"
#include "link/resultcodes.h"
#include "userdata/datafile.h"

#include <algorithm>

namespace olk {

RestoreUserData::RestoreUserData(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                                 const Views& views)
    : ProtocolloMixer(std::move(portName), requestedBaudRate, targets, views)
{
    progressText_ = kTransmittingText;
}

int RestoreUserData::Prepare(const std::string& path)
{
    const int code = Guarded([&] { CheckRecordSum(OpenAndRead(path, [](const uint8_t*, uint32_t) {})); });
    if (code == result::kQuietEnd)
        return 1;
    ShowResultMessage(code);
    return 0;
}

uint32_t RestoreUserData::OpenAndRead(const std::string& path,
                                      const std::function<void(const uint8_t* record, uint32_t index)>& onRecord)
{
    fileName_ = path;
    views().cursor.SetCursor(Cursor::HourGlass);
    fileHandle_ = file::Open(path, file::OpenMode::ReadOnly);
    if (fileHandle_ == file::kNoHandle)
        Raise(result::kCannotOpenFile);
    if (file::Read(fileHandle_, header_.data(), header_.size()) <= 0)
        Raise(result::kReadError);
    blockCount_ = datafile::RecordCount(header_.data());
    if (!datafile::LengthRuleHolds(header_.data(), file::Length(fileHandle_)))
        Raise(result::kFileUnusable);
    expectedDataSum_ = datafile::HeaderChecksum(header_.data());
    uint8_t record[datafile::kRecordSize];
    uint32_t recordSum = 0;
    for (uint32_t index = 0; index < blockCount_; ++index) {
        const long long got = file::Read(fileHandle_, record, sizeof record);
        if (got < 0)
            Raise(result::kReadError);
        if (got < static_cast<long long>(sizeof record))
            Raise(result::kFileUnusable); // the file ended before its last record
        recordSum = AddToDataSum(recordSum, record);
        onRecord(record, index);
    }
    return recordSum;
}

void RestoreUserData::CheckRecordSum(uint32_t recordSum)
{
    if (recordSum != expectedDataSum_)
        Raise(result::kChecksumMismatch);
    std::copy_n(header_.begin() + datafile::kModelCodeOffset, fileDeskModel_.size(), fileDeskModel_.begin());
}

void RestoreUserData::Execute()
{
    ReportEnd(Guarded([this] {
        SendFile(command::kRestore.data(), command::kRestore.size());
        Raise(result::kUpdated);
    }));
}

void RestoreUserData::SendFile(const uint8_t* command, uint32_t length)
{
    int budget = kRetryBudget;
    Connect(command, length);
    Synchronize([this] { ShowProgress(); });
    SendDataFile(*this, fileHandle_, CheckedFile{header_.data(), blockCount_, expectedDataSum_}, budget);
}

} // namespace olk
