// A fixture's records as any bytes: its size, its name and its text are read only inside the
// records that exist, and the description manager shows at most 253 bytes of the text.
#include "descriptions/describedfile.h"
#include "fixtures/fixturefile.h"
#include "fuzz/fuzzcheck.h"
#include "fuzz/scratchfile.h"
#include "userdata/datafile.h"

#include <cstring>
#include <vector>

namespace {

// The records behind a header that keeps the length rule, so the manager reads them.
std::vector<uint8_t> FixtureFileOf(const uint8_t* records, std::size_t size)
{
    const std::size_t recordCount = (size + olk::datafile::kRecordSize - 1) / olk::datafile::kRecordSize;
    std::vector<uint8_t> file(olk::datafile::kHeaderSize + recordCount * olk::datafile::kRecordSize);
    const auto count = static_cast<uint32_t>(recordCount);
    std::memcpy(file.data() + olk::datafile::kRecordCountOffset, &count, sizeof count);
    std::memcpy(file.data() + olk::datafile::kHeaderSize, records, size);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace olk;
    fixturefile::FixtureSize(data, size);
    if (const auto name = fixturefile::FixtureName(data, size))
        OLK_FUZZ_CHECK(name->size() <= 12 && name->find('\0') == std::string::npos);
    const std::string text = fixturefile::FixtureText(data, size);
    OLK_FUZZ_CHECK(text.size() <= size && text.find('\0') == std::string::npos);

    const std::vector<uint8_t> file = FixtureFileOf(data, size);
    const auto shown = describedfile::ReadShown(fuzz::ScratchFile("lamp.fxt", file.data(), file.size()));
    OLK_FUZZ_CHECK(shown.has_value());
    OLK_FUZZ_CHECK(!shown->editable && shown->text.size() <= describedfile::kFixtureTextLimit);
    // The file holds the records padded to whole records, which the manager reads as they are.
    const std::string padded = fixturefile::FixtureText(file.data() + datafile::kHeaderSize, file.size() - datafile::kHeaderSize);
    OLK_FUZZ_CHECK(padded.compare(0, shown->text.size(), shown->text) == 0);
    return 0;
}
