#pragma once
// The program's own file types and icons: what the desktop is told at every start, and what the
// package installs for every user.
#include "platform/fileassociations.h"

#include <string>
#include <vector>

namespace olk {

// In the order they are registered, each with the index of its icon.
inline constexpr FileType kOlkFileTypes[] = {
    {".hex", "OLK Firmware", 2},
    {".fxt", "OLK Fixture", 1},
    {".wrk", "OLK User data", 3},
};

// The icon images by index, as file names: 0 is the program's own.
inline constexpr const char* kOlkIconNames[] = {"olkmixer.png", "fxt.png", "hex.png", "wrk.png"};

// Registers every type and publishes the desktop entry.
void RegisterOlkFileTypes(FileAssociations& associations);

} // namespace olk
