#include "cli/interrupts.h"

#include <windows.h>

#include <atomic>

namespace olk::cli {
namespace {

TerminalViews* watchedViews = nullptr;
std::atomic<int> presses{0};

// The console calls this on a thread of its own for each Ctrl-C or Ctrl-Break.
BOOL WINAPI OnControlKey(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    AnswerInterrupt(*watchedViews, ++presses);
    return TRUE;
}

} // namespace

void TakeOverInterrupts(TerminalViews& views)
{
    watchedViews = &views;
    SetConsoleCtrlHandler(OnControlKey, TRUE);
}

} // namespace olk::cli
