// olkdesk: the desk simulator as a program. It prints the pseudo-terminal path the PC is to open
// (and, asked to, a port-map entry for it), plays the desk until it is told to stop, and can leave
// the transcript of everything that crossed the line behind.
#include "desk/desksimulator.h"
#include "desk/deskstate.h"
#include "desk/options.h"
#include "desk/transcript.h"

#include <array>
#include <csignal>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

using namespace olk::desk;

// Larger than any image a desk holds; a bigger file is a mistake, not a desk image.
constexpr std::streamsize kLargestFile = 16 * 1024 * 1024;

std::vector<uint8_t> ReadImage(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw std::runtime_error(path + ": cannot open this file");
    const std::streamsize size = file.tellg();
    if (size > kLargestFile)
        throw std::runtime_error(path + ": too large for a desk image");
    std::vector<uint8_t> image(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(image.data()), size))
        throw std::runtime_error(path + ": cannot read this file");
    return image;
}

Fixture ReadFixture(const std::string& path)
{
    std::vector<uint8_t> image = ReadImage(path);
    std::optional<std::string> name = FixtureNameInFile(image);
    if (!name)
        throw std::runtime_error(path + ": names no fixture");
    return Fixture{*name, std::move(image)};
}

void LoadFiles(ProgramOptions& options)
{
    if (!options.userDataFile.empty())
        options.config.userData = ReadImage(options.userDataFile);
    for (const std::string& path : options.fixtureFiles)
        options.config.fixtures.push_back(ReadFixture(path));
}

// SIGINT and SIGTERM are taken as readable events, blocked in every thread (the simulator's
// worker inherits the mask), so the program always ends through its own clean-up.
int StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

bool StdinEnded()
{
    std::array<char, 512> discard;
    return ::read(STDIN_FILENO, discard.data(), discard.size()) <= 0;
}

void WaitForTheEnd(int signals, bool untilStdinEof)
{
    std::array<pollfd, 2> watched{{{signals, POLLIN, 0}, {untilStdinEof ? STDIN_FILENO : -1, POLLIN, 0}}};
    for (;;) {
        if (poll(watched.data(), watched.size(), -1) < 0)
            continue;
        if (watched[0].revents != 0)
            return;
        if (watched[1].revents != 0 && StdinEnded())
            return;
    }
}

void WriteTranscript(const std::string& path, const std::vector<TranscriptEntry>& entries)
{
    std::ofstream file(path);
    for (const TranscriptEntry& entry : entries)
        file << FormatTranscriptEntry(entry) << '\n';
    if (!file)
        throw std::runtime_error(path + ": cannot write the transcript");
}

int Run(ProgramOptions options)
{
    LoadFiles(options);
    const int signals = StopSignals();
    if (signals < 0)
        throw std::runtime_error("cannot watch for signals");
    DeskSimulator desk(std::move(options.config));
    std::cout << desk.DevicePath() << '\n';
    if (!options.publishedPort.empty())
        std::cout << options.publishedPort << '=' << desk.DevicePath() << '\n';
    std::cout.flush();
    WaitForTheEnd(signals, options.untilStdinEof);
    if (!options.transcriptFile.empty())
        WriteTranscript(options.transcriptFile, desk.Transcript());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    ProgramOptions options;
    try {
        options = ParseOptions(arguments);
    } catch (const OptionError& error) {
        std::cerr << "olkdesk: " << error.what() << "\nTry 'olkdesk --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }
    try {
        return Run(std::move(options));
    } catch (const std::exception& error) {
        std::cerr << "olkdesk: " << error.what() << '\n';
        return 1;
    }
}
