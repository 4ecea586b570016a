#pragma once
// Small files the program owns (settings, desktop integration) written whole and in one step.
#include <string>

namespace olk {

// Writes the bytes as the file at path, making missing parent directories. The new contents go
// into a file beside the old one, which is renamed into place only when written whole, so a full
// disk or a crash never leaves the old file half written. False when it cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace olk
