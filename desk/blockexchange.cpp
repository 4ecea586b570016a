#include "desk/blockexchange.h"

#include "link/datablock.h"
#include "link/littleendian.h"
#include "userdata/datafile.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace olk::desk {

namespace {

int TimesFor(const std::map<int, int>& table, int index)
{
    auto entry = table.find(index);
    return entry == table.end() ? 0 : entry->second;
}

bool HeaderFits(const uint8_t* header, std::size_t maxImageSize)
{
    const uint64_t records = ReadDWord(header, datafile::kRecordCountOffset);
    return datafile::kHeaderSize + records * datafile::kRecordSize <= maxImageSize;
}

} // namespace

BlockExchange::BlockExchange(PtyLine& line, const Faults& faults, std::chrono::milliseconds idleLimit)
    : line_(line), faults_(faults), idleLimit_(idleLimit)
{
}

bool BlockExchange::Send(std::span<const uint8_t> image)
{
    int index = 0;
    for (std::size_t offset = 0; offset < image.size(); offset += kBlockDataSize, ++index)
        if (index == faults_.silentAtBlock || !SendBlock(index, image.data() + offset))
            return false;
    return true;
}

bool BlockExchange::SendBlock(int index, const uint8_t* data)
{
    Block block{};
    std::memcpy(block.data(), data, kBlockDataSize);
    StoreBlockSum(block.data());
    for (;;) {
        Block sent = block;
        if (wrongSumsSent_[index] < TimesFor(faults_.corruptSum, index)) {
            ++wrongSumsSent_[index];
            WriteWord(sent.data(), kBlockDataSize, static_cast<uint16_t>(BlockSum(data) + 1));
        }
        WriteInPieces(sent);
        Verdict verdict = AwaitAnswer();
        if (verdict != Verdict::Rejected)
            return verdict == Verdict::Accepted;
    }
}

void BlockExchange::WriteInPieces(const Block& block)
{
    std::span<const uint8_t> rest(block);
    for (std::size_t piece : faults_.pieces) {
        if (rest.empty())
            return;
        if (piece == 0)
            continue;
        std::size_t size = std::min(piece, rest.size());
        line_.Write(rest.first(size));
        rest = rest.subspan(size);
        if (!rest.empty())
            line_.Pause(std::chrono::milliseconds(faults_.pieceDelayMs));
    }
    line_.Write(rest); // whatever the listed pieces leave goes out as one more
}

BlockExchange::Verdict BlockExchange::AwaitAnswer()
{
    std::vector<uint8_t> answer = line_.ReadExactly(1, idleLimit_);
    if (answer.empty())
        return Verdict::Over;
    if (answer[0] == kAck)
        return Verdict::Accepted;
    if (answer[0] == kNak)
        return Verdict::Rejected;
    line_.Unread(answer); // not an answer: perhaps the start of the PC's next command
    return Verdict::Over;
}

std::optional<std::vector<uint8_t>> BlockExchange::Receive(std::size_t maxImageSize)
{
    std::optional<Block> header = ReceiveBlock(0, maxImageSize);
    if (!header)
        return std::nullopt;
    const uint32_t records = ReadDWord(header->data(), datafile::kRecordCountOffset);
    std::vector<uint8_t> image(header->begin(), header->begin() + kBlockDataSize);
    image.reserve(datafile::kHeaderSize + static_cast<std::size_t>(records) * datafile::kRecordSize);
    for (uint32_t record = 0; record < records; ++record) {
        std::optional<Block> block = ReceiveBlock(static_cast<int>(record) + 1, maxImageSize);
        if (!block)
            return std::nullopt;
        image.insert(image.end(), block->begin(), block->begin() + kBlockDataSize);
    }
    return image;
}

std::optional<BlockExchange::Block> BlockExchange::ReceiveBlock(int index, std::size_t maxImageSize)
{
    for (;;) {
        std::vector<uint8_t> heard = line_.ReadExactly(kBlockSize, idleLimit_);
        if (heard.size() < kBlockSize || index == faults_.silentAnswerAtBlock)
            return std::nullopt;
        Block block{};
        std::copy(heard.begin(), heard.end(), block.begin());
        const uint8_t answer = AnswerFor(index, block);
        // A header announcing more than the desk can hold ends the transfer unanswered, before
        // anything is allocated for it.
        if (answer == kAck && index == 0 && !HeaderFits(block.data(), maxImageSize))
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(faults_.answerDelayMs));
        line_.Write(std::span(&answer, 1));
        if (answer == kAck)
            return block;
        if (answer != kNak)
            return std::nullopt;
    }
}

uint8_t BlockExchange::AnswerFor(int index, const Block& block)
{
    auto forced = faults_.answerByte.find(index);
    if (forced != faults_.answerByte.end())
        return forced->second;
    if (!BlockSumMatches(block.data()))
        return kNak;
    if (naksGiven_[index] < TimesFor(faults_.nakBlocks, index)) {
        ++naksGiven_[index];
        return kNak;
    }
    return kAck;
}

} // namespace olk::desk
