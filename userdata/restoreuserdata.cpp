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
    const int code = Guarded([&] { OpenAndCheck(path, [](const uint8_t*, uint32_t) {}); });
    if (code == result::kQuietEnd)
        return 1;
    ShowResultMessage(code);
    return 0;
}

void RestoreUserData::OpenAndCheck(const std::string& path,
                                   const std::function<void(const uint8_t* record, uint32_t index)>& onRecord)
{
    fileName_ = path;
    views().cursor.SetCursor(Cursor::HourGlass);
    fileHandle_ = file::Open(path, file::OpenMode::ReadOnly);
    if (fileHandle_ == file::kNoHandle)
        Raise(result::kCannotOpenFile);
    datafile::Header header{};
    if (file::Read(fileHandle_, header.data(), header.size()) <= 0)
        Raise(result::kReadError);
    blockCount_ = datafile::RecordCount(header.data());
    if (!datafile::LengthRuleHolds(header.data(), file::Length(fileHandle_)))
        Raise(result::kFileUnusable);
    expectedDataSum_ = datafile::HeaderChecksum(header.data());
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
    if (recordSum != expectedDataSum_)
        Raise(result::kChecksumMismatch);
    std::copy_n(header.begin() + datafile::kModelCodeOffset, fileDeskModel_.size(), fileDeskModel_.begin());
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
    SendDataFile(*this, fileHandle_, blockCount_, budget);
}

} // namespace olk
