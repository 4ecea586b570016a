#pragma once
// One transfer of data blocks between the desk and the PC, header block first: sending an image
// and waiting for the PC's ACK or NAK after each block, or receiving one and answering each block.
// The block-level faults of the desk are played here; indices count the blocks of this transfer.
#include "desk/desksimulator.h"
#include "desk/ptyline.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace olk::desk {

class BlockExchange {
public:
    // idleLimit: the PC's silence that ends the transfer.
    BlockExchange(PtyLine& line, const Faults& faults, std::chrono::milliseconds idleLimit);

    // Sends the image, one block per 256 bytes; true when the PC accepted every block.
    bool Send(std::span<const uint8_t> image);

    // Receives a header block and the records it announces; none when the transfer broke off or
    // the header announced more than maxImageSize bytes.
    std::optional<std::vector<uint8_t>> Receive(std::size_t maxImageSize);

private:
    using Block = std::array<uint8_t, 258>;
    enum class Verdict { Accepted, Rejected, Over };

    bool SendBlock(int index, const uint8_t* data);
    void WriteInPieces(const Block& block);
    Verdict AwaitAnswer();
    std::optional<Block> ReceiveBlock(int index, std::size_t maxImageSize);
    uint8_t AnswerFor(int index, const Block& block);

    PtyLine& line_;
    const Faults& faults_;
    const std::chrono::milliseconds idleLimit_;
    std::map<int, int> wrongSumsSent_;
    std::map<int, int> naksGiven_;
};

} // namespace olk::desk
