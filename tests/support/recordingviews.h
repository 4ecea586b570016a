#pragma once
// Views that record every call in order, answer questions from a script, and end the event loop
// when the end-of-operation notice is handled: a stand-in for the windows.
#include "link/eventloop.h"
#include "link/protocollomixer.h"
#include "link/views.h"
#include "tests/support/recordingdialogs.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace olk::test {

class RecordingViews {
public:
    RecordingViews();

    DisplayTargets Targets();
    Views AsViews();

    // Runs the user-interface loop until the end-of-operation notice has been handled; false when
    // it did not come within the timeout.
    bool RunUntilEnded(std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // Presses the progress window's Cancel.
    void PressCancel();

    // Called on the user-interface thread with every entry as it is recorded.
    std::function<void(const std::string& entry)> onRecord;
    void Record(const std::string& entry);

    // Every call, in order, such as "mixerName=    Korvan 1  " or "dialog Error: Mixer not responding !".
    std::vector<std::string> log;
    std::vector<std::string> Matching(const std::string& prefix) const;

    RecordingDialogs dialogs;    // its answers script the questions
    std::string mixerName;
    std::string release;
    std::string baudValue;
    int baudBarTop = -1;
    int progressPosition = -1;
    bool progressVisible = false;
    int endedNotices = 0;
    bool chainCleared = false;
    bool refreshListFlag = false;
    std::string receivedDescription;
    int editorHandle = -1;
    // Plays the user in the description editor, given the file handle it writes through.
    std::function<void(int fileHandle)> onEditDescription;
    ProtocolloMixer* attached = nullptr;
    EventLoop loop;

private:
    struct Caption;
    struct Bar;
    struct Window;
    struct Progress;
    struct Cursors;

    std::shared_ptr<Caption> mixerNameView_;
    std::shared_ptr<Caption> baudValueView_;
    std::shared_ptr<Bar> barView_;
    std::shared_ptr<Window> windowView_;
    std::shared_ptr<Progress> progressView_;
    std::shared_ptr<Cursors> cursorView_;
};

} // namespace olk::test
