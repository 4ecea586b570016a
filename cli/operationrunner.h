#pragma once
// Runs one operation thread from the terminal as the main window would: prepare it, start it,
// keep the user-interface loop going until its end-of-operation notice, destroy it, and turn its
// result code into an exit status. Ctrl-C acts as Cancel; a second Ctrl-C, or one while no
// operation runs, leaves at once.
#include "cli/terminalviews.h"
#include "link/protocollomixer.h"

namespace olk::cli {

// 0 for the codes that mean the job was done, 100 when a declined question left it undone,
// otherwise the result code.
int ExitStatusFor(int resultCode, bool declined);

class OperationRunner {
public:
    explicit OperationRunner(TerminalViews& views) : views_(views) {}

    // As Start does: Prepare with the argument, and the thread only when Prepare lets it.
    int RunPrepared(OperationPtr<ProtocolloMixer> operation, const std::string& argument);
    // As the fixtures window does: Prepare with the fixture name, then the thread whatever
    // Prepare returned.
    int RunWithName(OperationPtr<ProtocolloMixer> operation, const std::string& name);
    // Without Prepare, as Get Firmware Info and the list request do.
    int Run(OperationPtr<ProtocolloMixer> operation);

private:
    int RunToEnd(OperationPtr<ProtocolloMixer> operation, bool start);

    TerminalViews& views_;
};

} // namespace olk::cli
