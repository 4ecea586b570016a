// Every olkmixer-cli command as a script or a user at a terminal runs it, against the desk
// simulator on a pseudo-terminal: what crossed the line, the exit status, the texts on standard
// output and standard error byte for byte, and the files.
#include "desk/desksimulator.h"
#include "link/commands.h"
#include "link/datablock.h"
#include "tests/e2e/cliprogram.h"
#include "tests/support/datafiles.h"
#include "tests/support/hexfiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/settled.h"
#include "tests/support/subprocess.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "userdata/datafile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace olk {
namespace {

using test::AsBytes;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::Repeat;
using test::WriteFile;

const Bytes k57600 = {0x00, 0xE1, 0x00, 0x00};
constexpr uint8_t kAck = 0xE6;

const std::string kFourRecordProgress = "0 %\n20 %\n50 %\n70 %\n100 %\n";
const std::string kOneBlockProgress = "0 %\n100 %\n";
const std::string kNoDescription = "Would you Edit the description of the file ? No\n";
const std::string kBackupDone = "The Backup process is done !\n";
const std::string kUpdated = "The mixer is updated well right !\n";

Bytes NameBytes(const std::string& name)
{
    const auto bytes = command::FixtureNameBytes(name);
    return Bytes(bytes.begin(), bytes.end());
}

std::size_t RecordsOf(const Bytes& image)
{
    return (image.size() - datafile::kHeaderSize) / datafile::kRecordSize;
}

// What the PC sends when it receives a transfer: the command, the rate, one ACK a block.
Bytes ReceivingExchange(const Bytes& command, std::size_t blocks)
{
    return Concat({command, k57600, Repeat(kAck, blocks)});
}

// What the PC sends when it sends a file: the command, the rate, every 256 bytes as a block.
Bytes SendingExchange(const Bytes& command, const Bytes& file)
{
    Bytes all = Concat({command, k57600});
    for (std::size_t offset = 0; offset < file.size(); offset += datafile::kRecordSize) {
        const Bytes block = desk::test::BlockOf(std::span(file).subspan(offset, datafile::kRecordSize));
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

// The list request of a library that fits one block, and the free-memory question after it.
Bytes ListExchange()
{
    return Concat({ReceivingExchange(AsBytes(command::kFixtureList), 2), AsBytes(command::kFreeMemory)});
}

// A fixture file with a text the window would show.
Bytes FixtureWithText(const std::string& name, const std::string& text)
{
    Bytes file = desk::test::FixtureFile(name, 300);
    test::PutFixtureText(file, 64, static_cast<uint16_t>(text.size()), text);
    desk::test::Seal(file);
    return file;
}

class CliCommands : public testing::Test {
protected:
    CliCommands()
    {
        setenv("LC_ALL", "C.UTF-8", 1);
        test::ForgetCliSettings();
    }

    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    test::ProcessResult Cli(std::vector<std::string> arguments, const std::function<void(int)>& whileRunning = {})
    {
        arguments.insert(arguments.begin(), {"--port", "COM1"});
        return test::RunCli(arguments, whileRunning);
    }

    test::ProcessResult CliAtTerminal(std::vector<std::string> arguments, const std::string& typed)
    {
        arguments.insert(arguments.begin(), {"--port", "COM1"});
        return test::RunCliAtTerminal(arguments, typed);
    }

    std::string PathOf(const std::string& name) const { return environment.Directory() + "/" + name; }

    std::vector<std::string> FilesInDirectory() const { return environment.FileNames(); }

    test::LinkEnvironment environment;
    std::unique_ptr<desk::DeskSimulator> desk;
};

// ---- backup -------------------------------------------------------------------------------

const Bytes kOldBackup(512, 0x5A);

struct BackupCase {
    std::string name;
    bool fileExists;
    std::vector<std::string> flags;
    int exitStatus;
    std::string err;
    bool backupArrives; // else nothing is sent and the old file stays
};

class BackupCommandTest : public CliCommands, public testing::WithParamInterface<BackupCase> {};

TEST_P(BackupCommandTest, AnswersTheQuestionsByItsFlags)
{
    const BackupCase& c = GetParam();
    StartDesk();
    const std::string path = PathOf("show.wrk");
    if (c.fileExists)
        WriteFile(path, kOldBackup);
    std::vector<std::string> arguments{"backup", path};
    arguments.insert(arguments.end(), c.flags.begin(), c.flags.end());

    const auto result = Cli(arguments);

    EXPECT_EQ(result.exitStatus, c.exitStatus);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
    if (c.backupArrives) {
        EXPECT_EQ(ReadFile(path), desk->UserData());
        EXPECT_EQ(test::SettledBytesFromPc(*desk),
                  ReceivingExchange(AsBytes(command::kBackup), 1 + RecordsOf(desk->UserData())));
    } else {
        EXPECT_EQ(ReadFile(path), kOldBackup);
        EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    }
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{"show.wrk"});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BackupCommandTest,
    testing::Values(
        BackupCase{"NewFile", false, {}, 0, kFourRecordProgress + kNoDescription + kBackupDone, true},
        BackupCase{"ExistingFileWithoutForce", true, {}, 100, "File already exist!\nOverwrite? No\n", false},
        BackupCase{"ExistingFileWithForce", true, {"--force"}, 0,
                   "File already exist!\nOverwrite? Yes\n" + kFourRecordProgress + kNoDescription + kBackupDone, true}),
    [](const testing::TestParamInfo<BackupCase>& info) { return info.param.name; });

TEST_F(CliCommands, ABackupStoresTheDescriptionGivenAsTheEditorWould)
{
    StartDesk();
    const std::string path = PathOf("gala.wrk");

    const auto result = Cli({"backup", path, "--description", "Gala night\nCaf\xC3\xA9 stage"});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err,
              kFourRecordProgress + "Would you Edit the description of the file ? Yes\n" + kBackupDone);
    Bytes expected = desk->UserData();
    const Bytes field = datafile::DescriptionBytes("Gala night\r\nCaf\xE9 stage\r\n");
    std::copy(field.begin(), field.end(), expected.begin() + datafile::kDescriptionOffset);
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(CliCommands, ADescriptionLongerThanTheEditorTakesIsAUsageErrorBeforeAnyTraffic)
{
    StartDesk();
    const auto result = Cli({"backup", PathOf("long.wrk"), "--description", std::string(128, 'x')});
    EXPECT_EQ(result.exitStatus, 64);
    EXPECT_NE(result.err.find("more than 127 characters"), std::string::npos);
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    EXPECT_TRUE(FilesInDirectory().empty());
}

struct TypedAnswer {
    std::string name;
    std::string typed;
    int exitStatus;
    std::string err;
};

class AtATerminalTest : public CliCommands, public testing::WithParamInterface<TypedAnswer> {};

TEST_P(AtATerminalTest, TheOverwriteQuestionIsAskedThere)
{
    StartDesk();
    const std::string path = PathOf("show.wrk");
    WriteFile(path, kOldBackup);

    const auto result = CliAtTerminal({"backup", path}, GetParam().typed);

    EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(ReadFile(path) == kOldBackup, GetParam().exitStatus != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, AtATerminalTest,
    testing::Values(TypedAnswer{"Yes", "y\n", 0,
                                "File already exist!\nOverwrite? [y/N] " + kFourRecordProgress + kNoDescription +
                                    kBackupDone},
                    TypedAnswer{"No", "n\n", 100, "File already exist!\nOverwrite? [y/N] "},
                    TypedAnswer{"JustEnter", "\n", 100, "File already exist!\nOverwrite? [y/N] "}),
    [](const testing::TestParamInfo<TypedAnswer>& info) { return info.param.name; });

TEST_F(CliCommands, CtrlCDuringABackupKeepsTheOldFileAndLeavesNoPartOfTheNewOne)
{
    desk::DeskConfig config;
    config.userData = desk::test::WorkFile(40, 3);
    config.faults.pieces = {20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 18};
    config.faults.pieceDelayMs = 30;
    StartDesk(config);
    const std::string path = PathOf("show.wrk");
    WriteFile(path, kOldBackup);
    const std::size_t twoBlocksAcknowledged = command::kBackup.size() + k57600.size() + 2;

    const auto result = Cli({"backup", path, "--force"}, [&](int pid) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (desk->BytesFromPc().size() < twoBlocksAcknowledged && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        kill(pid, SIGINT);
    });

    EXPECT_EQ(result.exitStatus, 9);
    EXPECT_NE(result.err.find("Transmission interrupted by user.\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("The Backup process is done !"), std::string::npos);
    EXPECT_EQ(ReadFile(path), kOldBackup);
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{"show.wrk"});
    // Nothing more went to the desk after the cancel: no ACK for the rest of the 41 blocks.
    EXPECT_LT(test::SettledBytesFromPc(*desk).size(), twoBlocksAcknowledged + 5);
}

TEST_F(CliCommands, ABackupTheDeskBreaksOffKeepsTheOldFile)
{
    desk::DeskConfig config;
    config.userData = desk::test::WorkFile(8, 3);
    config.faults.silentAtBlock = 3;
    StartDesk(config);
    const std::string path = PathOf("show.wrk");
    WriteFile(path, kOldBackup);

    const auto result = Cli({"backup", path, "--force"});

    EXPECT_EQ(result.exitStatus, 10);
    EXPECT_NE(result.err.find("Problems with communication or communication broken !\nControl the cable !\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(ReadFile(path), kOldBackup);
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{"show.wrk"});
}

// ---- restore ------------------------------------------------------------------------------

TEST_F(CliCommands, ARestoreSendsTheWholeFile)
{
    StartDesk();
    const Bytes file = desk::test::WorkFile(4, 9);
    const std::string path = PathOf("show.wrk");
    WriteFile(path, file);

    const auto result = Cli({"restore", path});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, kFourRecordProgress + kUpdated);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), SendingExchange(AsBytes(command::kRestore), file));
    EXPECT_EQ(desk->UserData(), file);
}

TEST_F(CliCommands, ABackupFirstSavesTheDeskThenRestores)
{
    StartDesk();
    const Bytes before = desk->UserData();
    const Bytes file = desk::test::WorkFile(4, 9);
    WriteFile(PathOf("new.wrk"), file);

    const auto result = Cli({"restore", PathOf("new.wrk"), "--backup-first", PathOf("before.wrk")});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, kFourRecordProgress + kNoDescription + kBackupDone + kFourRecordProgress + kUpdated);
    EXPECT_EQ(ReadFile(PathOf("before.wrk")), before);
    EXPECT_EQ(desk->UserData(), file);
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              Concat({ReceivingExchange(AsBytes(command::kBackup), 5), SendingExchange(AsBytes(command::kRestore), file)}));
}

