#include "cli/interrupts.h"

#include "link/resultcodes.h"

#include <cstdlib>

namespace olk::cli {

void AnswerInterrupt(TerminalViews& views, int presses)
{
    if (presses > 1 || !views.CancelRunning())
        std::_Exit(result::kInterrupted);
}

} // namespace olk::cli
