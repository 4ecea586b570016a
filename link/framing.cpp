#include "link/framing.h"

#include "link/datablock.h"
#include "link/protocollomixer.h"
#include "link/resultcodes.h"
#include "platform/filehandle.h"

#include <algorithm>

namespace olk {
namespace {

constexpr int kTransferAttempts = 3;

// Reads the missing part of a block: up to three calls, stopping at the first that brings data.
uint32_t ReadPiece(ProtocolloMixer& thread, uint8_t* into, uint32_t missing)
{
    uint32_t got = 0;
    for (int attempt = 0; attempt < kTransferAttempts && got == 0; ++attempt) {
        got = thread.SerialPort().Read(into, missing);
        if (thread.Terminated())
            Raise(result::kInterrupted);
    }
    return got;
}

void ReceiveWholeBlock(ProtocolloMixer& thread, uint8_t* buffer)
{
    uint32_t received = 0;
    while (received < kBlockSize) {
        const uint32_t got = ReadPiece(thread, buffer + received, static_cast<uint32_t>(kBlockSize) - received);
        if (got == 0)
            Raise(result::kLineFailure);
        received += got;
    }
}

void SendWholeBlock(ProtocolloMixer& thread, const uint8_t* buffer)
{
    uint32_t sent = 0;
    while (sent < kBlockSize) {
        uint32_t put = 0;
        for (int attempt = 0; attempt < kTransferAttempts && put == 0; ++attempt)
            put = thread.SerialPort().Write(buffer + sent, static_cast<uint32_t>(kBlockSize) - sent);
        if (put == 0)
            Raise(result::kLineFailure);
        sent += put;
    }
}

} // namespace

void ReceiveBlock(ProtocolloMixer& thread, uint8_t* buffer, int& budget)
{
    for (;;) {
        ReceiveWholeBlock(thread, buffer);
        const bool accepted = BlockSumMatches(buffer);
        if (!accepted)
            --budget;
        const uint8_t answer = accepted ? kAck : kNak;
        thread.SerialPort().Write(&answer, 1);
        if (accepted)
            return;
        if (budget <= 0)
            Raise(result::kLineFailure);
    }
}

bool SendBlock(ProtocolloMixer& thread, uint8_t* buffer, int& budget)
{
    StoreBlockSum(buffer);
    for (;;) {
        SendWholeBlock(thread, buffer);
        uint8_t answer = 0;
        if (thread.SerialPort().Read(&answer, 1) == 0)
            Raise(result::kLineFailure);
        if (answer == kAck)
            return true;
        if (answer != kNak)
            Raise(result::kLineFailure);
        if (--budget <= 0)
            return false;
    }
}

void SendDataFile(ProtocolloMixer& thread, int fileHandle, const CheckedFile& checked, int& budget)
{
    const uint32_t blockCount = checked.blockCount;
    uint64_t blocksToSend = static_cast<uint64_t>(blockCount) + 1; // the header, then every record
    uint8_t* buffer = thread.Buffer();
    uint32_t recordSum = 0;
    file::Seek(fileHandle, 0);
    while (blocksToSend != 0 && budget > 0) {
        if (file::Read(fileHandle, buffer, kBlockDataSize) < static_cast<long long>(kBlockDataSize))
            Raise(result::kReadError);
        if (blocksToSend > blockCount && !std::equal(buffer, buffer + kBlockDataSize, checked.header))
            Raise(result::kChecksumMismatch);
        if (blocksToSend <= blockCount)
            recordSum = AddToDataSum(recordSum, buffer);
        if (blocksToSend == 1 && blockCount != 0 && recordSum != checked.recordSum)
            Raise(result::kChecksumMismatch);
        if (SendBlock(thread, buffer, budget))
            --blocksToSend;
        // Until the header is accepted nothing counts as done.
        const uint64_t done = blocksToSend > blockCount ? 0 : blockCount - blocksToSend;
        thread.SetProgressPosition(ProtocolloMixer::ProgressPosition(done, blockCount));
        if (thread.Terminated())
            Raise(result::kInterrupted);
    }
    if (blocksToSend != 0)
        Raise(result::kLineFailure);
}

} // namespace olk
