#include "link/portaseriale.h"
#include "tests/support/linkenvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace olk {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A bare pseudo-terminal: the test holds the master end and plays whatever the far end does.
class Pty {
public:
    Pty()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            throw std::runtime_error("no pseudo-terminal");
        path_ = ptsname(master_);
        // An extra slave descriptor keeps the line up while the port is closed and reopened.
        keeper_ = open(path_.c_str(), O_RDWR | O_NOCTTY);
    }
    ~Pty()
    {
        close(keeper_);
        close(master_);
    }
    const std::string& Path() const { return path_; }
    int Master() const { return master_; }
    speed_t LineSpeed() const
    {
        termios settings{};
        tcgetattr(keeper_, &settings);
        return cfgetospeed(&settings);
    }
    termios Settings() const
    {
        termios settings{};
        tcgetattr(keeper_, &settings);
        return settings;
    }

private:
    int master_ = -1;
    int keeper_ = -1;
    std::string path_;
};

class PortaSerialeTest : public testing::Test {
protected:
    Pty pty;
    test::LinkEnvironment environment{{{"COM1", pty.Path()}}};
};

TEST_F(PortaSerialeTest, OpensRaw8N1WithoutFlowControlAtTheGivenRate)
{
    std::string name = "COM1";
    PortaSeriale port(name, 9600);
    ASSERT_EQ(name, "COM1");
    const termios settings = pty.Settings();
    EXPECT_EQ(cfgetospeed(&settings), B9600);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(settings.c_cflag & CLOCAL, 0u);
    EXPECT_NE(settings.c_cflag & CREAD, 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);

    const uint8_t bytes[] = {0xE5, 0x57, 0x00, 0x11, 0x13};
    EXPECT_EQ(port.Write(bytes, sizeof bytes), sizeof bytes);
    uint8_t received[sizeof bytes] = {};
    EXPECT_EQ(read(pty.Master(), received, sizeof received), static_cast<ssize_t>(sizeof received));
    EXPECT_EQ(std::vector<uint8_t>(received, received + sizeof received), std::vector<uint8_t>(bytes, bytes + sizeof bytes));
}

TEST_F(PortaSerialeTest, ADeviceHeldByAnotherProgramDoesNotOpen)
{
    const int holder = open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(PortExists("COM1"));
    std::string name = "COM1";
    {
        PortaSeriale port(name, 9600);
        EXPECT_EQ(name, "Ec1");
        uint8_t byte = 0;
        EXPECT_EQ(port.Write(&byte, 1), 0u);
    }
    close(holder);
    EXPECT_TRUE(PortExists("COM1"));
}

TEST_F(PortaSerialeTest, AnOpenPortKeepsOutEveryOtherOpener)
{
    std::string first = "COM1";
    PortaSeriale port(first, 9600);
    std::string second = "COM1";
    PortaSeriale other(second, 9600);
    EXPECT_EQ(second, "Ec1");
    EXPECT_FALSE(PortExists("COM1"));
}

TEST_F(PortaSerialeTest, ANameThatMapsToNoDeviceFailsHarmlessly)
{
    std::string name = "COM5";
    {
        PortaSeriale port(name, 9600);
        EXPECT_FALSE(port.SetBaudRate(19200));
    }
    EXPECT_EQ(name, "Ec1");
    EXPECT_FALSE(PortExists("COM5"));
}

TEST_F(PortaSerialeTest, AReadWaitsItsTotalTimeoutAndReturnsWhatArrived)
{
    std::string name = "COM1";
    PortaSeriale port(name, 9600);
    uint8_t answer[3] = {};

    auto start = Clock::now();
    EXPECT_EQ(port.Read(answer, 3), 0u);
    const double silent = SecondsSince(start);
    EXPECT_GE(silent, 1.0);
    EXPECT_LT(silent, 2.5);

    const uint8_t one = 0xE7;
    ASSERT_EQ(write(pty.Master(), &one, 1), 1);
    start = Clock::now();
    EXPECT_EQ(port.Read(answer, 3), 1u);
    EXPECT_GE(SecondsSince(start), 1.0);
    EXPECT_EQ(answer[0], 0xE7);
}

TEST_F(PortaSerialeTest, TimeoutsKeepTheConstructionRateAfterARateChange)
{
    std::string name = "COM1";
    PortaSeriale port(name, 9600);
    ASSERT_TRUE(port.SetBaudRate(57600));
    EXPECT_EQ(pty.LineSpeed(), B57600);
    uint8_t block[258];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(block, sizeof block), 0u);
    EXPECT_GE(SecondsSince(start), 1.5); // 2 ms a byte plus one second, as at 9600
}

TEST_F(PortaSerialeTest, ProbingARateLeavesTheDeviceAsItWas)
{
    std::string name = "COM1";
    PortaSeriale port(name, 9600);
    EXPECT_FALSE(port.TestBaudRate(12345));
    EXPECT_EQ(pty.LineSpeed(), B9600);
    EXPECT_TRUE(port.TestBaudRate(57600));
    EXPECT_EQ(pty.LineSpeed(), B9600);
    // The refused rate was not kept: a later change from the kept settings works.
    EXPECT_TRUE(port.SetBaudRate(38400));
    EXPECT_EQ(pty.LineSpeed(), B38400);
}

} // namespace
} // namespace olk
