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

// What the file to send held when it was checked: its 256-byte header, its record count and the
// sum of its records.
struct CheckedFile {
    const uint8_t* header;
    uint32_t blockCount;
    uint32_t recordSum;
};

// Sends the open data file from its first byte: the header block, then its records, with
// progress after each block. The file is read again as it goes out, so a file changed since its
// check raises 4 (a header that differs, or records of another sum) before its last block leaves:
// the desk never takes a file other than the one checked. Raises 2 on a short file read, 9 on
// Cancel, 10 when the budget ran out.
void SendDataFile(ProtocolloMixer& thread, int fileHandle, const CheckedFile& checked, int& budget);

} // namespace olk
