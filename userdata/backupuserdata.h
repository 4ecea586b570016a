#pragma once
// The backup of a desk's user data into a .WRK file, and the base of every receiving operation:
// the opening of a receiving transfer (handshake, fixture name, header block) and the loop over
// its data blocks.
#include "link/protocollomixer.h"
#include "userdata/datafile.h"
#include "userdata/replacingfile.h"

#include <optional>

#include <functional>

namespace olk {

class BackupUserData : public ProtocolloMixer {
public:
    BackupUserData(std::string portName, uint32_t requestedBaudRate, const DisplayTargets& targets,
                   const Views& views);

    const char* ClassName() const override { return "BackupUserData"; }

    // Creates the file to write, asking before a file that exists is replaced. An existing file
    // stays as it is until a new backup has fully arrived beside it.
    int Prepare(const std::string& path) override;

    // User-interface thread routines.
    void ShowReceivedDescription();
    void AskEditDescription();
    void FreeDescriptionEditor();

protected:
    void Execute() override;

    // Connects with the command, sends a non-empty fixture name as 12 bytes, receives the header
    // block and takes the expected data sum, the block count and the release text from it.
    void ReceiveHeader(const uint8_t* command, uint32_t length, const std::string& fixtureName, int& budget);

    // Receives the data blocks the header announced; useBlock gets each block's 256 data bytes and
    // its index from 0, before the progress moves.
    void ReceiveDataBlocks(int& budget, const std::function<void(const uint8_t* data, uint32_t index)>& useBlock);

    uint32_t blockCount_ = 0;
    uint32_t blocksRemaining_ = 0;

private:
    int CreateTarget(const std::string& path);
    void ReceiveIntoFile();
    void WriteToFile(const uint8_t* data);
    void PutInPlace();
    void EndBackup(int code);

    datafile::Header header_{};
    std::optional<ReplacingFile> target_;
};

} // namespace olk
