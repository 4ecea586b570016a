#include "bench/runs.h"

#include "firmware/aggiornafirmware.h"
#include "fixtures/richiedielencofxt.h"
#include "tests/support/recordingfixtures.h"
#include "tests/support/recordingviews.h"
#include "userdata/backupuserdata.h"
#include "userdata/restoreuserdata.h"

#include <sys/resource.h>

namespace olk::bench {
namespace {

constexpr const char* kPort = "COM1";

std::chrono::duration<double> CpuTime()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return std::chrono::duration<double>(seconds(usage.ru_utime) + seconds(usage.ru_stime));
}

std::size_t AnsweredBlocks(const std::vector<CallRecord>& calls)
{
    std::size_t blocks = 0;
    for (const CallRecord& call : calls)
        if (call.requested == 1 && call.count == 1)
            ++blocks;
    return blocks;
}

// start constructs the operation, prepares it and starts it; the clocks run from there to the
// handled end-of-operation notice.
template <typename Start>
RunFigures Measure(test::RecordingViews& views, std::chrono::milliseconds pauses, Start start,
                   std::function<void(const CallRecord&)> onCall = {})
{
    RunFigures figures;
    LineRecord record(std::move(onCall));
    const auto cpuBefore = CpuTime();
    const auto wallBefore = Clock::now();
    auto operation = start();
    views.RunUntilEnded(kLongestRun);
    figures.wall = Clock::now() - wallBefore;
    figures.cpu = CpuTime() - cpuBefore;
    figures.resultCode = operation->ReportedCode();
    operation.reset();
    figures.calls = record.Calls();
    figures.bound = LineBound(figures.calls, pauses);
    figures.blocks = AnsweredBlocks(figures.calls);
    return figures;
}

template <typename Operation>
auto PreparedAndStarted(test::RecordingViews& views, uint32_t rate, const std::string& path)
{
    auto operation = MakeOperation<Operation>(kPort, rate, views.Targets(), views.AsViews());
    if (operation->Prepare(path) != 0)
        operation->StartOperation(true);
    return operation;
}

} // namespace

RunFigures Backup(uint32_t rate, const std::string& path)
{
    test::RecordingViews views; // no edit of the description, as a scripted No answers
    return Measure(views, kHandshakePauses, [&] { return PreparedAndStarted<BackupUserData>(views, rate, path); });
}

RunFigures Restore(uint32_t rate, const std::string& path)
{
    test::RecordingViews views;
    return Measure(views, kHandshakePauses, [&] { return PreparedAndStarted<RestoreUserData>(views, rate, path); });
}

RunFigures FixtureList(uint32_t rate)
{
    test::RecordingViews views;
    test::RecordingFixtures fixtures(views);
    return Measure(views, kHandshakePauses, [&] {
        auto operation = MakeOperation<RichiediElencoFXT>(kPort, rate, views.Targets(), views.AsViews(), fixtures);
        operation->StartOperation(true);
        return operation;
    });
}

RunFigures FirmwareUpload(const std::string& hexPath, std::size_t cancelAfterPacedPieces)
{
    test::RecordingViews views;
    Clock::time_point lastPiece{};
    std::size_t pacedPieces = 0;
    // Presses Cancel, as the user does in the progress window, once enough pieces had to wait
    // for the line.
    auto watchPieces = [&](const CallRecord& call) {
        if (cancelAfterPacedPieces == 0 || call.direction != LineTransfer::Direction::PcToDesk ||
            call.requested != kFirmwarePieceSize)
            return;
        const bool paced = lastPiece != Clock::time_point{} && (call.returned - lastPiece) * 2 > LineTime(call.count, call.rate);
        if (paced && ++pacedPieces == cancelAfterPacedPieces)
            views.PressCancel();
        lastPiece = call.returned;
    };
    return Measure(
        views, std::chrono::milliseconds(0),
        [&] {
            auto operation = MakeOperation<AggiornaFirmware>(kPort, views.Targets(), views.AsViews());
            if (operation->Prepare(hexPath) != 0)
                operation->StartOperation(true);
            return operation;
        },
        watchPieces);
}

} // namespace olk::bench
