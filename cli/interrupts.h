#pragma once
// Ctrl-C at the terminal acts as the progress window's Cancel: the first press cancels the
// operation running in the views; a second one, or one while no operation runs, leaves at once.
#include "cli/terminalviews.h"

namespace olk::cli {

// Makes one thread of ours take every Ctrl-C; call before any other thread starts.
void TakeOverInterrupts(TerminalViews& views);

// What a press does, the count of presses so far included; leaves the program when it must.
void AnswerInterrupt(TerminalViews& views, int presses);

} // namespace olk::cli
