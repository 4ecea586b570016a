#include "cli/terminaltext.h"

#include "cli/terminal.h"
#include "platform/ansitext.h"

namespace olk::cli {

std::string ForTerminal(const std::string& ansi)
{
    return Utf8ToTerminal(AnsiToUtf8(ansi));
}

std::string FromTerminal(const std::string& typed)
{
    return Utf8ToAnsi(TerminalToUtf8(typed));
}

std::string WithTerminalBreaks(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        shown += text[i];
    }
    return shown;
}

} // namespace olk::cli
