#include "cli/terminalviews.h"

#include "link/dialogmessage.h"
#include "link/protocollomixer.h"
#include "link/resultcodes.h"
#include "userdata/datafile.h"

#include <iostream>

namespace olk::cli {
namespace {

constexpr int kStepPercent = 10;

std::string Duration(double seconds)
{
    const long whole = seconds < 0 ? 0 : static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

} // namespace

TerminalViews::TerminalViews(std::FILE* messages, bool interactive, bool progressLine)
    : messages_(messages), interactive_(interactive), progressLine_(progressLine)
{
}

DisplayTargets TerminalViews::Targets()
{
    return DisplayTargets{mixerNameView_, window_, bar_, baudValueView_};
}

Views TerminalViews::AsViews()
{
    return Views{loop_, progress_, dialogs_, cursors_};
}

void TerminalViews::AnswerYesWithoutTerminal(const std::string& question)
{
    flagAnswers_[question] = true;
}

void TerminalViews::AnswerAlways(const std::string& question, bool yes)
{
    fixedAnswers_[question] = yes;
}

void TerminalViews::SetDescriptionToStore(std::optional<std::string> editedText)
{
    descriptionToStore_ = std::move(editedText);
}

void TerminalViews::BeginOperation()
{
    ended_ = false;
    declined_ = false;
}

void TerminalViews::RunUntilEnded()
{
    while (!ended_)
        loop_.Run();
}

void TerminalViews::SetRunning(ProtocolloMixer* operation)
{
    const std::lock_guard lock(runningMutex_);
    running_ = operation;
}

bool TerminalViews::CancelRunning()
{
    const std::lock_guard lock(runningMutex_);
    if (!running_)
        return false;
    cancelRequested_ = true;
    running_->Terminate();
    return true;
}

bool TerminalViews::CancelRequested() const
{
    const std::lock_guard lock(runningMutex_);
    return cancelRequested_;
}

void TerminalViews::Window::PostOperationEnded()
{
    owner.loop_.Post([this] {
        owner.ended_ = true;
        owner.loop_.Quit();
    });
}

int TerminalViews::TerminalDialogs::Show(const std::string& text, DialogKind, DialogButtons buttons)
{
    owner.EndProgress();
    const auto choices = ButtonsOf(buttons);
    if (choices.size() == 1) {
        owner.PrintMessage(text);
        return choices.front().answer;
    }
    const bool yes = owner.Ask(text);
    if (!yes)
        owner.declined_ = true;
    return yes ? kAnswerYes : kAnswerNo;
}

// The system's texts are plain ASCII; a file name in them is already in the terminal's encoding.
void TerminalViews::PrintMessage(const std::string& text)
{
    std::fprintf(messages_, "%s\n", text.c_str());
    std::fflush(messages_);
}

bool TerminalViews::Ask(const std::string& question)
{
    if (const auto fixed = fixedAnswers_.find(question); fixed != fixedAnswers_.end() || !interactive_) {
        const bool yes = fixed != fixedAnswers_.end() ? fixed->second : flagAnswers_.count(question) != 0;
        std::fprintf(messages_, "%s %s\n", question.c_str(), yes ? "Yes" : "No");
        std::fflush(messages_);
        return yes;
    }
    return AskAtTerminal(question);
}

bool TerminalViews::AskAtTerminal(const std::string& question)
{
    std::fprintf(messages_, "%s [y/N] ", question.c_str());
    std::fflush(messages_);
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

// The editor of a backup, without its window: the text given for it goes into the open file.
void TerminalViews::StoreDescription()
{
    if (descriptionToStore_ && !datafile::StoreDescription(editorHandle_, *descriptionToStore_))
        PrintMessage(FindResultMessage(result::kWriteError)->text);
}

void TerminalViews::StartProgress()
{
    progressShown_ = true;
    lastReportedStep_ = -1;
    progressStart_ = std::chrono::steady_clock::now();
    ShowPosition(0);
}

void TerminalViews::ShowPosition(int position)
{
    if (!progressShown_)
        return;
    if (!progressLine_) {
        const int step = position / kStepPercent;
        if (step == lastReportedStep_)
            return;
        lastReportedStep_ = step;
        std::fprintf(messages_, "%d %%\n", step * kStepPercent);
        std::fflush(messages_);
        return;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - progressStart_).count();
    const std::string left = position > 0 ? Duration(elapsed * (100 - position) / position) : "-:--";
    std::fprintf(messages_, "\r%3d %%  %s baud  %s left ", position, baudValue_.c_str(), left.c_str());
    std::fflush(messages_);
}

void TerminalViews::EndProgress()
{
    if (!progressShown_)
        return;
    progressShown_ = false;
    if (progressLine_) {
        std::fprintf(messages_, "\n");
        std::fflush(messages_);
    }
}

} // namespace olk::cli
