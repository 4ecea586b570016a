// Backup and restore end to end: real operation threads against the desk simulator on a
// pseudo-terminal, with the files in a temporary directory.
#include "desk/desksimulator.h"
#include "link/commands.h"
#include "link/datablock.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingviews.h"
#include "tests/support/settled.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "userdata/backupuserdata.h"
#include "userdata/datafile.h"
#include "userdata/restoreuserdata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace olk {
namespace {

using test::ReadFile;
using test::WriteFile;

using test::AsBytes;
using test::Bytes;
using test::Concat;

const std::string kOverwrite = "dialog Confirm: File already exist!\nOverwrite?";
const std::string kEditQuestion = "dialog Confirm: Would you Edit the description of the file ?";
const std::string kBackupDone = "dialog Information: The Backup process is done !";



// A user data image of the given model with its records sealed into the header.
Bytes WorkFileOfModel(uint8_t modelCode, std::size_t records = 2)
{
    Bytes image = desk::test::WorkFile(records, 5);
    image[datafile::kModelCodeOffset] = modelCode;
    return image;
}

class UserDataEndToEnd : public testing::Test {
protected:
    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    std::string PathOf(const std::string& name) const { return environment.Directory() + "/" + name; }

    std::vector<std::string> FilesInDirectory() const { return environment.FileNames(); }

    // Runs an operation as the main window does: Prepare, and the start only when it agrees.
    template <typename Operation>
    int Run(const std::string& argument, uint32_t baud = 0)
    {
        auto operation = MakeOperation<Operation>("COM1", baud, views.Targets(), views.AsViews());
        if (operation->Prepare(argument) != 0)
            operation->StartOperation(true);
        EXPECT_TRUE(views.RunUntilEnded());
        return operation->ReportedCode();
    }

    test::LinkEnvironment environment;
    test::RecordingViews views;
    std::unique_ptr<desk::DeskSimulator> desk;
};

TEST_F(UserDataEndToEnd, ABackupWritesTheDesksDataWithProgressAndTheDescriptionQuestion)
{
    StartDesk();
    const std::string path = PathOf("show.wrk");

    EXPECT_EQ(Run<BackupUserData>(path), 35);

    EXPECT_EQ(ReadFile(path), desk->UserData());
    EXPECT_EQ(test::SettledBytesFromPc(*desk).front(), 0xE5);
    EXPECT_EQ(views.Matching("progress.position"),
              (std::vector<std::string>{"progress.position=0", "progress.position=25", "progress.position=50",
                                        "progress.position=75", "progress.position=100"}));
    EXPECT_EQ(views.Matching("dialog"), (std::vector<std::string>{kEditQuestion, kBackupDone}));
    EXPECT_EQ(views.Matching("progress.caption"),
              std::vector<std::string>{"progress.caption=Connected to the mixer...            receiving data..."});
    // The description arrives with the header, before the records, and fills the editor.
    const auto& log = views.log;
    const auto described = std::find(log.begin(), log.end(), "receivedDescription=File Description: Simulated desk");
    ASSERT_NE(described, log.end());
    EXPECT_LT(described - log.begin(), std::find(log.begin(), log.end(), "progress.position=25") - log.begin());
    EXPECT_NE(std::find(log.begin(), log.end(), "editor.prepare=Simulated desk"), log.end());
    EXPECT_EQ(views.Matching("editor.show"), std::vector<std::string>{});
    EXPECT_FALSE(views.chainCleared);
}

TEST_F(UserDataEndToEnd, ABackupOfNoRecordsIsTheHeaderAloneAndStillAsksForADescription)
{
    desk::DeskConfig config;
    config.userData = desk::test::WorkFile(0, 1);
    StartDesk(config);
    const std::string path = PathOf("empty.wrk");

    EXPECT_EQ(Run<BackupUserData>(path), 35);

    EXPECT_EQ(ReadFile(path).size(), 256u);
    EXPECT_EQ(views.Matching("progress.position"), std::vector<std::string>{"progress.position=0"});
    EXPECT_EQ(views.Matching("dialog"), (std::vector<std::string>{kEditQuestion, kBackupDone}));
}

TEST_F(UserDataEndToEnd, TheEditorWritesIntoTheNewBackup)
{
    StartDesk();
    const std::string path = PathOf("show.wrk");
    WriteFile(path, Bytes(700, 0x11));
    views.dialogs.answers = {kAnswerYes, kAnswerYes};
    views.onEditDescription = [](int handle) { datafile::StoreDescription(handle, "Gala night\r\n"); };

    EXPECT_EQ(Run<BackupUserData>(path), 35);

    const Bytes file = ReadFile(path);
    EXPECT_EQ(datafile::Description(file.data()), "Gala night");
    Bytes expected = desk->UserData();
    ASSERT_EQ(file.size(), expected.size());
    const Bytes field = datafile::DescriptionBytes("Gala night\r\n");
    std::copy(field.begin(), field.end(), expected.begin() + datafile::kDescriptionOffset);
    EXPECT_EQ(file, expected);
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{"show.wrk"});
}

