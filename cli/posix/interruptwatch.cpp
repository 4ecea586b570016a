#include "cli/interrupts.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace olk::cli {
namespace {

sigset_t InterruptSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    return signals;
}

void WatchInterrupts(TerminalViews* views)
{
    const sigset_t signals = InterruptSignals();
    for (int presses = 0;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) == 0)
            AnswerInterrupt(*views, ++presses);
    }
}

} // namespace

// SIGINT is blocked in every thread, so that only the watcher's sigwait takes it.
void TakeOverInterrupts(TerminalViews& views)
{
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(WatchInterrupts, &views).detach();
}

} // namespace olk::cli
