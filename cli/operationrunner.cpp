#include "cli/operationrunner.h"

#include "cli/commandline.h"
#include "link/resultcodes.h"

#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace olk::cli {
namespace {

std::atomic<TerminalViews*> interruptTarget{nullptr};

sigset_t InterruptSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    return signals;
}

// The first Ctrl-C cancels the running operation, as the progress window's button does; the
// second one leaves at once.
void WatchInterrupts()
{
    const sigset_t signals = InterruptSignals();
    for (int presses = 0;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0)
            continue;
        if (++presses > 1)
            _exit(result::kInterrupted);
        if (TerminalViews* views = interruptTarget.load())
            views->Loop().Post([views] { views->Cancel(); });
        else
            _exit(result::kInterrupted);
    }
}

} // namespace

int ExitStatusFor(int resultCode, bool declined)
{
    switch (resultCode) {
    case result::kQuietEnd: return declined ? kExitDeclined : kExitDone;
    case result::kUpdated:
    case result::kBackupDone:
    case result::kFixtureRemoved: return kExitDone;
    default: return resultCode;
    }
}

void TakeOverInterrupts()
{
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(WatchInterrupts).detach();
}

int OperationRunner::Run(OperationPtr<ProtocolloMixer> operation)
{
    interruptTarget = &views_;
    operation->StartOperation(true);
    views_.RunUntilEnded();
    const int code = operation->ResultCode();
    operation.reset();
    interruptTarget = nullptr;
    return ExitStatusFor(code, views_.Declined());
}

} // namespace olk::cli
