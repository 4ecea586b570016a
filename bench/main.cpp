// olkbench: how close the operations come to the line's own limit, how quickly the program turns
// a block round, and how responsive the window stays meanwhile. It prints markdown tables; it is
// not a test and asserts nothing.
#include "app/appearance.h"
#include "bench/deskprocess.h"
#include "bench/report.h"
#include "bench/runs.h"
#include "bench/windowstall.h"
#include "tests/support/hexfiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/testimages.h"

#include <QApplication>
#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>

namespace olk::bench {
namespace {

constexpr uint32_t kAllRates[] = {9600, 19200, 38400, 57600, 115200, 230400, 460800};
constexpr uint32_t kFastRates[] = {115200, 230400, 460800};
constexpr uint32_t kFastestRate = 460800;
constexpr uint32_t kFirmwareRate = 9600;
constexpr std::size_t kSmallRecords = 64;
constexpr std::size_t kLargeRecords = 512;
constexpr int kListedFixtures = 64;
constexpr std::size_t kQuickPacedPieces = 4;

constexpr const char* kUsage = "usage: olkbench [--quick] [--only paced|unpaced|window|firmware]...\n"
                                "  --quick  the paced runs at 115200 baud and faster, and the firmware upload\n"
                                "           only until a few pieces have waited for the line\n"
                                "  --only   just this table; repeatable\n";

struct Options {
    bool quick = false;
    std::set<std::string> only; // empty: every table

    bool Wants(const std::string& table) const { return only.empty() || only.count(table) != 0; }
};

Options ParseOptions(int argc, char** argv)
{
    static const std::set<std::string> kTables{"paced", "unpaced", "window", "firmware"};
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--quick")
            options.quick = true;
        else if (argument == "--only" && i + 1 < argc && kTables.count(argv[i + 1]) != 0)
            options.only.insert(argv[++i]);
        else
            throw std::runtime_error("cannot take " + argument + "\n" + kUsage);
    }
    return options;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error(path + ": cannot write");
}

// The files the desks and the operations start from, in the private directory.
class Files {
public:
    explicit Files(const std::string& directory) : directory_(directory)
    {
        WriteFile(LargeUserData(), desk::test::WorkFile(kLargeRecords, 3));
        WriteFile(SmallUserData(), desk::test::WorkFile(kSmallRecords, 7));
        for (const desk::Fixture& fixture : desk::test::Library(kListedFixtures)) {
            fixtures_.push_back(directory_ + "/" + fixture.name + ".fxt");
            WriteFile(fixtures_.back(), fixture.file);
        }
        const std::string hex = test::HexText(test::SignedImage());
        WriteFile(Firmware(), std::vector<uint8_t>(hex.begin(), hex.end()));
    }

    std::string LargeUserData() const { return directory_ + "/desk512.wrk"; }
    std::string SmallUserData() const { return directory_ + "/desk64.wrk"; }
    std::string Firmware() const { return directory_ + "/firmware.hex"; }
    // A path no backup has written yet.
    std::string NewBackup(const std::string& label) const { return directory_ + "/backup-" + label + ".wrk"; }

