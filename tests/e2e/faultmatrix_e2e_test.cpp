// The fault matrix: every operation against a desk, a line or a disk that fails in one way, end to
// end over a pseudo-terminal. Each row demands the defined result code, an end within the line's
// own timeouts (the run is bounded), and no file lost or left half-written. With
// OLK_RELIABILITY_REPORT naming a file, each row also appends its outcome there as a table row.
#include "desk/desksimulator.h"
#include "firmware/aggiornafirmware.h"
#include "fixtures/addfixture.h"
#include "fixtures/getfixture.h"
#include "fixtures/removefixture.h"
#include "fixtures/richiedielencofxt.h"
#include "fixtures/savefixture.h"
#include "link/resultcodes.h"
#include "tests/support/hexfiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingfixtures.h"
#include "tests/support/recordingviews.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "userdata/backupuserdata.h"
#include "userdata/restoreuserdata.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <sys/mount.h>
#include <thread>

namespace olk {
namespace {

using test::Bytes;
using Clock = std::chrono::steady_clock;

enum class Op { Backup, Restore, Firmware, List, Get, Add, Remove, SaveFixture };

// What happens to the line or the disk, beyond the desk's own faults.
enum class Trouble {
    None,
    LineGoneAfterPcBytes,   // the far end closes once the PC has sent so many bytes
    LineGoneAfterDeskBytes, // the far end closes once the desk has sent so many bytes
    MissingDevice,          // COM1 names a device that does not exist
    DiskFull,               // the target directory is a full medium
    ReadOnlyDirectory,      // the target directory is on a read-only medium
    FileTruncated,          // the file to send loses its end between Prepare and the transfer
    FileAltered,            // a byte of the file to send changes between Prepare and the transfer
};

struct Row {
    const char* name;
    const char* situation;
    Op operation;
    Trouble trouble;
    std::function<void(desk::DeskConfig&)> fault;
    int expected;
    std::size_t bytes = 0; // for the line going: how many bytes pass first
};

const char* OperationName(Op operation)
{
    static const char* const names[] = {"backup", "restore", "firmware", "fixture list", "get fixture",
                                        "add fixture", "remove fixture", "fixture save"};
    return names[static_cast<int>(operation)];
}

desk::DeskConfig TheDesk()
{
    desk::DeskConfig config;
    config.userData = desk::test::WorkFile(64, 3);
    config.userData[4] = config.modelCode;
    desk::test::Seal(config.userData);
    config.fixtures = desk::test::Library(3);
    return config;
}

class FaultMatrixTest : public testing::TestWithParam<Row> {
protected:
    void TearDown() override
    {
        if (!mountPoint_.empty())
            umount(mountPoint_.c_str());
    }

    std::string PathOf(const std::string& name) const { return directory_ + "/" + name; }

    // The target directory on a medium of its own, where the system lets a test mount one.
    bool MountTarget(unsigned long flags, const char* options)
    {
        mountPoint_ = environment.Directory() + "/medium";
        std::filesystem::create_directory(mountPoint_);
        if (mount("olkfault", mountPoint_.c_str(), "tmpfs", 0, options) != 0) {
            mountPoint_.clear();
            return false;
        }
        directory_ = mountPoint_;
        // Files that stand there before the fault: an earlier backup and an earlier fixture file.
        test::WriteFile(PathOf("earlier.wrk"), earlierBackup_);
        test::WriteFile(PathOf("earlier.fxt"), earlierFixture_);
        if (flags & MS_RDONLY)
            mount("olkfault", mountPoint_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options);
        else
            FillUp();
        return true;
    }

    void FillUp()
    {
        std::ofstream filler(PathOf("filler"), std::ios::binary);
        const std::vector<char> chunk(4096, 'x');
        while (filler.write(chunk.data(), static_cast<std::streamsize>(chunk.size())))
            filler.flush();
    }

