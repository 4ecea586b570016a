#pragma once
// A message of the system's own: the dialog's kind, its buttons and its text.
#include "link/views.h"

#include <map>
#include <vector>

namespace olk {

struct DialogMessage {
    DialogKind kind;
    DialogButtons buttons;
    const char* text;
};

using MessageTable = std::map<int, DialogMessage>;

struct DialogButton {
    const char* caption;
    int answer;
};

// The buttons of a set, in the order they stand, with what each answers.
inline std::vector<DialogButton> ButtonsOf(DialogButtons buttons)
{
    switch (buttons) {
    case DialogButtons::Ok: return {{"OK", kAnswerOk}};
    case DialogButtons::YesNo: return {{"&Yes", kAnswerYes}, {"&No", kAnswerNo}};
    case DialogButtons::Yes: return {{"&Yes", kAnswerYes}};
    case DialogButtons::YesCancel: return {{"&Yes", kAnswerYes}, {"Cancel", kAnswerCancel}};
    case DialogButtons::OkCancel: return {{"OK", kAnswerOk}, {"Cancel", kAnswerCancel}};
    case DialogButtons::YesNoCancel: return {{"&Yes", kAnswerYes}, {"&No", kAnswerNo}, {"Cancel", kAnswerCancel}};
    }
    return {};
}

// The message of a code in a table, or null.
inline const DialogMessage* FindMessage(const MessageTable& table, int code)
{
    const auto found = table.find(code);
    return found == table.end() ? nullptr : &found->second;
}

} // namespace olk
