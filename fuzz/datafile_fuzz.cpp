// A .WRK file as any bytes: the header checks and both previews, from memory and from disk as
// the main window and the description manager read it.
#include "descriptions/describedfile.h"
#include "fuzz/fuzzcheck.h"
#include "fuzz/scratchfile.h"
#include "userdata/datafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace olk;
    const std::string path = fuzz::ScratchFile("show.WRK", data, size);
    const auto header = datafile::ReadWellFormedHeader(path);
    OLK_FUZZ_CHECK(header.has_value() ==
                   (size >= datafile::kHeaderSize && datafile::LengthRuleHolds(data, static_cast<int64_t>(size))));
    const auto shown = describedfile::ReadShown(path);
    OLK_FUZZ_CHECK(shown.has_value() == header.has_value());
    if (!header)
        return 0;
    OLK_FUZZ_CHECK(datafile::ExpectedLength(header->data()) == size);
    OLK_FUZZ_CHECK(datafile::Release(header->data()).size() <= datafile::kReleaseSize);
    const std::string description = datafile::Description(header->data());
    OLK_FUZZ_CHECK(description.size() <= datafile::kDescriptionSize);
    OLK_FUZZ_CHECK(shown->text == description && shown->editable);
    OLK_FUZZ_CHECK(shown->modelLine == datafile::ModelAndReleaseLine(header->data()));
    datafile::PreviewText(description);
    return 0;
}
