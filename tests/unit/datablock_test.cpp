#include "link/datablock.h"

#include <gtest/gtest.h>

#include <array>

namespace olk {
namespace {

TEST(DataBlock, SumWrapsModulo65536AndTravelsLeastSignificantByteFirst)
{
    std::array<uint8_t, kBlockSize> block{};
    block.fill(0xFF);
    StoreBlockSum(block.data());
    EXPECT_EQ(BlockSum(block.data()), 0xFF00);
    EXPECT_EQ(block[256], 0x00);
    EXPECT_EQ(block[257], 0xFF);
    EXPECT_TRUE(BlockSumMatches(block.data()));
}

TEST(DataBlock, SumBytesOffByOneAreRejected)
{
    std::array<uint8_t, kBlockSize> block{};
    for (std::size_t i = 0; i < kBlockDataSize; ++i)
        block[i] = static_cast<uint8_t>(i);
    StoreBlockSum(block.data());
    ++block[256];
    EXPECT_FALSE(BlockSumMatches(block.data()));
}

TEST(DataBlock, DataSumIsThirtyTwoBitsAndWraps)
{
    std::array<uint8_t, kBlockDataSize> data{};
    data.fill(0xFF);
    EXPECT_EQ(AddToDataSum(0, data.data()), 255u * 256u);
    EXPECT_EQ(AddToDataSum(0xFFFFFFFFu, data.data()), 255u * 256u - 1u);
}

} // namespace
} // namespace olk
