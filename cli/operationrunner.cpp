#include "cli/operationrunner.h"

#include "cli/commandline.h"
#include "link/resultcodes.h"


namespace olk::cli {

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

int OperationRunner::RunPrepared(OperationPtr<ProtocolloMixer> operation, const std::string& argument)
{
    views_.BeginOperation();
    const bool prepared = operation->Prepare(argument) != 0;
    return RunToEnd(std::move(operation), prepared);
}

int OperationRunner::RunWithName(OperationPtr<ProtocolloMixer> operation, const std::string& name)
{
    views_.BeginOperation();
    operation->Prepare(name);
    return RunToEnd(std::move(operation), true);
}

int OperationRunner::Run(OperationPtr<ProtocolloMixer> operation)
{
    views_.BeginOperation();
    return RunToEnd(std::move(operation), true);
}

// A refused Prepare has reported already. A Ctrl-C that came while an earlier operation of the
// same command was ending stops this one before it reaches the desk.
int OperationRunner::RunToEnd(OperationPtr<ProtocolloMixer> operation, bool start)
{
    if (start && views_.CancelRequested()) {
        operation->ShowResultMessage(result::kInterrupted);
    } else if (start) {
        views_.SetRunning(operation.get());
        operation->StartOperation(true);
    }
    views_.RunUntilEnded();
    views_.SetRunning(nullptr);
    const int code = operation->ReportedCode();
    operation.reset();
    return ExitStatusFor(code, views_.Declined());
}

} // namespace olk::cli
