#pragma once
// The olkmixer-cli the end-to-end tests run: the Linux program, or, when OLK_WINE_CLI names the
// Windows one, that one under Wine, in the prefix of WINEPREFIX whose COM ports lead to the tests'
// pseudo-terminals (LinkEnvironment keeps the links). What the Windows program writes in text
// mode comes back with plain line feeds, so both answer the same expectations.
#include "tests/support/subprocess.h"

#include <chrono>
#include <string>
#include <vector>

namespace olk::test {

bool CliUnderWine();

ProcessResult RunCli(const std::vector<std::string>& arguments, const std::function<void(int pid)>& whileRunning = {});
ProcessResult RunCliAtTerminal(const std::vector<std::string>& arguments, const std::string& typed);

// Text as the program under test writes it to a pipe, from its UTF-8: the same under the tests'
// UTF-8 locale; from the Windows program, in the system's ANSI code page, Windows-1252 here.
std::string TerminalText(const std::string& utf8);

// How much earlier than its total timeout a read of the program under test may end: the clock's
// millisecond on Linux; Wine counts the timeouts its own way and ends them a few ms early.
std::chrono::milliseconds TimeoutAllowance();

// Stores a value at the top of the settings, where the program under test reads them: the
// settings file, or the registry of the Wine prefix.
void StoreCliSetting(const std::string& key, const std::string& value);

// Starts the Wine prefix's settings afresh, as each test's own settings directory starts empty.
void ForgetCliSettings();

} // namespace olk::test
