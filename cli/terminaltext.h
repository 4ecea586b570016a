#pragma once
// Text between the desk's 8-bit Windows-1252 and the terminal's own encoding (the locale's
// character set, UTF-8 as a rule). What the terminal cannot show is transliterated, or shown as
// '?'; what Windows-1252 cannot hold becomes '?'.
#include <string>

namespace olk::cli {

std::string ForTerminal(const std::string& ansi);
std::string FromTerminal(const std::string& typed);

// Line breaks as a terminal shows them: each CR LF of a stored text becomes one LF.
std::string WithTerminalBreaks(const std::string& text);

} // namespace olk::cli