TEST_F(CliCommands, ABackupFirstThatIsNotDoneStopsTheRestore)
{
    StartDesk();
    const Bytes before = desk->UserData();
    WriteFile(PathOf("new.wrk"), desk::test::WorkFile(4, 9));
    WriteFile(PathOf("before.wrk"), kOldBackup);

    const auto result = Cli({"restore", PathOf("new.wrk"), "--backup-first", PathOf("before.wrk")});

    EXPECT_EQ(result.exitStatus, 100);
    EXPECT_EQ(result.err, "File already exist!\nOverwrite? No\n");
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    EXPECT_EQ(desk->UserData(), before);
}

TEST_F(CliCommands, ARestoreOfAFileThatBreaksTheLengthRuleIsRefusedBeforeThePortOpens)
{
    StartDesk();
    Bytes file = desk::test::WorkFile(2, 9);
    file.push_back(0);
    WriteFile(PathOf("long.wrk"), file);

    const auto result = Cli({"restore", PathOf("long.wrk")});

    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.err, "File is corrupted or wrong file has been chosen !\n");
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

// ---- firmware -----------------------------------------------------------------------------

TEST_F(CliCommands, FirmwareGoesOutWholeAndTheDeskConfirmsIt)
{
    StartDesk();
    const auto image = test::SignedImage(3);
    const std::string path = PathOf("desk.hex");
    const std::string hex = test::HexText(image);
    WriteFile(path, Bytes(hex.begin(), hex.end()));

    const auto result = Cli({"firmware", path});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err.substr(result.err.size() - kUpdated.size()), kUpdated);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), Concat({AsBytes(command::kFirmware), image}));
    EXPECT_EQ(desk->ReceivedFirmware(), image);
}

