#pragma once
// Runs one operation thread from the terminal as the main window would: start it, keep the
// user-interface loop going until its end-of-operation notice, destroy it, and turn its result
// code into an exit status. Ctrl-C acts as Cancel; a second Ctrl-C leaves at once.
#include "cli/terminalviews.h"
#include "link/protocollomixer.h"

namespace olk::cli {

// 0 for the codes that mean the job was done, 100 when a declined question left it undone,
// otherwise the result code.
int ExitStatusFor(int resultCode, bool declined);

// Blocks Ctrl-C for every thread so that one thread of ours takes it; call before any thread
// starts.
void TakeOverInterrupts();

class OperationRunner {
public:
    explicit OperationRunner(TerminalViews& views) : views_(views) {}

    // Starts the operation and returns the exit status of its end.
    int Run(OperationPtr<ProtocolloMixer> operation);

private:
    TerminalViews& views_;
};

} // namespace olk::cli
