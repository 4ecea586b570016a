#include "desk/deskstate.h"

#include "link/commands.h"
#include "link/datablock.h"
#include "link/littleendian.h"
#include "userdata/datafile.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace olk::desk {

namespace {

constexpr std::size_t kGeneratedRecords = 4;
constexpr char kGeneratedDescription[] = "Simulated desk";
constexpr std::size_t kFixtureSizeOffset = 0;  // in the record area
constexpr std::size_t kFixtureNameOffset = 18; // in the record area
constexpr uint8_t kEndOfList = 0xFF;
constexpr std::size_t kMostListedFixtures = std::numeric_limits<uint16_t>::max(); // the count field's reach

std::size_t RecordCountFor(std::size_t imageSize)
{
    return (imageSize - datafile::kHeaderSize + datafile::kRecordSize - 1) / datafile::kRecordSize;
}

// Writes the record count and the sum of the record bytes into the header of a whole image.
void SealHeader(std::vector<uint8_t>& image)
{
    uint32_t sum = 0;
    for (std::size_t offset = datafile::kHeaderSize; offset < image.size(); offset += datafile::kRecordSize)
        sum = AddToDataSum(sum, image.data() + offset);
    WriteDWord(image.data(), datafile::kRecordCountOffset, static_cast<uint32_t>(RecordCountFor(image.size())));
    WriteDWord(image.data(), datafile::kChecksumOffset, sum);
}

void WriteText(std::vector<uint8_t>& image, std::size_t offset, std::size_t fieldSize, std::string_view text)
{
    std::size_t length = std::min(text.size(), fieldSize - 1); // the NUL must fit the field
    std::memcpy(image.data() + offset, text.data(), length);
    image[offset + length] = 0;
}

uint32_t SaturatingAdd(uint32_t a, uint32_t b)
{
    return a > std::numeric_limits<uint32_t>::max() - b ? std::numeric_limits<uint32_t>::max() : a + b;
}

std::span<const uint8_t> RecordArea(std::span<const uint8_t> image)
{
    return image.size() > datafile::kHeaderSize ? image.subspan(datafile::kHeaderSize) : std::span<const uint8_t>();
}

} // namespace

std::vector<uint8_t> GeneratedUserData(const DeskIdentity& identity)
{
    std::vector<uint8_t> image(datafile::kHeaderSize + kGeneratedRecords * datafile::kRecordSize, 0);
    image[datafile::kModelCodeOffset] = identity.modelCode;
    image[datafile::kSubCodeOffset] = identity.subCode;
    WriteText(image, datafile::kReleaseOffset, datafile::kReleaseSize, identity.release);
    WriteText(image, datafile::kDescriptionOffset, datafile::kDescriptionSize, kGeneratedDescription);
    // Each record has its own bytes and its own sum, so a record lost, doubled or swapped shows.
    for (std::size_t i = datafile::kHeaderSize; i < image.size(); ++i) {
        const std::size_t record = i / datafile::kRecordSize;
        image[i] = static_cast<uint8_t>((i % datafile::kRecordSize) * record / 3 + record * 11);
    }
    SealHeader(image);
    return image;
}

std::vector<uint8_t> OutgoingImage(std::span<const uint8_t> image)
{
    std::vector<uint8_t> outgoing(image.begin(), image.end());
    outgoing.resize(std::max(outgoing.size(), datafile::kHeaderSize));
    outgoing.resize(datafile::kHeaderSize + RecordCountFor(outgoing.size()) * datafile::kRecordSize, 0);
    SealHeader(outgoing);
    return outgoing;
}

std::optional<std::string> FixtureNameInFile(std::span<const uint8_t> image)
{
    std::span<const uint8_t> records = RecordArea(image);
    if (records.size() < kFixtureNameOffset + 2)
        return std::nullopt;
    std::size_t offset = ReadWord(records.data(), kFixtureNameOffset);
    if (offset == 0 || offset >= records.size())
        return std::nullopt;
    std::span<const uint8_t> field = records.subspan(offset, std::min(command::kFixtureNameSize, records.size() - offset));
    std::string name(field.begin(), std::find(field.begin(), field.end(), 0));
    if (name.empty())
        return std::nullopt;
    return name;
}

