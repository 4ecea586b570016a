// Any edited text stored as a description: the field takes one NUL or exactly 128 bytes, and the
// file keeps every other byte and its length.
#include "fuzz/fuzzcheck.h"
#include "fuzz/scratchfile.h"
#include "platform/filehandle.h"
#include "userdata/datafile.h"

#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace olk;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<uint8_t> field = datafile::DescriptionBytes(text);
    OLK_FUZZ_CHECK(field.size() == 1 || field.size() == datafile::kDescriptionSize);
    OLK_FUZZ_CHECK(field.size() > 1 || field[0] == 0);
    OLK_FUZZ_CHECK(field.back() == 0);

    std::vector<uint8_t> before(datafile::kHeaderSize + datafile::kRecordSize);
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::string path = fuzz::ScratchFile("described.WRK", before.data(), before.size());
    const int handle = file::Open(path, file::OpenMode::ReadWrite);
    OLK_FUZZ_CHECK(handle != file::kNoHandle);
    datafile::StoreDescription(handle, text);
    file::Close(handle);

    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> after(std::istreambuf_iterator<char>(in), {});
    OLK_FUZZ_CHECK(after.size() == before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool inField = i >= datafile::kDescriptionOffset && i < datafile::kDescriptionOffset + field.size();
        OLK_FUZZ_CHECK(after[i] == (inField ? field[i - datafile::kDescriptionOffset] : before[i]));
    }
    return 0;
}
