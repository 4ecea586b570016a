// The olkdesk program run as a script runs it: read its first lines, talk to the device it names,
// then stop it by closing its input or by a signal.
#include "link/commands.h"
#include "link/datablock.h"
#include "link/littleendian.h"
#include "tests/desk/pcport.h"
#include "tests/support/testimages.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace olk::desk {
namespace {

class Program {
public:
    explicit Program(std::vector<std::string> arguments)
    {
        int input[2];
        int output[2];
        if (pipe(input) != 0 || pipe(output) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        arguments.insert(arguments.begin(), OLKDESK_PROGRAM);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, OLKDESK_PROGRAM, &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start olkdesk");
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        input_ = input[1];
        output_ = output[0];
    }

    ~Program()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            Wait();
        }
        CloseInput();
        ::close(output_);
    }

    std::string ReadLine()
    {
        std::string line;
        char c = 0;
        pollfd readable{output_, POLLIN, 0};
        while (poll(&readable, 1, 5000) > 0 && ::read(output_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    std::string ReadAll()
    {
        std::string text;
        char buffer[4096];
        for (ssize_t got; (got = ::read(output_, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        return text;
    }

    void CloseInput()
    {
        if (input_ >= 0)
            ::close(input_);
        input_ = -1;
    }

    void Signal(int signal) { kill(pid_, signal); }

    // The exit code, or -1 for an end by a signal.
    int Wait()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "olkdesk_" + std::to_string(getpid()) + "_" + name;
}

TEST(DeskProgram, PublishesItsDeviceServesTheDeskAndLeavesATranscript)
{
    const std::string fixturePath = TempPath("par.fxt");
    const test::Bytes fixture = test::FixtureFile("PAR64", 64);
    std::ofstream(fixturePath, std::ios::binary).write(reinterpret_cast<const char*>(fixture.data()),
                                                       static_cast<std::streamsize>(fixture.size()));
    const std::string transcriptPath = TempPath("transcript.txt");

    Program desk({"--publish", "COM3", "--until-stdin-eof", "--free-memory", "777", "--fixture", fixturePath,
                  "--transcript", transcriptPath});
    const std::string path = desk.ReadLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(desk.ReadLine(), "COM3=" + path);
    {
        test::PcPort pc(path);
        pc.Send(command::kFreeMemory);
        const test::Bytes answer = pc.Receive(4);
        ASSERT_EQ(answer.size(), 4u);
        EXPECT_EQ(ReadDWord(answer.data(), 0), 777u);
        pc.Send(command::kRemoveFixture);
        std::string name = "PAR64";
        name.resize(12, '\0');
        pc.Send(std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()));
        EXPECT_EQ(pc.Receive(1), test::Bytes{kAck}) << "the fixture from the file, under the name the file gives";
    }
    desk.CloseInput();
    EXPECT_EQ(desk.Wait(), 0);

    std::ifstream transcript(transcriptPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(transcript, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_NE(lines[0].find("PC->desk  pc 9600  desk 9600  E5 57 A4 84"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("desk->PC  pc 9600  desk 9600  09 03 00 00"), std::string::npos) << lines[1];
    std::remove(fixturePath.c_str());
    std::remove(transcriptPath.c_str());
}

TEST(DeskProgram, EndsCleanlyOnASignal)
{
    for (int signal : {SIGTERM, SIGINT}) {
        Program desk({});
        ASSERT_FALSE(desk.ReadLine().empty());
        desk.Signal(signal);
        EXPECT_EQ(desk.Wait(), 0) << strsignal(signal);
    }
}

TEST(DeskProgram, ExitCodesForHelpAndForWhatItCannotRun)
{
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{"--no-such-option"}, 2},
        {{"--model", "300"}, 2},
        {{"--user-data", "/nonexistent/desk.wrk"}, 1},
    };
    for (const Case& c : cases) {
        Program desk(c.arguments);
        const std::string printed = desk.ReadAll();
        EXPECT_EQ(desk.Wait(), c.exitCode) << c.arguments.front();
        if (c.exitCode == 0) {
            EXPECT_NE(printed.find("--publish COMn"), std::string::npos);
        }
    }
}

} // namespace
} // namespace olk::desk
