#pragma once
// A dialog layer that records every message ("Error: Mixer not responding !") and answers the
// questions from a script; an empty script answers No, or Cancel.
#include "link/views.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace olk::test {

class RecordingDialogs : public MessageDialogs {
public:
    int Show(const std::string& text, DialogKind kind, DialogButtons buttons) override;

    std::vector<std::string> shown;
    std::deque<int> answers;
    std::function<void(const std::string& entry)> onShow;
};

// Notes the buttons of every message too, which RecordingDialogs leaves out, and answers OK.
class ButtonRecordingDialogs : public MessageDialogs {
public:
    int Show(const std::string& text, DialogKind kind, DialogButtons buttons) override
    {
        shown.push_back({text, kind, buttons});
        return kAnswerOk;
    }

    struct Message {
        std::string text;
        DialogKind kind;
        DialogButtons buttons;
        bool operator==(const Message&) const = default;
    };
    std::vector<Message> shown;
};

} // namespace olk::test
