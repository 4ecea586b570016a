#include "descriptions/describedfile.h"

#include "fixtures/fixturefile.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace olk::describedfile {
namespace {

// The fixture text block lies at a 16-bit record-area offset, and at most one record's worth of
// it is ever read: no more of the records is needed, however many the file holds.
constexpr std::size_t kFixtureTextReach = 0xFFFF + datafile::kRecordSize;

bool ContainsIgnoringCase(const std::string& text, const std::string& part)
{
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

// The header of the open file when it keeps the length rule.
std::optional<datafile::Header> WellFormedHeader(int handle)
{
    datafile::Header header{};
    if (file::Read(handle, header.data(), header.size()) != static_cast<long long>(header.size()) ||
        !datafile::LengthRuleHolds(header.data(), file::Length(handle)))
        return std::nullopt;
    return header;
}

// The fixture text of a well-formed file whose header has just been read: only the bytes the
// file holds, at most kFixtureTextLimit of them.
std::string ShownFixtureText(int handle, const datafile::Header& header)
{
    const uint64_t recordArea = datafile::ExpectedLength(header.data()) - datafile::kHeaderSize;
    std::vector<uint8_t> records(static_cast<std::size_t>(std::min<uint64_t>(recordArea, kFixtureTextReach)));
    const long long got = file::Read(handle, records.data(), records.size());
    if (got <= 0)
        return {};
    std::string text = fixturefile::FixtureText(records.data(), static_cast<std::size_t>(got));
    if (text.size() > kFixtureTextLimit)
        text.resize(kFixtureTextLimit);
    return text;
}

} // namespace

Kind KindOf(const std::string& path)
{
    if (ContainsIgnoringCase(path, ".FXT"))
        return Kind::Fixture;
    return ContainsIgnoringCase(path, ".WRK") ? Kind::Work : Kind::Other;
}

std::optional<Shown> ReadShown(const std::string& path)
{
    const int handle = file::Open(path, file::OpenMode::ReadOnly);
    if (handle == file::kNoHandle)
        return std::nullopt;
    std::optional<Shown> shown;
    if (const auto header = WellFormedHeader(handle)) {
        shown.emplace();
        shown->modelLine = datafile::ModelAndReleaseLine(header->data());
        switch (KindOf(path)) {
        case Kind::Work:
            shown->text = datafile::Description(header->data());
            shown->editable = true;
            break;
        case Kind::Fixture:
            shown->text = ShownFixtureText(handle, *header);
            break;
        case Kind::Other:
            // A data file the user picked under "All": no description is loaded, but the box
            // takes one, which Save then writes like any other.
            shown->editable = true;
            break;
        }
    }
    file::Close(handle);
    return shown;
}

DescriptionUpdate::DescriptionUpdate(const std::string& path)
    : handle_(file::Open(path, file::OpenMode::ReadWrite, &failure_)),
      wellFormed_(Opened() && WellFormedHeader(handle_).has_value())
{
}

DescriptionUpdate::~DescriptionUpdate()
{
    file::Close(handle_);
}

bool DescriptionUpdate::WriteProtected() const
{
    return failure_ == file::Failure::AccessDenied || failure_ == file::Failure::WriteProtected;
}

bool DescriptionUpdate::Store(const std::string& editedText)
{
    return wellFormed_ && datafile::StoreDescription(handle_, editedText);
}

} // namespace olk::describedfile
