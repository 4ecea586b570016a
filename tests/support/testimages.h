#pragma once
// Data file images and blocks made up for the desk tests.
#include "desk/desksimulator.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace olk::desk::test {

using Bytes = std::vector<uint8_t>;

// A .FXT image of one header and `records` records: size at record-area offset 0, the name at
// record-area offset 32 (pointed to from offset 18), a true checksum and record count.
Bytes FixtureFile(const std::string& name, uint16_t size, std::size_t records = 1);

// A .WRK-like image with `records` records of bytes that differ from record to record.
Bytes WorkFile(std::size_t records, uint8_t seed);

// Sets the header's record count and checksum from the records that follow it.
void Seal(Bytes& image);

// 256 data bytes as a 258-byte block with its sum.
Bytes BlockOf(std::span<const uint8_t> data);

uint32_t RecordSum(std::span<const uint8_t> image);

// A library of count fixtures named FIX0, FIX1 and so on.
std::vector<Fixture> Library(int count);

// A desk whose fixture list (three blocks) arrives in small delayed pieces, so that an operation
// is still receiving when a test acts.
DeskConfig SlowListDesk();

} // namespace olk::desk::test
