#include "userdata/backupuserdata.h"

#include "link/commands.h"
#include "link/framing.h"
#include "link/resultcodes.h"
#include "userdata/datafile.h"

#include <algorithm>

namespace olk {

BackupUserData::BackupUserData(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                               const Views& views)
    : ProtocolloMixer(std::move(portName), requestedBaudRate, targets, views)
{
    progressText_ = kReceivingText;
}

void BackupUserData::ReceiveHeader(const uint8_t* command, uint32_t length, const std::string& fixtureName,
                                   int& budget)
{
    Connect(command, length);
    if (!fixtureName.empty()) {
        uint8_t name[command::kFixtureNameSize] = {};
        std::copy_n(fixtureName.begin(), std::min(fixtureName.size(), command::kFixtureNameSize), name);
        if (serialPort_->Write(name, sizeof name) == 0)
            Raise(result::kLineFailure);
    }
    PostCursor(Cursor::Arrow);
    ReceiveBlock(*this, Buffer(), budget);
    expectedDataSum_ = ReadDWord(Buffer(), datafile::kChecksumOffset);
    blockCount_ = ReadDWord(Buffer(), datafile::kRecordCountOffset);
    blocksRemaining_ = blockCount_;
    PostRelease(datafile::FieldText(Buffer() + datafile::kReleaseOffset, datafile::kReleaseSize));
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
