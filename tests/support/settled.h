#pragma once
// What the desk received, once the line has fallen quiet: the desk reads the last bytes a moment
// after the PC has written them, and a test must not look in between.
#include "desk/desksimulator.h"

#include <functional>

namespace olk::test {

std::vector<uint8_t> SettledBytesFromPc(const desk::DeskSimulator& desk);

// True once the condition holds, checked until a few seconds have passed: the desk stores what it
// received a moment after its last answer has gone out.
bool Eventually(const std::function<bool()>& condition);

} // namespace olk::test
