#include "tests/support/recordingdialogs.h"

#include "link/dialogmessage.h"

namespace olk::test {
namespace {

const char* KindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Warning: return "Warning";
    case DialogKind::Error: return "Error";
    case DialogKind::Information: return "Information";
    case DialogKind::Confirmation: return "Confirm";
    }
    return "?";
}

} // namespace

int RecordingDialogs::Show(const std::string& text, DialogKind kind, DialogButtons buttons)
{
    const std::string entry = std::string(KindName(kind)) + ": " + text;
    shown.push_back(entry);
    if (onShow)
        onShow(entry);
    const auto choices = ButtonsOf(buttons);
    if (choices.size() == 1)
        return choices.front().answer;
    if (answers.empty())
        return choices.back().answer; // No, or Cancel
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace olk::test
