#include "tests/support/hexfiles.h"

#include "firmware/hexreader.h"
#include "link/littleendian.h"

#include <cstdio>

namespace olk::test {

std::string HexRecord(uint16_t address, const std::vector<uint8_t>& data, uint8_t type)
{
    std::string text = ":";
    char pair[3];
    unsigned sum = 0;
    auto put = [&](unsigned byte) {
        std::snprintf(pair, sizeof pair, "%02X", byte & 0xFF);
        text += pair;
        sum += byte;
    };
    put(static_cast<unsigned>(data.size()));
    put(address >> 8);
    put(address & 0xFF);
    put(type);
    for (const uint8_t byte : data)
        put(byte);
    put((0x100 - (sum & 0xFF)) & 0xFF);
    return text + "\r\n";
}

std::vector<uint8_t> SignedImage(uint8_t seed)
{
    std::vector<uint8_t> image(firmware::kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
    WriteDWord(image.data(), firmware::kChecksumOffset, firmware::ImageChecksum(image));
    return image;
}

std::string HexText(const std::vector<uint8_t>& image)
{
    std::string text;
    for (std::size_t address = 0; address < image.size(); address += 16)
        text += HexRecord(static_cast<uint16_t>(address),
                          std::vector<uint8_t>(image.begin() + static_cast<std::ptrdiff_t>(address),
                                               image.begin() + static_cast<std::ptrdiff_t>(address + 16)));
    return text + ":00000001FF\r\n";
}

} // namespace olk::test