    void StartDesk(const Row& row)
    {
        desk::DeskConfig config = TheDesk();
        if (row.fault)
            row.fault(config);
        desk_ = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", row.trouble == Trouble::MissingDevice ? directory_ + "/no such device"
                                                                             : desk_->DevicePath()}});
    }

    // The far end goes away once the given traffic has passed, as a pulled cable would.
    void CutTheLineLater(const Row& row)
    {
        cutter_ = std::thread([this, row, desk = std::move(desk_)]() mutable {
            const auto passed = [&] {
                return (row.trouble == Trouble::LineGoneAfterPcBytes ? desk->BytesFromPc() : desk->BytesToPc()).size();
            };
            const auto giveUp = Clock::now() + std::chrono::seconds(30);
            while (passed() < row.bytes && Clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            desk.reset();
        });
    }

    void ChangeFileToSend(Trouble trouble, const std::string& path)
    {
        if (trouble == Trouble::FileTruncated)
            std::filesystem::resize_file(path, std::filesystem::file_size(path) - 300);
        if (trouble == Trouble::FileAltered) {
            std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
            file.seekp(600);
            file.put('\x5A');
        }
    }

    template <typename Kind, typename... Extra>
    int RunOperation(const Row& row, const std::string& argument, bool prepareDecides, Extra&... extra)
    {
        auto operation = MakeOperation<Kind>("COM1", 0, views.Targets(), views.AsViews(), extra...);
        return Start(row, std::move(operation), argument, prepareDecides);
    }

    int Start(const Row& row, OperationPtr<ProtocolloMixer> operation, const std::string& argument, bool prepareDecides)
    {
        const bool prepared = argument.empty() || operation->Prepare(argument) != 0;
        ChangeFileToSend(row.trouble, argument);
        if (prepared || !prepareDecides)
            operation->StartOperation(true);
        ended_ = views.RunUntilEnded(std::chrono::seconds(60));
        return operation->ReportedCode();
    }

    // The argument of the operation's Prepare, with the file it names written first.
    std::string Argument(const Row& row)
    {
        switch (row.operation) {
        case Op::Backup: return PathOf("earlier.wrk");
        case Op::Restore: return Written("show.wrk", desk::test::WorkFile(64, 5));
        case Op::Firmware: return WrittenText("update.hex", test::HexText(test::SignedImage()));
        case Op::Add: return Written("lamp.fxt", desk::test::FixtureFile("LAMP", 600, 3));
        case Op::List: return "";
        default: return "FIX1";
        }
    }

    int Run(const Row& row, const std::string& argument)
    {
        switch (row.operation) {
        case Op::Backup: return RunOperation<BackupUserData>(row, argument, true);
        case Op::Restore: return RunOperation<RestoreUserData>(row, argument, true);
        case Op::Firmware:
            return Start(row, MakeOperation<AggiornaFirmware>("COM1", views.Targets(), views.AsViews()), argument, true);
        case Op::List: return RunOperation<RichiediElencoFXT>(row, argument, false, fixtures);
        case Op::Get: return RunOperation<GetFixture>(row, argument, false, fixtures);
        case Op::Add: return RunOperation<AddFixture>(row, argument, true, fixtures);
        case Op::Remove: return RunOperation<RemoveFixture>(row, argument, false);
        case Op::SaveFixture: {
            const int got = RunOperation<GetFixture>(row, argument, false, fixtures);
            if (got != result::kQuietEnd)
                return got;
            return SaveFixtureFile(PathOf("earlier.fxt"), fixtures.downloaded, [] { return true; });
        }
        }
        return -1;
    }

    std::string Written(const std::string& name, Bytes bytes)
    {
        bytes[4] = TheDesk().modelCode;
        desk::test::Seal(bytes);
        test::WriteFile(PathOf(name), bytes);
        return PathOf(name);
    }

    std::string WrittenText(const std::string& name, const std::string& text)
    {
        std::ofstream(PathOf(name), std::ios::binary) << text;
        return PathOf(name);
    }

    // The files of the directory that an operation must leave as they were, and nothing beside.
    bool FilesIntact(const std::vector<std::string>& before) const
    {
        return Listing() == before && test::ReadFile(PathOf("earlier.wrk")) == earlierBackup_ &&
               test::ReadFile(PathOf("earlier.fxt")) == earlierFixture_;
    }

    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static void Report(const Row& row, const std::string& outcome)
    {
        if (const char* path = std::getenv("OLK_RELIABILITY_REPORT"))
            std::ofstream(path, std::ios::app) << "| " << OperationName(row.operation) << " | " << row.situation
                                               << " | " << row.expected << " | " << outcome << " |\n";
    }

    void Report(const Row& row, int observed, double seconds, bool intact) const
    {
        std::ostringstream outcome;
        outcome << observed << " | " << (ended_ ? "yes" : "NO") << " | " << std::fixed << std::setprecision(1)
                << seconds << " s | " << (intact ? "yes" : "NO");
        Report(row, outcome.str());
    }

    test::LinkEnvironment environment;
    test::RecordingViews views;
    test::RecordingFixtures fixtures{views};
    std::string directory_ = environment.Directory();
    std::string mountPoint_;
    std::unique_ptr<desk::DeskSimulator> desk_;
    std::thread cutter_;
    bool ended_ = false;
    const Bytes earlierBackup_ = desk::test::WorkFile(2, 8);
    const Bytes earlierFixture_ = desk::test::FixtureFile("OLD", 300);

public:
    ~FaultMatrixTest() override
    {
        if (cutter_.joinable())
            cutter_.join();
    }
};

