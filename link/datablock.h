#pragma once
// A data block on the line: 256 data bytes followed by their 16-bit sum, least significant byte
// first. The receiver answers every block with one byte, ACK to accept it or NAK to have it sent
// again.
#include <cstddef>
#include <cstdint>

namespace olk {

inline constexpr std::size_t kBlockDataSize = 256;
inline constexpr std::size_t kBlockSize = 258;
inline constexpr uint8_t kAck = 0xE6;
inline constexpr uint8_t kNak = 0xE7;

// Sum of the 256 data bytes, each unsigned, modulo 65,536.
uint16_t BlockSum(const uint8_t* data);

// Writes the sum of bytes 0..255 into bytes 256..257.
void StoreBlockSum(uint8_t* block);

// True when bytes 256..257 hold the sum of bytes 0..255.
bool BlockSumMatches(const uint8_t* block);

// Sum of the 256 data bytes, each unsigned, into a running 32-bit total that wraps modulo 2^32:
// the end-to-end check every transfer makes against the header's expected data sum.
uint32_t AddToDataSum(uint32_t total, const uint8_t* data);

} // namespace olk
