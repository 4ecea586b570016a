#include "link/datablock.h"

#include "link/littleendian.h"

namespace olk {

uint16_t BlockSum(const uint8_t* data)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < kBlockDataSize; ++i)
        sum += data[i];
    return static_cast<uint16_t>(sum);
}

void StoreBlockSum(uint8_t* block)
{
    WriteWord(block, kBlockDataSize, BlockSum(block));
}

bool BlockSumMatches(const uint8_t* block)
{
    return BlockSum(block) == ReadWord(block, kBlockDataSize);
}

uint32_t AddToDataSum(uint32_t total, const uint8_t* data)
{
    for (std::size_t i = 0; i < kBlockDataSize; ++i)
        total += data[i];
    return total;
}

} // namespace olk
