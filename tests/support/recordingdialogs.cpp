#include "tests/support/recordingdialogs.h"

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
    if (buttons != DialogButtons::YesNo)
        return buttons == DialogButtons::Yes ? kAnswerYes : 0;
    if (answers.empty())
        return kAnswerNo;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace olk::test
