#pragma once
// Whether a key is held down at this moment, read from the window system. Where it cannot be
// read, the key counts as not held.

namespace olk {

bool IsF12Held();

} // namespace olk
