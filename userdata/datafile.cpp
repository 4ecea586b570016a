#include "userdata/datafile.h"

#include "link/elencomixer.h"
#include "link/littleendian.h"
#include "platform/filehandle.h"

namespace olk::datafile {

std::string FieldText(const uint8_t* field, std::size_t size)
{
    std::size_t length = 0;
    while (length < size && field[length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(field), length);
}

uint32_t HeaderChecksum(const uint8_t* header)
{
    return ReadDWord(header, kChecksumOffset);
}

uint32_t RecordCount(const uint8_t* header)
{
    return ReadDWord(header, kRecordCountOffset);
}

std::string Release(const uint8_t* header)
{
    return FieldText(header + kReleaseOffset, kReleaseSize);
}

std::string Description(const uint8_t* header)
{
    return FieldText(header + kDescriptionOffset, kDescriptionSize);
}

uint64_t ExpectedLength(const uint8_t* header)
{
    return static_cast<uint64_t>(RecordCount(header)) * kRecordSize + kHeaderSize;
}

bool LengthRuleHolds(const uint8_t* header, int64_t fileLength)
{
    return fileLength >= 0 && static_cast<uint64_t>(fileLength) == ExpectedLength(header);
}

std::string ModelAndReleaseLine(const uint8_t* header)
{
    const uint8_t key[3] = {ElencoMixer::kFileKey, header[kModelCodeOffset], header[kSubCodeOffset]};
    return ElencoMixer().ModelName(key) + "   Rel. " + Release(header);
}

std::string PreviewText(const std::string& description)
{
    return description.empty() ? "<NO DESCRIPTION>" : "File Description: " + description;
}

std::vector<uint8_t> DescriptionBytes(const std::string& editedText)
{
    if (editedText.empty())
        return {0};
    std::string text = editedText;
    while (text.size() > 1 && text.back() == '\n' && text[text.size() - 2] == '\r')
        text.resize(text.size() - 2);
    if (text.size() > kDescriptionLimit)
        text.resize(kDescriptionLimit);
    std::vector<uint8_t> field(kDescriptionSize, 0);
    std::copy(text.begin(), text.end(), field.begin());
    return field;
}

bool StoreDescription(int fileHandle, const std::string& editedText)
{
    const std::vector<uint8_t> bytes = DescriptionBytes(editedText);
    return file::Seek(fileHandle, kDescriptionOffset) &&
           file::Write(fileHandle, bytes.data(), bytes.size()) == static_cast<long long>(bytes.size());
}

std::optional<Header> ReadWellFormedHeader(const std::string& path)
{
    const int handle = file::Open(path, file::OpenMode::ReadOnly);
    if (handle == file::kNoHandle)
        return std::nullopt;
    Header header{};
    const bool complete = file::Read(handle, header.data(), header.size()) == static_cast<long long>(header.size());
    const int64_t length = file::Length(handle);
    file::Close(handle);
    if (!complete || !LengthRuleHolds(header.data(), length))
        return std::nullopt;
    return header;
}

} // namespace olk::datafile