TEST_P(FaultMatrixTest, EndsAsDefinedWithinItsTimeoutsAndLosesNothing)
{
    const Row& row = GetParam();
    const bool needsMedium = row.trouble == Trouble::DiskFull || row.trouble == Trouble::ReadOnlyDirectory;
    if (needsMedium && !MountTarget(row.trouble == Trouble::ReadOnlyDirectory ? MS_RDONLY : 0, "size=64k")) {
        Report(row, "not run: this system refuses the test a medium of its own | | |");
        GTEST_SKIP() << "this system refuses to mount a medium for the test";
    }
    if (mountPoint_.empty()) {
        test::WriteFile(PathOf("earlier.wrk"), earlierBackup_);
        test::WriteFile(PathOf("earlier.fxt"), earlierFixture_);
    }
    views.dialogs.answers = {kAnswerYes, kAnswerYes, kAnswerNo};
    fixtures.SetDeskFreeMemory(200000); // as the list before an add leaves it
    StartDesk(row);
    if (row.trouble == Trouble::LineGoneAfterPcBytes || row.trouble == Trouble::LineGoneAfterDeskBytes)
        CutTheLineLater(row);
    const std::string argument = Argument(row);
    const std::vector<std::string> before = Listing();

    const auto start = Clock::now();
    const int observed = Run(row, argument);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::vector<std::string> after = Listing();
    const bool intact = FilesIntact(before);
    Report(row, observed, seconds, intact);

    EXPECT_TRUE(ended_);
    EXPECT_EQ(observed, row.expected) << testing::PrintToString(views.log);
    EXPECT_TRUE(intact) << testing::PrintToString(after);
}

using C = desk::DeskConfig;

// Blocks the desk sends go out in pieces with pauses; blocks it receives are answered late.
void SlowBlocks(C& config)
{
    config.faults.pieces = {64, 64, 64, 66};
    config.faults.pieceDelayMs = 5;
}

void SlowAnswers(C& config)
{
    config.faults.answerDelayMs = 20;
}

