// The fixture list stream as any bytes, cut into blocks anywhere: the names come out the same
// however the stream is cut, never more than announced, none longer than an entry.
#include "fixtures/nameentries.h"
#include "fuzz/fuzzcheck.h"

#include <vector>

namespace {

std::vector<std::string> NamesOf(unsigned count, const uint8_t* stream, std::size_t size, std::size_t piece)
{
    std::vector<std::string> names;
    olk::NameEntries entries(count);
    for (std::size_t at = 0; at < size; at += piece)
        entries.Add(stream + at, std::min(piece, size - at), [&](const std::string& name) { names.push_back(name); });
    return names;
}

} // namespace

// The first two bytes are the announced count, the third the size of the pieces.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const unsigned count = data[0] | data[1] << 8;
    const std::size_t piece = data[2] == 0 ? 1 : data[2];
    const auto whole = NamesOf(count, data + 3, size - 3, size);
    const auto pieces = NamesOf(count, data + 3, size - 3, piece);
    OLK_FUZZ_CHECK(whole == pieces);
    OLK_FUZZ_CHECK(whole.size() <= count && whole.size() <= (size - 3) / 12);
    for (const auto& name : whole)
        OLK_FUZZ_CHECK(name.size() <= 12);
    return 0;
}