TEST_F(UserDataEndToEnd, DecliningTheOverwriteLeavesTheFileAndTheDeskAlone)
{
    StartDesk();
    const std::string path = PathOf("keep.wrk");
    const Bytes old(512, 0x42);
    WriteFile(path, old);

    EXPECT_EQ(Run<BackupUserData>(path), 0);

    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{kOverwrite});
    EXPECT_EQ(views.endedNotices, 1);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

struct FailureCase {
    const char* what;
    std::function<void(desk::Faults&)> fault;
    int code;
    bool cancel;
};

void PrintTo(const FailureCase& value, std::ostream* out)
{
    *out << value.what;
}

class FailedBackupTest : public UserDataEndToEnd, public testing::WithParamInterface<FailureCase> {
protected:
    void StartFaultyDesk()
    {
        desk::DeskConfig config;
        if (GetParam().cancel) { // slow blocks, so that Cancel lands mid-transfer
            config.faults.pieces = {64, 64, 64, 66};
            config.faults.pieceDelayMs = 40;
        }
        GetParam().fault(config.faults);
        StartDesk(config);
        if (GetParam().cancel)
            views.onRecord = [this](const std::string& entry) {
                if (entry == "progress.position=25")
                    views.attached->Terminate();
            };
    }
};

// A backup that fails never costs the previous file: the new one is written beside it and
// removed, and nothing else is left in the directory.
TEST_P(FailedBackupTest, KeepsTheOldFileByteForByteAndLeavesNoStrayFile)
{
    StartFaultyDesk();
    const std::string path = PathOf("previous.wrk");
    const Bytes old = desk::test::WorkFile(3, 9);
    WriteFile(path, old);
    views.dialogs.answers = {kAnswerYes};

    EXPECT_EQ(Run<BackupUserData>(path), GetParam().code);

    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{"previous.wrk"});
    EXPECT_TRUE(views.chainCleared);
    EXPECT_EQ(views.Matching("editor.show"), std::vector<std::string>{});
    EXPECT_EQ(views.Matching("dialog").front(), kOverwrite);
}