TEST_F(CliCommands, AMissingFirmwareFileNamesItself)
{
    StartDesk();
    const std::string path = PathOf("none.hex");
    const auto result = Cli({"firmware", path});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, path + ": cannot open this file\n");
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

// ---- fixtures -----------------------------------------------------------------------------

desk::DeskConfig DeskWithFixtures()
{
    desk::DeskConfig config;
    config.fixtures = {{"spot", desk::test::FixtureFile("spot", 300)},
                       {"Beam", FixtureWithText("Beam", "Moving beam")},
                       {"WASH", desk::test::FixtureFile("WASH", 300)}};
    config.freeMemory = 5000;
    return config;
}

TEST_F(CliCommands, TheListIsPrintedAsTheWindowSortsItWithCountAndFreeMemory)
{
    StartDesk(DeskWithFixtures());

    const auto result = Cli({"fixtures", "list"});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "Beam\nspot\nWASH\nN. FXT: 3\nFree mem.: 4 KB (5000 bytes)\n");
    EXPECT_EQ(result.err, kOneBlockProgress);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), ListExchange());
}

TEST_F(CliCommands, AFixtureIsSavedUnderItsNameInTheDefaultDirectory)
{
    StartDesk(DeskWithFixtures());
    const std::string directory = PathOf("library");
    std::filesystem::create_directory(directory);
    test::StoreCliSetting("Directory", directory);

    const auto result = Cli({"fixtures", "get", "Beam"});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "Moving beam\n");
    EXPECT_EQ(result.err, kOneBlockProgress + "The Fixture has been saved !\n");
    EXPECT_EQ(ReadFile(directory + "/Beam.FXT"), desk->Fixtures()[1].file);
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              Concat({AsBytes(command::kGetFixture), k57600, NameBytes("Beam"), Repeat(kAck, 2)}));
}