const Row kRows[] = {
    // The line vanishes mid-transfer: the desk takes its time, so the cut lands inside the data.
    {"BackupLineGone", "the line goes mid-transfer", Op::Backup, Trouble::LineGoneAfterDeskBytes, SlowBlocks, result::kLineFailure, 5000},
    {"RestoreLineGone", "the line goes mid-transfer", Op::Restore, Trouble::LineGoneAfterPcBytes, SlowAnswers, result::kLineFailure, 5000},
    {"FirmwareLineGone", "the line goes mid-transfer", Op::Firmware, Trouble::LineGoneAfterPcBytes, [](C& c) { c.faults.firmwareStallAt = 20000; c.faults.firmwareStallMs = 1000; }, result::kLineFailure, 20000},
    {"ListLineGone", "the line goes mid-transfer", Op::List, Trouble::LineGoneAfterDeskBytes, SlowBlocks, result::kLineFailure, 300},
    {"GetLineGone", "the line goes mid-transfer", Op::Get, Trouble::LineGoneAfterDeskBytes, SlowBlocks, result::kLineFailure, 300},
    {"AddLineGone", "the line goes mid-transfer", Op::Add, Trouble::LineGoneAfterPcBytes, SlowAnswers, result::kLineFailure, 300},
    // Silence at every step.
    {"BackupSilent", "no answer to the command", Op::Backup, Trouble::None, [](C& c) { c.faults.silent = true; }, result::kNotResponding},
    {"BackupSilentAfterRate", "silent after the rate is agreed", Op::Backup, Trouble::None, [](C& c) { c.faults.silentAfterBaudValue = true; }, result::kLineFailure},
    {"BackupSilentAfterHeader", "silent after the header block", Op::Backup, Trouble::None, [](C& c) { c.faults.silentAtBlock = 0; }, result::kLineFailure},
    {"BackupSilentMidData", "silent in the middle of the data", Op::Backup, Trouble::None, [](C& c) { c.faults.silentAtBlock = 30; }, result::kLineFailure},
    {"RestoreSilent", "no answer to the command", Op::Restore, Trouble::None, [](C& c) { c.faults.silent = true; }, result::kNotResponding},
    {"RestoreSilentAtHeader", "no answer to the header block", Op::Restore, Trouble::None, [](C& c) { c.faults.silentAnswerAtBlock = 0; }, result::kLineFailure},
    {"RestoreSilentMidData", "no answer to a data block", Op::Restore, Trouble::None, [](C& c) { c.faults.silentAnswerAtBlock = 30; }, result::kLineFailure},
    {"FirmwareSilent", "no answer to the command", Op::Firmware, Trouble::None, [](C& c) { c.faults.silent = true; }, result::kNotResponding},
    {"FirmwareNoConfirmation", "no confirmation after the image", Op::Firmware, Trouble::None, [](C& c) { c.firmwareVerdict = std::nullopt; }, result::kLineFailure},
    {"ListSilent", "no answer to the command", Op::List, Trouble::None, [](C& c) { c.faults.silent = true; }, result::kNotResponding},
    {"ListSilentFreeMemory", "no answer to the free-memory question", Op::List, Trouble::None, [](C& c) { c.faults.silentFreeMemory = true; }, result::kLineFailure},
    {"GetSilent", "no answer to the command", Op::Get, Trouble::None, [](C& c) { c.faults.silent = true; }, result::kNotResponding},
    {"AddSilentMidData", "no answer to a data block", Op::Add, Trouble::None, [](C& c) { c.faults.silentAnswerAtBlock = 1; }, result::kLineFailure},
    {"RemoveSilent", "no answer to the command", Op::Remove, Trouble::None, [](C& c) { c.faults.silent = true; }, result::kNotResponding},
    // A storm of refusals.
    {"BackupNakStorm", "every block sent with a wrong sum", Op::Backup, Trouble::None, [](C& c) { for (int b = 0; b < 65; ++b) c.faults.corruptSum[b] = 100; }, result::kLineFailure},
    {"RestoreNakStorm", "every block refused", Op::Restore, Trouble::None, [](C& c) { for (int b = 0; b < 65; ++b) c.faults.nakBlocks[b] = 100; }, result::kLineFailure},
    // A wrong byte at every answer point.
    {"BackupWrongLead", "a wrong lead byte in the handshake", Op::Backup, Trouble::None, [](C& c) { c.faults.handshakeLead = 0x55; }, result::kBadAnswer},
    {"BackupCutHandshake", "a handshake answer cut short", Op::Backup, Trouble::None, [](C& c) { c.faults.handshakeLength = 2; }, result::kBadAnswer},
    {"BackupWrongSum", "a header announcing a wrong data sum", Op::Backup, Trouble::None, [](C& c) { c.faults.wrongDataSum = true; }, result::kChecksumMismatch},
    {"RestoreWrongAnswer", "a data block answered neither ACK nor NAK", Op::Restore, Trouble::None, [](C& c) { c.faults.answerByte[3] = 0x55; }, result::kLineFailure},
    {"RestoreOtherModel", "a desk of another model", Op::Restore, Trouble::None, [](C& c) { c.modelCode = 20; }, result::kIncompatibleModel},
    {"FirmwareWrongConfirmation", "a confirmation byte of no meaning", Op::Firmware, Trouble::None, [](C& c) { c.firmwareVerdict = 0x55; }, result::kNotConfirmed},
    {"ListCutFreeMemory", "a free-memory answer cut short", Op::List, Trouble::None, [](C& c) { c.faults.freeMemoryLength = 1; }, result::kQuietEnd},
    {"RemoveWrongAnswer", "a removal answered with a byte of no meaning", Op::Remove, Trouble::None, [](C& c) { c.removeAnswer = 0x55; }, result::kNotConfirmed},
    // The disk.
    {"BackupDiskFull", "the disk fills up", Op::Backup, Trouble::DiskFull, {}, result::kWriteError},
    {"FixtureSaveDiskFull", "the disk fills up", Op::SaveFixture, Trouble::DiskFull, {}, 34},
    {"BackupReadOnly", "the target directory is read-only", Op::Backup, Trouble::ReadOnlyDirectory, {}, result::kWriteProtected},
    {"FixtureSaveReadOnly", "the target directory is read-only", Op::SaveFixture, Trouble::ReadOnlyDirectory, {}, 32},
    // The file to send changes after its check.
    {"RestoreFileTruncated", "the file is cut short after its check", Op::Restore, Trouble::FileTruncated, {}, result::kReadError},
    {"RestoreFileAltered", "the file changes after its check", Op::Restore, Trouble::FileAltered, {}, result::kChecksumMismatch},
    {"AddFileTruncated", "the file is cut short after its check", Op::Add, Trouble::FileTruncated, {}, result::kReadError},
    {"AddFileAltered", "the file changes after its check", Op::Add, Trouble::FileAltered, {}, result::kChecksumMismatch},
    // The port.
    {"BackupMissingDevice", "COM1 names a device that is not there", Op::Backup, Trouble::MissingDevice, {}, result::kCannotInitialize},
    {"ListMissingDevice", "COM1 names a device that is not there", Op::List, Trouble::MissingDevice, {}, result::kCannotInitialize},
};

INSTANTIATE_TEST_SUITE_P(Matrix, FaultMatrixTest, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace olk
