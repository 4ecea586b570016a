#pragma once
// The views of the terminal front end: messages on standard error, questions at the terminal (or
// answered by flags when there is none), progress as one updating line or a line every 10 %, and
// the description editor of a backup as a text given beforehand.
#include "link/eventloop.h"
#include "link/views.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace olk::cli {

class TerminalViews {
public:
    // interactive: questions are asked at the terminal; progressLine: progress rewrites one line.
    TerminalViews(std::FILE* messages, bool interactive, bool progressLine);

    DisplayTargets Targets();
    Views AsViews();
    MessageDialogs& Dialogs() { return dialogs_; }

    // Without a terminal, a question whose text is listed here is answered Yes; any other No.
    void AnswerYesWithoutTerminal(const std::string& question);
    // A question answered so whether or not there is a terminal.
    void AnswerAlways(const std::string& question, bool yes);

    // What the description editor of a backup stores: an edited text (its lines, each followed
    // by CR LF, in Windows-1252), or nothing for a backup that keeps the desk's description.
    void SetDescriptionToStore(std::optional<std::string> editedText);

    // Called before each operation: its end has not come, no question of it was declined.
    void BeginOperation();
    // Runs the user-interface loop until the end-of-operation notice.
    void RunUntilEnded();

    // The operation that Ctrl-C cancels while it runs; null once it has ended.
    void SetRunning(ProtocolloMixer* operation);
    // Cancel, as the progress window's button, from any thread: stops the running operation.
    // False when none runs.
    bool CancelRunning();
    bool CancelRequested() const;

    const std::string& MixerName() const { return mixerName_; }
    const std::string& Release() const { return release_; }
    // True when a question of the current operation was answered No.
    bool Declined() const { return declined_; }

private:
    struct Caption : CaptionView {
        explicit Caption(std::string& value) : value(value) {}
        void SetCaption(const std::string& text) override { value = text; }
        std::string& value;
    };
    struct Bar : BaudBarView {
        void SetTop(int) override {}
    };
    struct Window : MainWindowView {
        explicit Window(TerminalViews& owner) : owner(owner) {}
        void Repaint() override {}
        void SetRelease(const std::string& text) override { owner.release_ = text; }
        void PostOperationEnded() override;
        // A restore follows its backup only when the backup's exit status says it was done.
        void ClearChainFlag() override {}
        // Every command ends with its operation: no list is requested after it.
        void SetRefreshListFlag() override {}
        // A terminal has no description box.
        void ShowReceivedDescription(const std::string&) override {}
        void PrepareDescriptionEditor(int fileHandle, const std::string&) override { owner.editorHandle_ = fileHandle; }
        void ShowDescriptionEditor() override { owner.StoreDescription(); }
        void FreeDescriptionEditor() override {}
        TerminalViews& owner;
    };
    struct Progress : ProgressView {
        explicit Progress(TerminalViews& owner) : owner(owner) {}
        void AttachThread(ProtocolloMixer*) override {}
        void SetCaption(const std::string&) override {}
        void SetPosition(int position) override { owner.ShowPosition(position); }
        void SetBarVisible(bool) override {}
        void SetCancelVisible(bool) override {}
        void Show() override { owner.StartProgress(); }
        void Hide() override { owner.EndProgress(); }
        void Repaint() override {}
        TerminalViews& owner;
    };
    struct TerminalDialogs : MessageDialogs {
        explicit TerminalDialogs(TerminalViews& owner) : owner(owner) {}
        int Show(const std::string& text, DialogKind kind, DialogButtons buttons) override;
        TerminalViews& owner;
    };
    struct Cursors : CursorView {
        void SetCursor(Cursor) override {}
    };

    void StartProgress();
    void ShowPosition(int position);
    void EndProgress();
    bool Ask(const std::string& question);
    bool AskAtTerminal(const std::string& question);
    void PrintMessage(const std::string& text);
    void StoreDescription();

    std::FILE* messages_;
    bool interactive_;
    bool progressLine_;
    std::map<std::string, bool> flagAnswers_;
    std::map<std::string, bool> fixedAnswers_;
    std::optional<std::string> descriptionToStore_;
    int editorHandle_ = -1;
    std::string mixerName_;
    std::string release_;
    std::string baudValue_;
    bool declined_ = false;
    bool ended_ = false;
    bool progressShown_ = false;
    int lastReportedStep_ = -1;
    std::chrono::steady_clock::time_point progressStart_;
    mutable std::mutex runningMutex_; // Ctrl-C arrives on a thread of its own
    ProtocolloMixer* running_ = nullptr;
    bool cancelRequested_ = false;
    EventLoop loop_;
    Caption mixerNameView_{mixerName_};
    Caption baudValueView_{baudValue_};
    Bar bar_;
    Window window_{*this};
    Progress progress_{*this};
    TerminalDialogs dialogs_{*this};
    Cursors cursors_;
};

} // namespace olk::cli