    std::vector<std::string> DeskOptions(bool paced) const
    {
        std::vector<std::string> options{"--user-data", LargeUserData()};
        if (paced)
            options.push_back("--pace");
        for (const std::string& fixture : fixtures_) {
            options.push_back("--fixture");
            options.push_back(fixture);
        }
        return options;
    }

private:
    std::string directory_;
    std::vector<std::string> fixtures_;
};

std::string Label(uint32_t rate, std::size_t records)
{
    return std::to_string(rate) + "-" + std::to_string(records);
}

double Efficiency(const RunFigures& run)
{
    return run.bound / run.wall;
}

std::string CpuPerBlock(const RunFigures& run)
{
    return run.blocks == 0 ? "-" : Milliseconds(run.cpu / static_cast<double>(run.blocks), 3);
}

void AddPacedRow(Table& table, uint32_t rate, const char* operation, const std::string& records, const RunFigures& run)
{
    table.Add({std::to_string(rate), operation, records, std::to_string(run.resultCode), Seconds(run.wall, 3),
               Seconds(run.bound, 3), Percent(Efficiency(run)), CpuPerBlock(run), Percent(run.cpu / run.wall, 2)});
}

// One line per target: what was measured against what was asked.
class Summary {
public:
    void Add(std::string figure, std::string value, std::string target, bool met)
    {
        table_.Add({std::move(figure), std::move(value), std::move(target), met ? "met" : "missed"});
    }
    void Print() const
    {
        std::printf("### Targets\n\n");
        table_.Print(stdout);
    }

private:
    Table table_{{"figure", "measured", "target", ""}};
};

constexpr double kEfficiencyTarget = 0.98;
constexpr double kCpuTarget = 0.05;
constexpr double kTurnaroundTargetUs = 1000;
constexpr auto kStallTarget = std::chrono::milliseconds(20);

void PacedMatrix(test::LinkEnvironment& environment, const Files& files, bool quick, Summary& summary)
{
    std::printf("### Paced: olkdesk --pace, every byte at its line time both ways\n\n");
    Table table({"rate", "operation", "records", "result", "wall s", "line bound s", "efficiency", "CPU ms/block",
                 "CPU of one core"});
    double highestCpuShare = 0;
    const std::vector<uint32_t> rates = quick ? std::vector<uint32_t>(std::begin(kFastRates), std::end(kFastRates))
                                              : std::vector<uint32_t>(std::begin(kAllRates), std::end(kAllRates));
    for (const uint32_t rate : rates) {
        DeskProcess desk(files.DeskOptions(true));
        environment.MapPorts({{"COM1", desk.DevicePath()}});
        const std::string large = files.NewBackup(Label(rate, kLargeRecords));
        const std::string small = files.NewBackup(Label(rate, kSmallRecords));
        const RunFigures runs[] = {Backup(rate, large), Restore(rate, large), Restore(rate, files.SmallUserData()),
                                   Backup(rate, small), FixtureList(rate)};
        const char* operations[] = {"backup", "restore", "restore", "backup", "fixture list"};
        const std::string records[] = {"512", "512", "64", "64", std::to_string(kListedFixtures) + " names"};
        for (std::size_t i = 0; i < std::size(runs); ++i) {
            AddPacedRow(table, rate, operations[i], records[i], runs[i]);
            highestCpuShare = std::max(highestCpuShare, runs[i].cpu / runs[i].wall);
        }
        const double backup = Efficiency(runs[0]);
        const double restore = Efficiency(runs[1]);
        summary.Add("efficiency, 512 records at " + std::to_string(rate) + ": backup / restore",
                    Percent(backup) + " / " + Percent(restore), "at least 98 %",
                    std::min(backup, restore) >= kEfficiencyTarget);
    }
    environment.MapPorts({});
    table.Print(stdout);
    std::printf("Wall: from Start to the end-of-operation notice. Line bound: every byte the port moved, 10 bits at "
                "the rate it moved at, plus the 5 ms and 20 ms pauses of the handshake; the desk may send while the "
                "PC waits its 20 ms, so a short receiving transfer can beat it. CPU: user and system time of "
                "olkbench alone (operation thread and user-interface loop); olkdesk is a separate process.\n\n");
    summary.Add("CPU during a paced transfer, highest", Percent(highestCpuShare, 2) + " of one core", "below 5 %",
                highestCpuShare < kCpuTarget);
}

// Blocks per second over the transfer itself, from the first call at the negotiated rate.
double BlocksPerSecond(const RunFigures& run, uint32_t rate)
{
    const auto first = std::find_if(run.calls.begin(), run.calls.end(),
                                    [rate](const CallRecord& call) { return call.rate == rate; });
    if (first == run.calls.end() || run.blocks == 0)
        return 0;
    const std::chrono::duration<double> span = run.calls.back().returned - first->returned;
    return static_cast<double>(run.blocks) / span.count();
}

void Unpaced(test::LinkEnvironment& environment, const Files& files, Summary& summary)
{
    std::printf("### Unpaced: olkdesk answering at once, %u records at %u baud\n\n",
                static_cast<unsigned>(kLargeRecords), kFastestRate);
    DeskProcess desk(files.DeskOptions(false));
    environment.MapPorts({{"COM1", desk.DevicePath()}});
    const std::string path = files.NewBackup("unpaced");
    const RunFigures backup = Backup(kFastestRate, path);
    const RunFigures restore = Restore(kFastestRate, path);
    environment.MapPorts({});
    const std::vector<double> received = TurnaroundsOf(backup.calls).blockToAnswer;
    const std::vector<double> sent = TurnaroundsOf(restore.calls).answerToNextBlock;
    Table table({"operation", "result", "blocks/s", "turnaround", "median µs", "p99 µs", "max µs"});
    table.Add({"backup", std::to_string(backup.resultCode), Fixed(BlocksPerSecond(backup, kFastestRate), 0),
               "block read → answer written", Fixed(Percentile(received, 0.5), 1), Fixed(Percentile(received, 0.99), 1),
               Fixed(Percentile(received, 1), 1)});
    table.Add({"restore", std::to_string(restore.resultCode), Fixed(BlocksPerSecond(restore, kFastestRate), 0),
               "answer read → next block written", Fixed(Percentile(sent, 0.5), 1), Fixed(Percentile(sent, 0.99), 1),
               Fixed(Percentile(sent, 1), 1)});
    table.Print(stdout);
    std::printf("Times are those at which the port's Read and Write calls returned, from the line trace; blocks/s "
                "over the calls at %u baud.\n\n",
                kFastestRate);
    summary.Add("turnaround p99 unpaced, block read → answer written", Fixed(Percentile(received, 0.99), 1) + " µs",
                "below 1 ms", Percentile(received, 0.99) < kTurnaroundTargetUs);
    summary.Add("turnaround p99 unpaced, answer read → next block written", Fixed(Percentile(sent, 0.99), 1) + " µs",
                "below 1 ms", Percentile(sent, 0.99) < kTurnaroundTargetUs);
}

void Window(test::LinkEnvironment& environment, const Files& files, Summary& summary)
{
    std::printf("### Window: the main window (offscreen), Start on a %u-record backup at %u baud, paced\n\n",
                static_cast<unsigned>(kLargeRecords), kFastestRate);
    DeskProcess desk(files.DeskOptions(true));
    environment.MapPorts({{"COM1", desk.DevicePath()}});
    const WindowFigures figures = BackupInTheWindow(kFastestRate, files.NewBackup("window"));
    environment.MapPorts({});
    Table table({"ended with", "wall s", "timer ticks", "progress positions seen", "longest stall ms"});
    table.Add({figures.lastMessage, Seconds(figures.wall, 3), std::to_string(figures.ticks),
               std::to_string(figures.progressSteps), Milliseconds(figures.longestStall, 2)});
    table.Print(stdout);
    std::printf("The window is shown and has painted itself; then a 1 ms precise timer ticks on the "
                "user-interface thread from Start until the operation is gone. A stall is the gap between two ticks "
                "less the 1 ms.\n\n");
    summary.Add("longest stall of the user-interface thread", Milliseconds(figures.longestStall, 2) + " ms",
                "at most 20 ms", figures.longestStall <= kStallTarget);
}

// The pieces that had to wait for the line show whether the upload keeps it busy; the whole
// image also shows how its end is confirmed.
void Firmware(test::LinkEnvironment& environment, const Files& files, bool quick)
{
    std::printf("### Firmware: %s at %u baud, paced\n\n",
                quick ? "the first pieces that wait for the line, then Cancel" : "65,536 bytes", kFirmwareRate);
    DeskProcess desk({"--pace"});
    environment.MapPorts({{"COM1", desk.DevicePath()}});
    const RunFigures run = FirmwareUpload(files.Firmware(), quick ? kQuickPacedPieces : 0);
    environment.MapPorts({});
    Table table({"result", "wall s", "line bound s", "efficiency", "least bytes queued ahead of the line",
                 "CPU of one core"});
    table.Add({std::to_string(run.resultCode), Seconds(run.wall, 3), Seconds(run.bound, 3),
               quick ? "- (cancelled)" : Percent(Efficiency(run)), Fixed(LeastBytesAhead(run.calls, kFirmwarePieceSize), 0),
               Percent(run.cpu / run.wall, 2)});
    table.Print(stdout);
    std::printf("Queued ahead: what the program had written less what the line could have carried since the first "
                "piece; above 0 throughout, the line never waited for the program. A pseudo-terminal takes about "
                "20 KB ahead of the line and cannot tell when it has gone (tcdrain returns at once), so the "
                "confirmation wait can start while that much is still on its way.\n\n");
}

} // namespace
} // namespace olk::bench

int main(int argc, char** argv)
{
    using namespace olk::bench;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        const Options options = ParseOptions(argc, argv);
        olk::test::LinkEnvironment environment; // no COM name reaches this machine's own devices
        QApplication application(argc, argv);
        olk::ApplyAppearance(application);
        const Files files(environment.Directory());
        Summary summary;
        if (options.Wants("paced"))
            PacedMatrix(environment, files, options.quick, summary);
        if (options.Wants("unpaced"))
            Unpaced(environment, files, summary);
        if (options.Wants("window"))
            Window(environment, files, summary);
        if (options.Wants("firmware"))
            Firmware(environment, files, options.quick);
        summary.Print();
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "olkbench: %s\n", error.what());
        return 1;
    }
}
