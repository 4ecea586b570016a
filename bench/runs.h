#pragma once
// One operation run from the start to its end-of-operation notice, as the main window runs it,
// with the figures the table shows.
#include "bench/linerecord.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace olk::bench {

struct RunFigures {
    int resultCode = -1;
    std::chrono::duration<double> wall{0};
    std::chrono::duration<double> bound{0}; // the line's own time for the same exchange
    std::chrono::duration<double> cpu{0};   // this process's, user and system
    std::size_t blocks = 0;                 // data blocks answered, the header block included
    std::vector<CallRecord> calls;
};

// The pauses of the handshake of every operation that switches rate.
inline constexpr std::chrono::milliseconds kHandshakePauses{5 + 20};
// Long enough for the slowest paced run: 513 blocks at 9600 baud.
inline constexpr std::chrono::minutes kLongestRun{5};

RunFigures Backup(uint32_t rate, const std::string& path);
RunFigures Restore(uint32_t rate, const std::string& path);
RunFigures FixtureList(uint32_t rate);
inline constexpr uint32_t kFirmwarePieceSize = 512;

// The whole image, or until Cancel once the given number of pieces (not 0) waited for the line.
RunFigures FirmwareUpload(const std::string& hexPath, std::size_t cancelAfterPacedPieces = 0);

} // namespace olk::bench
