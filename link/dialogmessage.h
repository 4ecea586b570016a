#pragma once
// A message of the system's own: the dialog's kind, its buttons and its text.
#include "link/views.h"

#include <map>

namespace olk {

struct DialogMessage {
    DialogKind kind;
    DialogButtons buttons;
    const char* text;
};

using MessageTable = std::map<int, DialogMessage>;

// The message of a code in a table, or null.
inline const DialogMessage* FindMessage(const MessageTable& table, int code)
{
    const auto found = table.find(code);
    return found == table.end() ? nullptr : &found->second;
}

} // namespace olk