TEST_F(CliCommands, ANameThatHoldsAPathStillMakesAFileInTheDirectory)
{
    desk::DeskConfig config;
    config.fixtures = {{"../up", desk::test::FixtureFile("../up", 300)}};
    StartDesk(config);
    std::filesystem::create_directory(PathOf("library"));
    test::StoreCliSetting("Directory", PathOf("library"));

    const auto result = Cli({"fixtures", "get", "../up"});

    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(ReadFile(PathOf("library/.._up.FXT")), desk->Fixtures()[0].file);
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{});
}

struct SaveCase {
    std::string name;
    std::vector<std::string> flags;
    int exitStatus;
    std::string err;
    bool replaced;
};

class FixtureSaveTest : public CliCommands, public testing::WithParamInterface<SaveCase> {};

TEST_P(FixtureSaveTest, AnExistingOutputIsReplacedOnlyWhenAllowed)
{
    StartDesk(DeskWithFixtures());
    const std::string path = PathOf("beam.fxt");
    WriteFile(path, kOldBackup);
    std::vector<std::string> arguments{"fixtures", "get", "Beam", "--output", path};
    arguments.insert(arguments.end(), GetParam().flags.begin(), GetParam().flags.end());

    const auto result = Cli(arguments);

    EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(ReadFile(path), GetParam().replaced ? desk->Fixtures()[1].file : kOldBackup);
    EXPECT_EQ(FilesInDirectory(), std::vector<std::string>{"beam.fxt"});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FixtureSaveTest,
    testing::Values(SaveCase{"WithoutForce", {}, 100, kOneBlockProgress + "File already exist!\nOverwrite? No\n", false},
                    SaveCase{"WithForce", {"--force"}, 0,
                             kOneBlockProgress + "File already exist!\nOverwrite? Yes\nThe Fixture has been saved !\n",
                             true}),
    [](const testing::TestParamInfo<SaveCase>& info) { return info.param.name; });

