#include "tests/support/testimages.h"

#include "link/datablock.h"
#include "link/littleendian.h"
#include "userdata/datafile.h"

#include <algorithm>

namespace olk::desk::test {

Bytes FixtureFile(const std::string& name, uint16_t size, std::size_t records)
{
    Bytes image(datafile::kHeaderSize + records * datafile::kRecordSize, 0x11);
    uint8_t* area = image.data() + datafile::kHeaderSize;
    WriteWord(area, 0, size);
    WriteWord(area, 18, 32);
    std::fill_n(area + 32, 12, 0);
    std::copy(name.begin(), name.end(), area + 32);
    Seal(image);
    return image;
}

Bytes WorkFile(std::size_t records, uint8_t seed)
{
    Bytes image(datafile::kHeaderSize + records * datafile::kRecordSize, 0);
    image[datafile::kModelCodeOffset] = 0x0C;
    for (std::size_t i = datafile::kHeaderSize; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(seed + i * 13 + i / 256);
    Seal(image);
    return image;
}

void Seal(Bytes& image)
{
    WriteDWord(image.data(), datafile::kRecordCountOffset,
               static_cast<uint32_t>((image.size() - datafile::kHeaderSize) / datafile::kRecordSize));
    WriteDWord(image.data(), datafile::kChecksumOffset, RecordSum(image));
}

Bytes BlockOf(std::span<const uint8_t> data)
{
    Bytes block(data.begin(), data.begin() + kBlockDataSize);
    block.resize(kBlockSize);
    StoreBlockSum(block.data());
    return block;
}

uint32_t RecordSum(std::span<const uint8_t> image)
{
    uint32_t sum = 0;
    for (std::size_t offset = datafile::kHeaderSize; offset + datafile::kRecordSize <= image.size();
         offset += datafile::kRecordSize)
        sum = AddToDataSum(sum, image.data() + offset);
    return sum;
}

std::vector<Fixture> Library(int count)
{
    std::vector<Fixture> fixtures;
    for (int i = 0; i < count; ++i) {
        const std::string name = "FIX" + std::to_string(i);
        fixtures.push_back({name, FixtureFile(name, 300)});
    }
    return fixtures;
}

DeskConfig SlowListDesk()
{
    DeskConfig config;
    config.fixtures = Library(64);
    config.faults.pieces = {20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 18};
    config.faults.pieceDelayMs = 60;
    return config;
}

} // namespace olk::desk::test
