#pragma once
// The views of the terminal front end: messages on standard error, questions at the terminal (or
// answered by flags when there is none), progress as one updating line or a line every 10 %.
#include "link/eventloop.h"
#include "link/views.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

namespace olk::cli {

class TerminalViews {
public:
    // interactive: questions are asked at the terminal; progressLine: progress rewrites one line.
    TerminalViews(std::FILE* messages, bool interactive, bool progressLine);

    DisplayTargets Targets();
    Views AsViews();

    // Without a terminal, a question whose text is listed here is answered Yes; any other No.
    void AnswerYesWithoutTerminal(const std::string& question);

    // Runs the user-interface loop until the end-of-operation notice.
    void RunUntilEnded();
    // Cancel, as the progress window's button: stops the attached operation.
    void Cancel();

    EventLoop& Loop() { return loop_; }
    const std::string& MixerName() const { return mixerName_; }
    const std::string& Release() const { return release_; }
    // True when a question was answered No.
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
        // A terminal has no description box and no editor.
        void ClearChainFlag() override {}
        void SetRefreshListFlag() override {}
        void ShowReceivedDescription(const std::string&) override {}
        void PrepareDescriptionEditor(int, const std::string&) override {}
        void ShowDescriptionEditor() override {}
        void FreeDescriptionEditor() override {}
        TerminalViews& owner;
    };
    struct Progress : ProgressView {
        explicit Progress(TerminalViews& owner) : owner(owner) {}
        void AttachThread(ProtocolloMixer* thread) override { owner.attached_ = thread; }
        void SetCaption(const std::string&) override {}
        void SetPosition(int position) override { owner.ShowPosition(position); }
        void SetBarVisible(bool) override {}
        void SetCancelVisible(bool) override {}
        void Show() override { owner.StartProgress(); }
        void Hide() override { owner.EndProgress(); }
        void Repaint() override {}
        TerminalViews& owner;
    };
    struct Dialogs : MessageDialogs {
        explicit Dialogs(TerminalViews& owner) : owner(owner) {}
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
    void PrintMessage(const std::string& text);

    std::FILE* messages_;
    bool interactive_;
    bool progressLine_;
    std::map<std::string, bool> flagAnswers_;
    std::string mixerName_;
    std::string release_;
    std::string baudValue_;
    bool declined_ = false;
    bool ended_ = false;
    bool progressShown_ = false;
    int lastReportedStep_ = -1;
    std::chrono::steady_clock::time_point progressStart_;
    ProtocolloMixer* attached_ = nullptr;
    EventLoop loop_;
    Caption mixerNameView_{mixerName_};
    Caption baudValueView_{baudValue_};
    Bar bar_;
    Window window_{*this};
    Progress progress_{*this};
    Dialogs dialogs_{*this};
    Cursors cursors_;
};

} // namespace olk::cli