TEST_F(CliCommands, AnUnknownFixtureIsReportedAndNothingIsSaved)
{
    StartDesk(DeskWithFixtures());
    const auto result = Cli({"fixtures", "get", "Strobe", "--output", PathOf("strobe.fxt")});
    EXPECT_EQ(result.exitStatus, 37);
    EXPECT_EQ(result.err, "0 %\nFixture doesn't exist!\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(FilesInDirectory().empty());
}

TEST_F(CliCommands, AnAddedFixtureFollowsTheListAndNothingIsAskedAfterIt)
{
    StartDesk(DeskWithFixtures());
    const Bytes file = desk::test::FixtureFile("Strobe", 300);
    WriteFile(PathOf("strobe.fxt"), file);

    const auto result = Cli({"fixtures", "add", PathOf("strobe.fxt")});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, kOneBlockProgress + kOneBlockProgress + kUpdated);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              Concat({ListExchange(), SendingExchange(AsBytes(command::kAddFixture), file)}));
    ASSERT_EQ(desk->Fixtures().size(), 4u);
    EXPECT_EQ(desk->Fixtures().back().file, file);
}

struct ReplaceCase {
    std::string name;
    std::vector<std::string> flags;
    int exitStatus;
    std::string err;
    bool sent;
};

class FixtureReplaceTest : public CliCommands, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(FixtureReplaceTest, ANameOnTheDeskInAnyLetterCaseIsReplacedOnlyWhenAllowed)
{
    StartDesk(DeskWithFixtures());
    const Bytes file = desk::test::FixtureFile("wash", 300);
    WriteFile(PathOf("wash.fxt"), file);
    std::vector<std::string> arguments{"fixtures", "add", PathOf("wash.fxt")};
    arguments.insert(arguments.end(), GetParam().flags.begin(), GetParam().flags.end());

    const auto result = Cli(arguments);

    EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              GetParam().sent ? Concat({ListExchange(), SendingExchange(AsBytes(command::kAddFixture), file)})
                              : ListExchange());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FixtureReplaceTest,
    testing::Values(ReplaceCase{"WithoutReplace", {}, 100,
                                kOneBlockProgress + "Fixture already exist: replace it ? No\n", false},
                    ReplaceCase{"WithReplace", {"--replace"}, 0,
                                kOneBlockProgress + "Fixture already exist: replace it ? Yes\n" + kOneBlockProgress +
                                    kUpdated,
                                true}),
    [](const testing::TestParamInfo<ReplaceCase>& info) { return info.param.name; });

struct RemoveCase {
    std::string name;
    std::string fixture;
    std::vector<std::string> flags;
    int exitStatus;
    std::string err;
    bool sent;
};

class FixtureRemoveTest : public CliCommands, public testing::WithParamInterface<RemoveCase> {};

TEST_P(FixtureRemoveTest, AsksFirstThenSendsTheNameAndReportsTheAnswer)
{
    desk::DeskConfig config = DeskWithFixtures();
    config.patchedFixtures = {"spot"};
    StartDesk(config);
    std::vector<std::string> arguments{"fixtures", "remove", GetParam().fixture};
    arguments.insert(arguments.end(), GetParam().flags.begin(), GetParam().flags.end());

    const auto result = Cli(arguments);

    EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(test::SettledBytesFromPc(*desk),
              GetParam().sent ? Concat({AsBytes(command::kRemoveFixture), NameBytes(GetParam().fixture)}) : Bytes{});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FixtureRemoveTest,
    testing::Values(RemoveCase{"WithoutYes", "WASH", {}, 100, "Remove Fixture ? No\n", false},
                    RemoveCase{"WithYes", "WASH", {"--yes"}, 0, "Remove Fixture ? Yes\nFixture removed !\n", true},
                    RemoveCase{"InThePatch", "spot", {"--yes"}, 41,
                               "Remove Fixture ? Yes\nMixer returned error !  Fixture not removed ! \n\nProbably the "
                               "fixture is in patch.\n",
                               true}),
    [](const testing::TestParamInfo<RemoveCase>& info) { return info.param.name; });

