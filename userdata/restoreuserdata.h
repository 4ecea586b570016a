#pragma once
// The restore of a .WRK file into a desk: the whole file is checked before the desk is greeted,
// the desk's model is checked against the file's, and then every block is sent and acknowledged.
#include "link/protocollomixer.h"
#include "userdata/datafile.h"

#include <functional>

namespace olk {

class RestoreUserData : public ProtocolloMixer {
public:
    RestoreUserData(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                    const Views& views);

    const char* ClassName() const override { return "RestoreUserData"; }

    // Opens the file and checks its length, every record and the record sum; the file stays
    // open for the transfer.
    int Prepare(const std::string& path) override;

protected:
    void Execute() override;

    // Opens a data file to send and reads every record, calling onRecord with each record and
    // its index, and returns their sum; raises 1, 2 or 3. The file stays open for the transfer.
    uint32_t OpenAndRead(const std::string& path,
                         const std::function<void(const uint8_t* record, uint32_t index)>& onRecord);

    // Raises 4 unless the records sum to the header's checksum; takes the file's desk model.
    void CheckRecordSum(uint32_t recordSum);

    // Greets the desk with the command and sends the whole file, every block accepted.
    void SendFile(const uint8_t* command, uint32_t length);

    uint32_t blockCount_ = 0;
    datafile::Header header_{};
};

} // namespace olk
