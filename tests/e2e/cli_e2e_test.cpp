// olkmixer-cli as a script runs it: a child process, its output and exit status, against the
// desk simulator on a pseudo-terminal.
#include "desk/desksimulator.h"
#include "tests/e2e/cliprogram.h"
#include "tests/support/testimages.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/settled.h"
#include "tests/support/subprocess.h"
#include "tests/support/wirebytes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace olk {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kInfoExchange = {0xE5, 0x57, 0xA4, 0x81, 0x00, 0xE1, 0x00, 0x00, 0xE6};

class CliEndToEnd : public testing::Test {
protected:
    // Data goes out in the locale's encoding: these tests read it as UTF-8.
    CliEndToEnd()
    {
        setenv("LC_ALL", "C.UTF-8", 1);
        test::ForgetCliSettings();
    }

    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    test::ProcessResult Cli(const std::vector<std::string>& arguments, const std::function<void(int)>& whileRunning = {})
    {
        return test::RunCli(arguments, whileRunning);
    }

    test::LinkEnvironment environment;
    std::unique_ptr<desk::DeskSimulator> desk;
};

TEST_F(CliEndToEnd, InfoPrintsModelAndReleaseAsData)
{
    desk::DeskConfig config;
    config.modelCode = 0x18;
    config.subCode = 0xA6;
    config.release = "1.2\xE9";
    StartDesk(config);

    const auto result = Cli({"--port", "COM1", "info"});

    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, test::TerminalText("Model:  Korvan 2/XT  \nRelease: 1.2\xC3\xA9\n"));
    EXPECT_EQ(test::SettledBytesFromPc(*desk), kInfoExchange);
}

TEST_F(CliEndToEnd, APortCanBeADevicePathAndTheRateCanBeFixed)
{
    StartDesk();
    const auto result = Cli({"--baud", "19200", "--port", desk->DevicePath(), "info"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(test::SettledBytesFromPc(*desk), (Bytes{0xE5, 0x57, 0xA4, 0x81, 0x00, 0x4B, 0x00, 0x00, 0xE6}));
}

TEST_F(CliEndToEnd, WithoutAPortTheStoredOneIsUsedElseTheFirstThatOpens)
{
    StartDesk();
    desk::DeskSimulator second;
    environment.MapPorts({{"COM2", desk->DevicePath()}, {"COM5", second.DevicePath()}});

    EXPECT_EQ(Cli({"info"}).exitStatus, 0);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), kInfoExchange);
    EXPECT_TRUE(test::SettledBytesFromPc(second).empty());

    test::StoreCliSetting("COM", "com5");
    EXPECT_EQ(Cli({"info"}).exitStatus, 0);
    EXPECT_EQ(test::SettledBytesFromPc(second), kInfoExchange);

    // A stored name longer than its reader's 6 bytes, terminator included, counts as absent.
    test::StoreCliSetting("COM", "COM5ab");
    EXPECT_EQ(Cli({"info"}).exitStatus, 0);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), test::Concat({kInfoExchange, kInfoExchange}));
    EXPECT_EQ(test::SettledBytesFromPc(second), kInfoExchange);
}

TEST_F(CliEndToEnd, NoPortThatOpensSaysSoAndCannotInitialise)
{
    environment.MapPorts({});
    const auto result = Cli({"info"});
    EXPECT_EQ(result.exitStatus, 5);
    EXPECT_EQ(result.err, "No Serial device available !\nPlese, check if any other program is using it !!\n"
                          "Check if any other instance of this program is running !!!\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(CliEndToEnd, AFailureExitsWithItsResultCodeAndItsMessage)
{
    desk::DeskConfig config;
    config.faults.handshakeLead = 0xE6;
    StartDesk(config);
    const auto result = Cli({"--port", "COM1", "info"});
    EXPECT_EQ(result.exitStatus, 8);
    EXPECT_EQ(result.err, "Bad answer code from mixer !\n");
    EXPECT_EQ(result.out, "");
}

// Three greetings, each waiting the total timeout of a 3-byte read, 2·3 + 1000 ms.
TEST_F(CliEndToEnd, ASilentDeskIsGivenUpAfterThreeGreetingsOfOneTimeoutEach)
{
    desk::DeskConfig config;
    config.faults.silent = true;
    StartDesk(config);
    const auto readTimeout = std::chrono::milliseconds(1006);

    const auto start = std::chrono::steady_clock::now();
    const auto result = Cli({"--port", "COM1", "info"});
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(result.exitStatus, 7);
    EXPECT_EQ(result.err, "Mixer not responding !\n");
    const Bytes greeting(kInfoExchange.begin(), kInfoExchange.begin() + 4);
    EXPECT_EQ(test::SettledBytesFromPc(*desk), test::Concat({greeting, greeting, greeting}));
    EXPECT_GE(elapsed, 3 * (readTimeout - test::TimeoutAllowance()));
    EXPECT_LT(elapsed, 3 * readTimeout + std::chrono::seconds(5)); // it ends, start-up and all
}

TEST_F(CliEndToEnd, PortsListsEveryNameWithItsDeviceAndWhetherItOpens)
{
    StartDesk();
    desk::DeskSimulator held;
    environment.MapPorts({{"COM1", desk->DevicePath()}, {"COM3", held.DevicePath()}});
    const int holder = open(held.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    const auto result = Cli({"ports"});
    close(holder);

    EXPECT_EQ(result.exitStatus, 0);
    char expected[512];
    std::snprintf(expected, sizeof expected,
                  "COM1  %-24s opens\nCOM2  %-24s no device\nCOM3  %-24s does not open\n", desk->DevicePath().c_str(),
                  "-", held.DevicePath().c_str());
    EXPECT_EQ(result.out.substr(0, std::strlen(expected)), expected);
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

TEST_F(CliEndToEnd, UsageErrorsExitWith64)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {}, {"bogus"}, {"--baud", "12345", "info"}, {"--port", "LPT1", "info"}, {"info", "extra"}, {"--port"}}) {
        const auto result = Cli(arguments);
        EXPECT_EQ(result.exitStatus, 64) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("usage: olkmixer-cli"), std::string::npos);
    }
    EXPECT_EQ(Cli({"--help"}).exitStatus, 0);
    EXPECT_NE(Cli({"info", "--help"}).out.find("model name and firmware release"), std::string::npos);
}

TEST_F(CliEndToEnd, CtrlCActsAsCancel)
{
    StartDesk(desk::test::SlowListDesk());

    const auto result = Cli({"--port", "COM1", "info"}, [this](int pid) {
        // Once the header has been acknowledged the list blocks are flowing.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (desk->BytesFromPc().size() < kInfoExchange.size() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        kill(pid, SIGINT);
    });

    EXPECT_EQ(result.exitStatus, 9);
    EXPECT_NE(result.err.find("Transmission interrupted by user.\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

} // namespace
} // namespace olk
