#pragma once
// The operation commands a PC sends to the desk, byte for byte. Every command begins with
// 0xE5 0x57; the firmware command is the only one of three bytes.
#include <array>
#include <cstdint>
#include <string>

namespace olk::command {

inline constexpr std::array<uint8_t, 3> kFirmware{0xE5, 0x57, 0xA0};
inline constexpr std::array<uint8_t, 4> kBackup{0xE5, 0x57, 0xA5, 0x7F};
inline constexpr std::array<uint8_t, 4> kRestore{0xE5, 0x57, 0xA5, 0x80};
inline constexpr std::array<uint8_t, 4> kFixtureList{0xE5, 0x57, 0xA4, 0x81};
inline constexpr std::array<uint8_t, 4> kGetFixture{0xE5, 0x57, 0xA4, 0x82};
inline constexpr std::array<uint8_t, 4> kAddFixture{0xE5, 0x57, 0xA4, 0x83};
inline constexpr std::array<uint8_t, 4> kFreeMemory{0xE5, 0x57, 0xA4, 0x84};
inline constexpr std::array<uint8_t, 4> kRemoveFixture{0xE5, 0x57, 0xA4, 0x85};

inline constexpr uint8_t kLead0 = 0xE5;
inline constexpr uint8_t kLead1 = 0x57;

// The handshake answer the desk gives to every command but the free-memory and remove commands.
inline constexpr uint8_t kHandshakeLead = 0xE7;

// The firmware confirmation bytes.
inline constexpr uint8_t kFirmwareAccepted = 0xA6;
inline constexpr uint8_t kFirmwareRefused = 0xA7;

// A fixture name travels as exactly this many bytes, padded with 0x00.
inline constexpr std::size_t kFixtureNameSize = 12;

// The name as it goes on the line: its first 12 bytes, then 0x00 up to 12.
inline std::array<uint8_t, kFixtureNameSize> FixtureNameBytes(const std::string& name)
{
    std::array<uint8_t, kFixtureNameSize> bytes{};
    for (std::size_t i = 0; i < name.size() && i < kFixtureNameSize; ++i)
        bytes[i] = static_cast<uint8_t>(name[i]);
    return bytes;
}

// The firmware image size: every upload streams exactly this many bytes.
inline constexpr std::size_t kFirmwareImageSize = 65536;

} // namespace olk::command