TEST_P(FailedBackupTest, IntoANewNameLeavesNoFileBehind)
{
    StartFaultyDesk();
    EXPECT_EQ(Run<BackupUserData>(PathOf("new.wrk")), GetParam().code);
    EXPECT_TRUE(FilesInDirectory().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedBackupTest,
    testing::Values(FailureCase{"SilentDesk", [](desk::Faults& f) { f.silent = true; }, 7, false},
                    FailureCase{"ChecksumMismatch", [](desk::Faults& f) { f.wrongDataSum = true; }, 4, false},
                    FailureCase{"Cancel", [](desk::Faults&) {}, 9, true},
                    FailureCase{"FifteenRefusals", [](desk::Faults& f) { f.corruptSum = {{0, 5}, {1, 5}, {2, 5}}; }, 10,
                                false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(UserDataEndToEnd, AChecksumMismatchNeverAsksForADescription)
{
    desk::DeskConfig config;
    config.faults.wrongDataSum = true;
    StartDesk(config);
    EXPECT_EQ(Run<BackupUserData>(PathOf("x.wrk")), 4);
    EXPECT_EQ(views.Matching("dialog"),
              std::vector<std::string>{
                  "dialog Error: CheckSum file error.\nFile is corrupted or wrong file has been chosen !"});
}

TEST_F(UserDataEndToEnd, AFileThatCannotBeCreatedIsReportedWithoutTheOverwriteQuestion)
{
    StartDesk();
    EXPECT_EQ(Run<BackupUserData>(PathOf("no such directory/x.wrk")), 33);
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Error: Cannot create file!"});
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

struct BadFileCase {
    const char* what;
    std::function<void(Bytes&)> spoil;
    int code;
    const char* dialog;
};

void PrintTo(const BadFileCase& value, std::ostream* out)
{
    *out << value.what;
}

class RefusedRestoreTest : public UserDataEndToEnd, public testing::WithParamInterface<BadFileCase> {};

TEST_P(RefusedRestoreTest, IsRefusedBeforeThePortOpens)
{
    StartDesk();
    Bytes image = desk::test::WorkFile(3, 2);
    GetParam().spoil(image);
    const std::string path = PathOf("bad.wrk");
    WriteFile(path, image);

    EXPECT_EQ(Run<RestoreUserData>(path), GetParam().code);

    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{GetParam().dialog});
    EXPECT_EQ(views.endedNotices, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedRestoreTest,
    testing::Values(
        BadFileCase{"OneByteTooLong", [](Bytes& b) { b.push_back(0); }, 3,
                    "dialog Error: File is corrupted or wrong file has been chosen !"},
        BadFileCase{"OneByteTooShort", [](Bytes& b) { b.pop_back(); }, 3,
                    "dialog Error: File is corrupted or wrong file has been chosen !"},
        BadFileCase{"RecordCountFarTooLarge", [](Bytes& b) { b.resize(256); b[8] = 0; b[9] = 0; b[10] = 0; b[11] = 1; }, 3,
                    "dialog Error: File is corrupted or wrong file has been chosen !"},
        BadFileCase{"ChecksumOffByOne", [](Bytes& b) { ++b[0]; }, 4,
                    "dialog Error: CheckSum file error.\nFile is corrupted or wrong file has been chosen !"},
        BadFileCase{"Empty", [](Bytes& b) { b.clear(); }, 2, "dialog Error: Error while reading the file"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(UserDataEndToEnd, AMissingFileNamesItselfInTheWarning)
{
    StartDesk();
    const std::string path = PathOf("gone.wrk");
    EXPECT_EQ(Run<RestoreUserData>(path), 1);
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Warning: " + path + ": cannot open this file"});
}

struct ModelCase {
    uint8_t fileModel;
    uint8_t deskModel;
    uint8_t deskSub;
    int code;
};

void PrintTo(const ModelCase& value, std::ostream* out)
{
    *out << int(value.fileModel) << " into " << int(value.deskModel);
}

class ModelFitTest : public UserDataEndToEnd, public testing::WithParamInterface<ModelCase> {};

// Files of model 20 fit only model 20 desks, and the other way round; 12 and 24 mix freely.
TEST_P(ModelFitTest, ChecksTheFileAgainstTheDeskRightAfterTheHandshake)
{
    desk::DeskConfig config;
    config.modelCode = GetParam().deskModel;
    config.subCode = GetParam().deskSub;
    StartDesk(config);
    const Bytes image = WorkFileOfModel(GetParam().fileModel);
    const std::string path = PathOf("models.wrk");
    WriteFile(path, image);

    EXPECT_EQ(Run<RestoreUserData>(path), GetParam().code);

    if (GetParam().code == 20) {
        EXPECT_EQ(test::SettledBytesFromPc(*desk), AsBytes(command::kRestore));
        EXPECT_EQ(views.Matching("dialog"),
                  std::vector<std::string>{"dialog Error: The User Data file is not compatible with this mixer type!"});
    } else {
        EXPECT_TRUE(test::Eventually([&] { return desk->UserData() == image; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Models, ModelFitTest,
                         testing::Values(ModelCase{20, 12, 0x00, 20}, ModelCase{20, 24, 0xA6, 20},
                                         ModelCase{12, 20, 0xA6, 20}, ModelCase{24, 20, 0xA6, 20},
                                         ModelCase{12, 24, 0x00, 11}, ModelCase{24, 12, 0xA6, 11},
                                         ModelCase{20, 20, 0xA6, 11}));

TEST_F(UserDataEndToEnd, ARestoreSendsEveryBlockWithProgressAndReportsSuccess)
{
    StartDesk();
    const Bytes image = desk::test::WorkFile(4, 7);
    const std::string path = PathOf("send.wrk");
    WriteFile(path, image);

    EXPECT_EQ(Run<RestoreUserData>(path), 11);

    EXPECT_TRUE(test::Eventually([&] { return desk->UserData() == image; }));
    EXPECT_EQ(views.Matching("progress.position"),
              (std::vector<std::string>{"progress.position=0", "progress.position=0", "progress.position=25",
                                        "progress.position=50", "progress.position=75", "progress.position=100"}));
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: The mixer is updated well right !"});
    EXPECT_EQ(views.Matching("progress.caption"),
              std::vector<std::string>{"progress.caption=Connected to the mixer...            transmitting data..."});
}

TEST_F(UserDataEndToEnd, ARefusedBlockIsSentAgainAndTheRestoreGoesOn)
{
    desk::DeskConfig config;
    config.faults.nakBlocks = {{1, 3}};
    StartDesk(config);
    const Bytes image = desk::test::WorkFile(2, 3);
    WriteFile(PathOf("send.wrk"), image);

    EXPECT_EQ(Run<RestoreUserData>(PathOf("send.wrk")), 11);

    EXPECT_TRUE(test::Eventually([&] { return desk->UserData() == image; }));
    // The refused record went out four times, the header and the other record once each.
    EXPECT_EQ(test::SettledBytesFromPc(*desk).size(), 4 + 4 + 6 * kBlockSize);
}

TEST_F(UserDataEndToEnd, AnAnswerThatIsNeitherAckNorNakEndsTheRestoreAtOnce)
{
    desk::DeskConfig config;
    config.faults.answerByte = {{0, 0x00}};
    StartDesk(config);
    WriteFile(PathOf("send.wrk"), desk::test::WorkFile(2, 3));

    EXPECT_EQ(Run<RestoreUserData>(PathOf("send.wrk")), 10);
    EXPECT_EQ(test::SettledBytesFromPc(*desk).size(), 4 + 4 + kBlockSize);
}

TEST_F(UserDataEndToEnd, AHeaderWithoutRecordsIsRestoredAndShowsTheTransferComplete)
{
    StartDesk();
    const Bytes image = desk::test::WorkFile(0, 1);
    WriteFile(PathOf("empty.wrk"), image);

    EXPECT_EQ(Run<RestoreUserData>(PathOf("empty.wrk")), 11);

    EXPECT_TRUE(test::Eventually([&] { return desk->UserData() == image; }));
    EXPECT_EQ(views.Matching("progress.position"),
              (std::vector<std::string>{"progress.position=0", "progress.position=100"}));
}

TEST_F(UserDataEndToEnd, CancelWhileTheLastBlockIsAcknowledgedStillEndsInterrupted)
{
    desk::DeskConfig config;
    config.faults.answerDelayMs = 300;
    StartDesk(config);
    const Bytes image = desk::test::WorkFile(4, 7);
    WriteFile(PathOf("send.wrk"), image);
    // Cancel once the desk holds the last block and is about to acknowledge it.
    const std::size_t everyBlock = 4 + 4 + 5 * kBlockSize;
    std::thread canceller([&] {
        test::Eventually([&] { return desk->BytesFromPc().size() >= everyBlock; });
        views.PressCancel();
    });

    const int code = Run<RestoreUserData>(PathOf("send.wrk"));
    canceller.join();

    EXPECT_EQ(code, 9);
    EXPECT_TRUE(test::Eventually([&] { return desk->UserData() == image; })); // the desk took every block
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: Transmission interrupted by user."});
}

} // namespace
} // namespace olk
