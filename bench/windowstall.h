#pragma once
// The real main window on the offscreen platform, running a backup from its Start button while
// a 1 ms timer on the user-interface thread notes every gap in its event loop.
#include <chrono>
#include <string>

namespace olk::bench {

struct WindowFigures {
    std::string lastMessage; // the message that ended the backup
    std::chrono::duration<double> wall{0};
    std::chrono::duration<double> longestStall{0}; // the longest gap between two ticks, less the 1 ms interval
    int progressSteps = 0;                         // distinct bar positions the ticks saw
    int ticks = 0;
};

// Backs the desk on COM1 up into path at rate, choosing it in the window as a user does.
WindowFigures BackupInTheWindow(uint32_t rate, const std::string& path);

} // namespace olk::bench
