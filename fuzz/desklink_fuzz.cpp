// The desk side of the link: a desk that answers with any bytes at any moment, then hangs up.
// Whatever it sends, the operation ends with its notice, within the line's own timeouts, and
// nothing crashes; a backup never leaves a half-written file behind.
#include "fuzz/deskscript.h"
#include "fuzz/fuzzcheck.h"
#include "fuzz/scratchfile.h"
#include "link/resultcodes.h"
#include "tests/support/linkenvironment.h"
#include "userdata/datafile.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Longest the desk stays on the line for one input: long enough for a seed's whole exchange,
// short enough that the fuzzer keeps its pace. Then it hangs up, which ends every wait at once.
constexpr auto kDeskLife = std::chrono::milliseconds(1500);
// A PC that has said nothing for this long is taken to wait for the desk, which has nothing more
// to say: the desk hangs up rather than let the PC's timeouts run.
constexpr auto kPcIdle = std::chrono::milliseconds(100);

// The far end of a pseudo-terminal, playing the script and swallowing whatever the PC sends.
class ScriptedDesk {
public:
    explicit ScriptedDesk(olk::fuzz::DeskScript script) : script_(std::move(script))
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        OLK_FUZZ_CHECK(master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0);
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        device_ = ::ptsname(master_);
        player_ = std::thread([this] { Play(); });
    }

    ~ScriptedDesk()
    {
        player_.join();
        ::close(master_);
    }

    const std::string& Device() const { return device_; }
    // Hangs up now, whatever is left of the script.
    void HangUp() { deadline_ = Clock::now(); }

private:
    void Play()
    {
        for (const auto& chunk : script_.chunks) {
            if (!WaitForPc(chunk.after))
                break;
            Send(chunk.bytes);
        }
        // The line stays up a moment for the PC to read the last bytes, then it is gone.
        WaitForPc(1);
        ::close(master_);
        master_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }

    // Bytes that came beyond what one wait asked for count towards the next.
    bool WaitForPc(std::size_t count)
    {
        std::size_t received = surplus_;
        while (received < count) {
            const auto left = std::min(kPcIdle, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    deadline_.load() - Clock::now()));
            pollfd entry{master_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
                return false;
            uint8_t buffer[512];
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got <= 0)
                return false;
            received += static_cast<std::size_t>(got);
        }
        surplus_ = received - count;
        return true;
    }

    void Send(const std::vector<uint8_t>& bytes)
    {
        // A write the PC's side refuses is a line that went: the script plays on regardless.
        if (!bytes.empty() && ::write(master_, bytes.data(), bytes.size()) < 0)
            return;
    }

    olk::fuzz::DeskScript script_;
    int master_ = -1;
    std::size_t surplus_ = 0;
    std::string device_;
    std::atomic<Clock::time_point> deadline_{Clock::now() + kDeskLife};
    std::thread player_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace olk;
    static test::LinkEnvironment environment;
    const fuzz::DeskScript script = fuzz::Decode(data, size);
    test::RecordingViews views;
    std::optional<int> code;
    {
        ScriptedDesk desk(script);
        environment.MapPorts({{"COM1", desk.Device()}});
        code = fuzz::RunOperation(script, fuzz::ScratchDirectory(), views);
        desk.HangUp();
    }
    if (!code)
        for (const auto& entry : views.log)
            std::fprintf(stderr, "  %s\n", entry.c_str());
    OLK_FUZZ_CHECK(code.has_value());
    OLK_FUZZ_CHECK(views.endedNotices == 1);
    if (script.operation == fuzz::Operation::Backup) {
        // A backup is either whole, its length and sum checked, or not there at all.
        const std::string backup = fuzz::ScratchDirectory() + "/backup.wrk";
        OLK_FUZZ_CHECK(std::filesystem::exists(backup) == (*code == result::kBackupDone));
        OLK_FUZZ_CHECK(!std::filesystem::exists(backup) || datafile::ReadWellFormedHeader(backup).has_value());
    }
    return 0;
}
