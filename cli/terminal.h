#pragma once
// The terminal the program talks to: whether a stream is one, and its own encoding, on Linux the
// locale's character set, on Windows the console's code page (without a console, the system's
// ANSI one). What it cannot show is transliterated where it can be, else shown as '?'.
#include <cstdio>
#include <string>

namespace olk::cli {

// True for a terminal, or on Windows a console; a file, a pipe or the null device is none.
bool IsTerminal(std::FILE* stream);

std::string Utf8ToTerminal(const std::string& utf8);
std::string TerminalToUtf8(const std::string& typed);

} // namespace olk::cli
