// The firmware update end to end: the .hex file read and checked before the desk is greeted,
// then the image streamed at 9600 baud against the desk simulator.
#include "desk/desksimulator.h"
#include "firmware/aggiornafirmware.h"
#include "link/commands.h"
#include "tests/support/hexfiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingviews.h"
#include "tests/support/settled.h"
#include "tests/support/subprocess.h"
#include "tests/support/wirebytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace olk {
namespace {

using test::AsBytes;
using test::Bytes;
using test::Concat;
using Clock = std::chrono::steady_clock;

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class FirmwareEndToEnd : public testing::Test {
protected:
    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    std::string PathOf(const std::string& name) const { return environment.Directory() + "/" + name; }

    int Run(const std::string& path)
    {
        auto operation = MakeOperation<AggiornaFirmware>("COM1", views.Targets(), views.AsViews());
        if (operation->Prepare(path) != 0)
            operation->StartOperation(true);
        EXPECT_TRUE(views.RunUntilEnded(std::chrono::seconds(60)));
        return operation->ReportedCode();
    }

    std::string SignedHexFile()
    {
        const std::string path = PathOf("firmware.hex");
        WriteText(path, test::HexText(image));
        return path;
    }

    test::LinkEnvironment environment;
    test::RecordingViews views;
    std::unique_ptr<desk::DeskSimulator> desk;
    Bytes image = test::SignedImage(3);
};

struct FileCase {
    const char* what;
    std::string text;
    int code;
    const char* dialog;
};

void PrintTo(const FileCase& value, std::ostream* out)
{
    *out << value.what;
}

class RefusedFirmwareTest : public FirmwareEndToEnd, public testing::WithParamInterface<FileCase> {};

TEST_P(RefusedFirmwareTest, IsRefusedBeforeTheDeskIsGreeted)
{
    StartDesk();
    const std::string path = PathOf("bad.hex");
    WriteText(path, GetParam().text);

    EXPECT_EQ(Run(path), GetParam().code);

    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{GetParam().dialog});
    EXPECT_EQ(views.endedNotices, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFirmwareTest,
    testing::Values(FileCase{"Empty", "", 2, "dialog Error: Error while reading the file"},
                    FileCase{"NoRecords", "just text\r\n", 4,
                             "dialog Error: CheckSum file error.\nFile is corrupted or wrong file has been chosen !"},
                    FileCase{"PastTheImage", test::HexRecord(0xFFFF, {1, 2}), 3,
                             "dialog Error: File is corrupted or wrong file has been chosen !"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FirmwareEndToEnd, AMissingFileNamesItself)
{
    StartDesk();
    EXPECT_EQ(Run(PathOf("none.hex")), 1);
    EXPECT_EQ(views.Matching("dialog"),
              std::vector<std::string>{"dialog Warning: " + PathOf("none.hex") + ": cannot open this file"});
}

TEST_F(FirmwareEndToEnd, AFileWrittenByObjcopyIsAccepted)
{
    const std::string binary = PathOf("image.bin");
    test::WriteFile(binary, image);
    const std::string hex = PathOf("objcopy.hex");
    const auto converted = test::RunProgram("/usr/bin/objcopy", {"-I", "binary", "-O", "ihex", binary, hex});
    ASSERT_EQ(converted.exitStatus, 0) << converted.err;

    auto operation = MakeOperation<AggiornaFirmware>("COM1", views.Targets(), views.AsViews());
    ASSERT_NE(operation->Prepare(hex), 0);
    // objcopy's extended-address record lands in the unchecked first bytes; the rest is the image.
    EXPECT_TRUE(std::equal(image.begin() + 0x2800, image.end(), operation->Image().begin() + 0x2800));
}

TEST_F(FirmwareEndToEnd, TheImageGoesOutWholeAt9600WithoutABaudValue)
{
    StartDesk();
    EXPECT_EQ(Run(SignedHexFile()), 11);

    EXPECT_EQ(test::SettledBytesFromPc(*desk), Concat({AsBytes(command::kFirmware), image}));
    EXPECT_EQ(desk->ReceivedFirmware(), image);
    for (const auto& entry : desk->Transcript()) {
        EXPECT_EQ(entry.pcRate, 9600u);
        EXPECT_EQ(entry.deskRate, 9600u);
    }
    const auto positions = views.Matching("progress.position");
    ASSERT_GE(positions.size(), 3u);
    EXPECT_EQ(positions[positions.size() - 2], "progress.position=99");
    EXPECT_EQ(positions.back(), "progress.position=100");
    EXPECT_EQ(std::count(positions.begin(), positions.end(), "progress.position=100"), 1);
    EXPECT_EQ(views.Matching("baudValue=57600"), std::vector<std::string>{});
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: The mixer is updated well right !"});
}

struct VerdictCase {
    const char* what;
    std::optional<uint8_t> verdict;
    int code;
};

void PrintTo(const VerdictCase& value, std::ostream* out)
{
    *out << value.what;
}

class VerdictTest : public FirmwareEndToEnd, public testing::WithParamInterface<VerdictCase> {};

TEST_P(VerdictTest, TheConfirmationByteDecidesTheEnd)
{
    desk::DeskConfig config;
    config.firmwareVerdict = GetParam().verdict;
    StartDesk(config);
    EXPECT_EQ(Run(SignedHexFile()), GetParam().code);
    EXPECT_EQ(desk->ReceivedFirmware(), image);
}

INSTANTIATE_TEST_SUITE_P(Verdicts, VerdictTest,
                         testing::Values(VerdictCase{"Accepted", 0xA6, 11}, VerdictCase{"Refused", 0xA7, 12},
                                         VerdictCase{"BlockAck", 0xE6, 13}, VerdictCase{"Other", 0x42, 13},
                                         VerdictCase{"Silent", std::nullopt, 10}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(FirmwareEndToEnd, CancelStopsAfterThePieceInFlight)
{
    // The desk stops reading for a while once a quarter of the image is in, so the Cancel pressed
    // at 10 % lands while pieces are still going out, however busy this machine is.
    desk::DeskConfig config;
    config.faults.firmwareStallAt = 16384;
    config.faults.firmwareStallMs = 1500;
    StartDesk(config);
    views.onRecord = [this](const std::string& entry) {
        if (entry == "progress.position=10")
            views.attached->Terminate();
    };

    EXPECT_EQ(Run(SignedHexFile()), 9);

    const Bytes sent = test::SettledBytesFromPc(*desk);
    ASSERT_GT(sent.size(), 3u);
    const std::size_t imageBytes = sent.size() - 3;
    EXPECT_EQ(imageBytes % 512, 0u);
    EXPECT_LT(imageBytes, image.size());
    EXPECT_EQ(views.Matching("dialog"), std::vector<std::string>{"dialog Information: Transmission interrupted by user."});
}

TEST_F(FirmwareEndToEnd, APieceTheLineTakesOnlyInPartIsContinued)
{
    desk::DeskConfig config;
    config.faults.firmwareStallAt = 1100; // the line then backs up mid-piece
    config.faults.firmwareStallMs = 2600;
    StartDesk(config);

    EXPECT_EQ(Run(SignedHexFile()), 11);
    EXPECT_EQ(desk->ReceivedFirmware(), image);
}

} // namespace
} // namespace olk
