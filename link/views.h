#pragma once
// What an operation thread shows, as plain interfaces: the windows implement them with Qt, the
// terminal front end with text, the tests with recorders. Every call here runs on the
// user-interface thread; texts are the bytes the desk or the system gives.
#include <string>

namespace olk {

class ProtocolloMixer;
class UiThread;

// A label or panel whose caption an operation sets.
class CaptionView {
public:
    virtual ~CaptionView() = default;
    virtual void SetCaption(const std::string& text) = 0;
};

// The baud bar: a panel whose top edge moves inside its frame.
class BaudBarView {
public:
    virtual ~BaudBarView() = default;
    virtual void SetTop(int top) = 0;
};

// What the operations reach of the main window itself.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void Repaint() = 0;
    virtual void SetRelease(const std::string& text) = 0;
    // The end-of-operation notice: handled after every update queued before it.
    virtual void PostOperationEnded() = 0;

    // A backup that fails stops the restore that was to follow it.
    virtual void ClearChainFlag() = 0;
    // A fixture added or removed: the list is requested again once the operation has ended.
    virtual void SetRefreshListFlag() = 0;

    // What a backup shows of the file it receives: the description box, and the description
    // editor, which writes into the open file through its handle.
    virtual void ShowReceivedDescription(const std::string& text) = 0;
    virtual void PrepareDescriptionEditor(int fileHandle, const std::string& description) = 0;
    virtual void ShowDescriptionEditor() = 0; // modal
    virtual void FreeDescriptionEditor() = 0;
};

class ProgressView {
public:
    virtual ~ProgressView() = default;
    // The thread that Cancel stops: the most recently constructed one.
    virtual void AttachThread(ProtocolloMixer* thread) = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void SetBarVisible(bool visible) = 0;
    virtual void SetCancelVisible(bool visible) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Repaint() = 0;
};

enum class DialogKind { Warning, Error, Information, Confirmation };
enum class DialogButtons { Ok, YesNo, Yes, YesCancel, OkCancel, YesNoCancel };

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// Modal message dialogs; returns the button pressed, or 0 when the dialog was closed otherwise.
class MessageDialogs {
public:
    virtual ~MessageDialogs() = default;
    virtual int Show(const std::string& text, DialogKind kind, DialogButtons buttons) = 0;
};

enum class Cursor { Arrow, HourGlass, AppStart };

class CursorView {
public:
    virtual ~CursorView() = default;
    virtual void SetCursor(Cursor cursor) = 0;
};

// The four main-window controls every operation thread is given.
struct DisplayTargets {
    CaptionView& mixerName;
    MainWindowView& mainWindow;
    BaudBarView& greenBar;
    CaptionView& baudValue;
};

// The rest of the program an operation thread reaches: the user-interface thread, the progress
// window, the message dialogs and the mouse cursor.
struct Views {
    UiThread& ui;
    ProgressView& progress;
    MessageDialogs& dialogs;
    CursorView& cursor;
};

} // namespace olk
