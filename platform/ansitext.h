#pragma once
// Text in files and on the wire is 8-bit Windows-1252. It is kept as bytes; these convert it for
// showing (UTF-8) and back from what a user typed, so every byte a desk sends survives the trip.
#include <string>

namespace olk {

std::string AnsiToUtf8(const std::string& ansi);

// Characters Windows-1252 cannot hold become '?'; *lossless tells whether any did.
std::string Utf8ToAnsi(const std::string& utf8, bool* lossless = nullptr);

} // namespace olk
