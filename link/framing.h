#pragma once
// Data blocks in both directions, each answered by ACK or NAK, and the sending loop that puts a
// whole data file on the line. Every rejected block, in either direction, takes one from the
// operation's retry budget; at 0 the operation fails with result code 10.
#include <cstdint>

namespace olk {

class ProtocolloMixer;

// Receives one block with a correct sum into buffer (258 bytes) and accepts it. Raises 9 when
// Cancel was pressed, 10 when the line stays silent or the budget runs out.
void ReceiveBlock(ProtocolloMixer& thread, uint8_t* buffer, int& budget);

// Sends the 256 data bytes of buffer with their sum until the desk accepts them (true) or the
// budget runs out (false). Raises 10 on a line failure or an answer that is neither ACK nor NAK.
bool SendBlock(ProtocolloMixer& thread, uint8_t* buffer, int& budget);

// Sends the open data file from its first byte: the header block, then blockCount records, with
// progress after each block. Raises 2 on a short file read, 9 on Cancel, 10 when the budget ran out.
void SendDataFile(ProtocolloMixer& thread, int fileHandle, uint32_t blockCount, int& budget);

} // namespace olk