uint32_t FixtureSizeInFile(std::span<const uint8_t> image)
{
    std::span<const uint8_t> records = RecordArea(image);
    return records.size() < kFixtureSizeOffset + 2 ? 0 : ReadWord(records.data(), kFixtureSizeOffset);
}

std::string FixtureKey(std::string_view name)
{
    name = name.substr(0, std::min(name.find('\0'), command::kFixtureNameSize));
    return std::string(name);
}

DeskState::DeskState(const DeskConfig& config)
    : identity_{config.modelCode, config.subCode, config.release},
      userData_(config.userData.empty() ? GeneratedUserData(identity_) : config.userData),
      fixtures_(config.fixtures),
      freeMemory_(config.freeMemory)
{
    for (const std::string& name : config.patchedFixtures)
        patched_.insert(FixtureKey(name));
}

std::vector<uint8_t> DeskState::FixtureListImage() const
{
    const std::size_t listed = std::min(fixtures_.size(), kMostListedFixtures);
    std::vector<uint8_t> stream;
    stream.reserve(listed * command::kFixtureNameSize);
    for (std::size_t i = 0; i < listed; ++i) {
        std::string key = FixtureKey(fixtures_[i].name);
        key.resize(command::kFixtureNameSize, '\0');
        stream.insert(stream.end(), key.begin(), key.end());
    }
    std::vector<uint8_t> image = EmptyHeader();
    image.resize(datafile::kHeaderSize + RecordCountFor(datafile::kHeaderSize + stream.size()) * datafile::kRecordSize,
                 kEndOfList);
    std::copy(stream.begin(), stream.end(), image.begin() + datafile::kHeaderSize);
    WriteWord(image.data(), datafile::kFixtureCountOffset, static_cast<uint16_t>(listed));
    SealHeader(image);
    return image;
}

std::vector<uint8_t> DeskState::FixtureImage(std::string_view name) const
{
    const std::size_t index = IndexOf(name);
    return index == fixtures_.size() ? EmptyHeader() : OutgoingImage(fixtures_[index].file);
}

bool DeskState::StoreFixture(std::vector<uint8_t> image)
{
    std::optional<std::string> name = FixtureNameInFile(image);
    if (!name)
        return false;
    const uint32_t size = FixtureSizeInFile(image);
    const std::size_t index = IndexOf(*name);
    if (index < fixtures_.size()) {
        freeMemory_ = SaturatingAdd(freeMemory_, FixtureSizeInFile(fixtures_[index].file));
        fixtures_[index].file = std::move(image);
    } else {
        fixtures_.push_back(Fixture{*name, std::move(image)});
    }
    freeMemory_ = freeMemory_ >= size ? freeMemory_ - size : 0;
    return true;
}

Removal DeskState::RemoveFixture(std::string_view name)
{
    const std::size_t index = IndexOf(name);
    if (index == fixtures_.size())
        return Removal::Unknown;
    if (patched_.count(FixtureKey(name)) != 0)
        return Removal::Patched;
    freeMemory_ = SaturatingAdd(freeMemory_, FixtureSizeInFile(fixtures_[index].file));
    fixtures_.erase(fixtures_.begin() + static_cast<std::ptrdiff_t>(index));
    return Removal::Removed;
}

std::vector<uint8_t> DeskState::EmptyHeader() const
{
    std::vector<uint8_t> header(datafile::kHeaderSize, 0);
    header[datafile::kModelCodeOffset] = identity_.modelCode;
    header[datafile::kSubCodeOffset] = identity_.subCode;
    WriteText(header, datafile::kReleaseOffset, datafile::kReleaseSize, identity_.release);
    return header;
}

std::size_t DeskState::IndexOf(std::string_view name) const
{
    const std::string key = FixtureKey(name);
    auto found = std::find_if(fixtures_.begin(), fixtures_.end(),
                              [&](const Fixture& fixture) { return FixtureKey(fixture.name) == key; });
    return static_cast<std::size_t>(found - fixtures_.begin());
}

} // namespace olk::desk