TEST_F(CliCommands, TheRemovalQuestionIsAskedAtATerminal)
{
    StartDesk(DeskWithFixtures());
    const auto result = CliAtTerminal({"fixtures", "remove", "WASH"}, "yes\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "Remove Fixture ? [y/N] Fixture removed !\n");
    EXPECT_EQ(desk->Fixtures().size(), 2u);
}

// ---- describe -----------------------------------------------------------------------------

TEST_F(CliCommands, DescribeShowsWhoMadeAWorkFileAndItsDescription)
{
    const std::string path = PathOf("show.wrk");
    Bytes file = test::DataFile(1);
    const Bytes field = datafile::DescriptionBytes("Gala\r\nCaf\xE9\r\n");
    std::copy(field.begin(), field.end(), file.begin() + datafile::kDescriptionOffset);
    WriteFile(path, file);

    const auto result = test::RunCli({"describe", path});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, test::TerminalText("File created by:     Korvan 1     Rel. 2.10\nGala\nCaf\xC3\xA9\n"));
    EXPECT_EQ(result.err, "");
}

TEST_F(CliCommands, DescribeShowsAFixturesText)
{
    const std::string path = PathOf("beam.FXT");
    WriteFile(path, FixtureWithText("Beam", "Moving beam"));
    const auto result = test::RunCli({"describe", path});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out.substr(result.out.find('\n') + 1), "Moving beam\n");
}

struct RewriteCase {
    std::string name;
    std::vector<std::string> flags;
    std::string editedText;
};

class DescriptionRewriteTest : public CliCommands, public testing::WithParamInterface<RewriteCase> {};

