#include "link/elencomixer.h"

#include <gtest/gtest.h>

namespace olk {
namespace {

struct ModelCase {
    uint8_t key[3];
    const char* name;
};

void PrintTo(const ModelCase& value, std::ostream* out)
{
    *out << value.name;
}

class ModelNameTest : public testing::TestWithParam<ModelCase> {};

TEST_P(ModelNameTest, NamesTheKnownPairsOnly)
{
    EXPECT_EQ(ElencoMixer().ModelName(GetParam().key), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Keys, ModelNameTest,
                         testing::Values(ModelCase{{0xE7, 0x0C, 0x00}, "    Korvan 1  "},
                                         ModelCase{{0xE7, 0x0C, 0xA6}, " Korvan 1/XT  "},
                                         ModelCase{{0xE7, 0x18, 0x00}, "    Korvan 2  "},
                                         ModelCase{{0xE7, 0x18, 0xA6}, " Korvan 2/XT  "},
                                         ModelCase{{0xE6, 0x14, 0xA6}, "   Duvessa    "},
                                         ModelCase{{0xE6, 0x0C, 0x00}, "    Korvan 1  "},
                                         ModelCase{{0xE7, 0x14, 0x00}, "0"},  // 20 only with 0xA6
                                         ModelCase{{0xE5, 0x0C, 0x00}, "0"},  // wrong lead byte
                                         ModelCase{{0xE7, 0x0C, 0x30}, "0"},  // sub-codes compared exactly
                                         ModelCase{{'E', 'r', 'r'}, "0"}));   // a cut handshake answer

TEST(ModelTable, EveryNameIsFourteenCharacters)
{
    for (const auto& row : ElencoMixer::kRows)
        EXPECT_EQ(std::string(row.name).size(), 14u) << row.name;
}

} // namespace
} // namespace olk
