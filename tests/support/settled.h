#pragma once
// What the desk received, once the line has fallen quiet: the desk reads the last bytes a moment
// after the PC has written them, and a test must not look in between.
#include "desk/desksimulator.h"

namespace olk::test {

std::vector<uint8_t> SettledBytesFromPc(const desk::DeskSimulator& desk);

} // namespace olk::test