TEST_P(DescriptionRewriteTest, ChangesTheDescriptionFieldAndNothingElse)
{
    const std::string path = PathOf("show.wrk");
    const Bytes file = test::DataFile(2, "Old text");
    WriteFile(path, file);
    std::vector<std::string> arguments{"describe", path};
    arguments.insert(arguments.end(), GetParam().flags.begin(), GetParam().flags.end());

    const auto result = test::RunCli(arguments);

    EXPECT_EQ(result.exitStatus, 0) << result.err;
    Bytes expected = file;
    const Bytes field = datafile::DescriptionBytes(GetParam().editedText);
    std::copy(field.begin(), field.end(), expected.begin() + datafile::kDescriptionOffset);
    EXPECT_EQ(ReadFile(path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DescriptionRewriteTest,
    testing::Values(RewriteCase{"Set", {"--set", "Tour 2025\nRig B"}, "Tour 2025\r\nRig B\r\n"},
                    RewriteCase{"Clear", {"--clear"}, ""}),
    [](const testing::TestParamInfo<RewriteCase>& info) { return info.param.name; });

struct UnusableCase {
    std::string name;
    std::vector<std::string> flags;
    int exitStatus;
    std::string err; // after the path for code 1
};

class UnusableFileTest : public CliCommands, public testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableFileTest, IsReportedWithTheSystemsText)
{
    const std::string path = PathOf("show.wrk");
    if (GetParam().name.rfind("Missing", 0) != 0) {
        Bytes file = test::DataFile(1);
        if (GetParam().name.rfind("Long", 0) == 0)
            file.push_back(0);
        WriteFile(path, file);
    }
    if (GetParam().name == "ReadOnly")
        chmod(path.c_str(), 0444);
    const Bytes before = ReadFile(path);
    std::vector<std::string> arguments{"describe", path};
    arguments.insert(arguments.end(), GetParam().flags.begin(), GetParam().flags.end());

    const auto result = test::RunCli(arguments);

    EXPECT_EQ(result.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(result.err, GetParam().exitStatus == 1 ? path + GetParam().err : GetParam().err);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableFileTest,
    testing::Values(UnusableCase{"MissingShown", {}, 1, ": cannot open this file\n"},
                    UnusableCase{"MissingSet", {"--set", "x"}, 1, ": cannot open this file\n"},
                    UnusableCase{"LongShown", {}, 3, "File is corrupted or wrong file has been chosen !\n"},
                    UnusableCase{"LongSet", {"--set", "x"}, 3, "File is corrupted or wrong file has been chosen !\n"},
                    UnusableCase{"ReadOnly", {"--set", "x"}, 32, "File is write protected !\n"}),
    [](const testing::TestParamInfo<UnusableCase>& info) { return info.param.name; });

TEST_F(CliCommands, AFixturesTextIsNotRewritten)
{
    const std::string path = PathOf("beam.fxt");
    const Bytes file = FixtureWithText("Beam", "Moving beam");
    WriteFile(path, file);
    const auto result = test::RunCli({"describe", path, "--set", "x"});
    EXPECT_EQ(result.exitStatus, 64);
    EXPECT_EQ(ReadFile(path), file);
}

// ---- trace and encoding -------------------------------------------------------------------

TEST_F(CliCommands, TheTraceShowsEveryCallWithItsTimeRateAndBytes)
{
    StartDesk();
    const std::string path = PathOf("line.trace");

    const auto result = Cli({"--trace", path, "info"});

    EXPECT_EQ(result.exitStatus, 0);
    const std::regex line(R"( *\d+\.\d{6} s  (PC->desk|desk->PC) +(\d+) baud +(\d+)/(\d+) *((?: [0-9A-F]{2})*))");
    std::istringstream trace(test::ReadText(path));
    Bytes sent;
    std::vector<std::string> rates;
    for (std::string text; std::getline(trace, text);) {
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(text, parts, line)) << text;
        EXPECT_EQ(std::stoul(parts[3]) * 3, parts[5].length());
        if (parts[1] == "PC->desk") {
            std::istringstream hex(parts[5]);
            for (unsigned byte; hex >> std::hex >> byte;)
                sent.push_back(static_cast<uint8_t>(byte));
            rates.push_back(parts[2]);
        }
    }
    EXPECT_EQ(sent, test::SettledBytesFromPc(*desk));
    EXPECT_EQ(rates, (std::vector<std::string>{"9600", "9600", "57600"}));
}

TEST_F(CliCommands, DataIsConvertedToTheTerminalsEncoding)
{
    desk::DeskConfig config;
    config.release = "1.2\xE9";
    StartDesk(config);
    setenv("LC_ALL", "C", 1);

    const auto result = Cli({"info"});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out.find("Release: 1.2"), result.out.find('\n') + 1);
    EXPECT_TRUE(std::all_of(result.out.begin(), result.out.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        << result.out;
}

TEST_F(CliCommands, CommandUsageErrorsExitWith64)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"backup"},
             {"backup", "a", "b"},
             {"backup", "a", "--yes"},
             {"fixtures"},
             {"fixtures", "bogus"},
             {"fixtures", "get"},
             {"fixtures", "get", "THIRTEENCHARS"},
             {"restore", "a", "--force"},
             {"describe", "a", "--set", "x", "--clear"},
             {"--trace"}}) {
        const auto result = test::RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 64) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("usage: olkmixer-cli"), std::string::npos) << testing::PrintToString(arguments);
    }
    const auto help = test::RunCli({"fixtures", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* synopsis : {"fixtures list", "fixtures get NAME", "fixtures add FILE", "fixtures remove NAME"})
        EXPECT_NE(help.out.find(synopsis), std::string::npos) << synopsis;
}

} // namespace
} // namespace olk
