// The .hex reader takes any text: it never reads past the text, never writes outside the image,
// and places no byte at or beyond 64 KiB.
#include "firmware/hexreader.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace olk::firmware;
    std::vector<uint8_t> image(kImageSize, kFill);
    ScanRecords(data, size, image);
    OLK_FUZZ_CHECK(image.size() == kImageSize);
    const bool matches = ImageChecksumMatches(image);
    OLK_FUZZ_CHECK(matches == (ImageChecksum(image) == (image[kChecksumOffset] | image[kChecksumOffset + 1] << 8 |
                                                        image[kChecksumOffset + 2] << 16 |
                                                        static_cast<uint32_t>(image[kChecksumOffset + 3]) << 24)));
    return 0;
}
