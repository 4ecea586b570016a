#pragma once
// What the desk keeps: its user data, its fixture library with the free memory, and the last
// firmware image it received, plus the data file images it sends out of them. Not locked: the
// simulator guards it.
#include "desk/desksimulator.h"

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace olk::desk {

// Model, sub-code and release as the desk writes them into every header it sends.
struct DeskIdentity {
    uint8_t modelCode = 0;
    uint8_t subCode = 0;
    std::string release;
};

// A small valid .WRK image: a header naming the desk and four records of fixed, varied bytes.
std::vector<uint8_t> GeneratedUserData(const DeskIdentity& identity);

// The image as it goes on the line: the header's record count and checksum made true to the
// records, and a last record cut short filled up with zeros.
std::vector<uint8_t> OutgoingImage(std::span<const uint8_t> image);

// The name a .FXT image gives its fixture: up to 12 bytes at the record-area offset found at
// record-area offset 18, ending at the first 0x00. None when that offset is 0 or lies outside.
std::optional<std::string> FixtureNameInFile(std::span<const uint8_t> image);

// The fixture's size in desk memory, from record-area offset 0; 0 for an image without records.
uint32_t FixtureSizeInFile(std::span<const uint8_t> image);

// A fixture name as the desk compares and lists it: at most 12 bytes, up to the first 0x00.
std::string FixtureKey(std::string_view name);

enum class Removal { Removed, Unknown, Patched };

class DeskState {
public:
    explicit DeskState(const DeskConfig& config);

    const std::vector<uint8_t>& UserData() const { return userData_; }
    void ReplaceUserData(std::vector<uint8_t> image) { userData_ = std::move(image); }

    const std::vector<Fixture>& Fixtures() const { return fixtures_; }
    uint32_t FreeMemory() const { return freeMemory_; }
    // The list transfer: header with checksum, block count, release and fixture count, then the
    // 12-byte name entries as one stream over the blocks, the last block filled up with 0xFF.
    std::vector<uint8_t> FixtureListImage() const;
    // The fixture's file as it goes on the line, or a lone header announcing no records.
    std::vector<uint8_t> FixtureImage(std::string_view name) const;
    // Stores a received .FXT image under the name it gives, replacing a fixture of that name;
    // false when the image names no fixture.
    bool StoreFixture(std::vector<uint8_t> image);
    Removal RemoveFixture(std::string_view name);

    const std::vector<uint8_t>& Firmware() const { return firmware_; }
    void StartFirmware() { firmware_.clear(); }
    void AppendFirmware(std::span<const uint8_t> bytes) { firmware_.insert(firmware_.end(), bytes.begin(), bytes.end()); }

private:
    std::vector<uint8_t> EmptyHeader() const;
    std::size_t IndexOf(std::string_view name) const; // the library's size when there is none

    DeskIdentity identity_;
    std::vector<uint8_t> userData_;
    std::vector<Fixture> fixtures_;
    uint32_t freeMemory_;
    std::set<std::string> patched_;
    std::vector<uint8_t> firmware_;
};

} // namespace olk::desk
