#include "cli/terminal.h"

#include <windows.h>
#include <io.h>

namespace olk::cli {
namespace {

// The console's code page; without a console (output to a file or a pipe), the system's ANSI one.
UINT CodePage(UINT console)
{
    return console != 0 ? console : GetACP();
}

std::wstring Wide(const std::string& text, UINT codePage)
{
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// A character the code page cannot hold becomes '?' (UTF-8 holds them all).
std::string Narrow(const std::wstring& wide, UINT codePage)
{
    const char* substitute = codePage == CP_UTF8 ? nullptr : "?";
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           substitute, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, substitute,
                            nullptr);
    return text;
}

} // namespace

// The C runtime's isatty also holds the null device for a terminal; only a console has a mode.
bool IsTerminal(std::FILE* stream)
{
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

std::string Utf8ToTerminal(const std::string& utf8)
{
    const UINT codePage = CodePage(GetConsoleOutputCP());
    return codePage == CP_UTF8 ? utf8 : Narrow(Wide(utf8, CP_UTF8), codePage);
}

std::string TerminalToUtf8(const std::string& typed)
{
    const UINT codePage = CodePage(GetConsoleCP());
    return codePage == CP_UTF8 ? typed : Narrow(Wide(typed, codePage), CP_UTF8);
}

} // namespace olk::cli
