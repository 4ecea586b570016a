#include "link/portaseriale.h"
#include "link/protocollomixer.h"

#include <gtest/gtest.h>

namespace olk {
namespace {

TEST(BaudBar, TopEdgeGrowsWithTheSquareRootOfTheRate)
{
    const std::pair<uint32_t, int> table[] = {{9600, 87},    {19200, 81},   {38400, 73}, {57600, 66},
                                              {115200, 52}, {230400, 31}, {460800, 2}};
    for (const auto& [rate, top] : table)
        EXPECT_EQ(ProtocolloMixer::BaudBarTop(rate), top) << rate;
}

TEST(Progress, IsDoneTimesHundredOverTotalRoundedDown)
{
    EXPECT_EQ(ProtocolloMixer::ProgressPosition(1, 4), 25u);
    EXPECT_EQ(ProtocolloMixer::ProgressPosition(4, 4), 100u);
    EXPECT_EQ(ProtocolloMixer::ProgressPosition(2, 3), 66u);
    EXPECT_EQ(ProtocolloMixer::ProgressPosition(65535, 65536), 99u);
    // Counts a desk or a file supplies never overflow the arithmetic.
    EXPECT_EQ(ProtocolloMixer::ProgressPosition(0xFFFFFFFFull, 0xFFFFFFFFull), 100u);
    // A transfer of no data blocks is complete, never a division by zero.
    EXPECT_EQ(ProtocolloMixer::ProgressPosition(0, 0), 100u);
}

TEST(SerialTimeouts, MultiplierDependsOnTheConstructionRateOnly)
{
    EXPECT_EQ(PortaSeriale::TimeoutMultiplier(9600), 2u);
    EXPECT_EQ(PortaSeriale::TimeoutMultiplier(4800), 4u);
    EXPECT_EQ(PortaSeriale::TimeoutMultiplier(1200), 14u);
    EXPECT_EQ(PortaSeriale::TimeoutMultiplier(19200), 1u);
    EXPECT_EQ(PortaSeriale::TimeoutMultiplier(460800), 1u);
}

} // namespace
} // namespace olk
