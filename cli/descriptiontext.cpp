#include "cli/descriptiontext.h"

#include "cli/terminaltext.h"
#include "userdata/datafile.h"

namespace olk::cli {

std::optional<std::string> EditedDescription(const std::string& typed)
{
    const std::string text = WithTerminalBreaks(FromTerminal(typed));
    if (text.size() > datafile::kDescriptionLimit)
        return std::nullopt;
    if (text.empty())
        return std::string();
    std::string edited;
    for (const char c : text) {
        if (c == '\n')
            edited += "\r\n";
        else
            edited += c;
    }
    return edited + "\r\n";
}

} // namespace olk::cli
