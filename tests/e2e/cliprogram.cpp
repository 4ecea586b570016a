#include "tests/e2e/cliprogram.h"

#include "platform/ansitext.h"
#include "platform/settingsstore.h"
#include "tests/support/linkenvironment.h"

#include <cstdlib>
#include <stdexcept>

namespace olk::test {
namespace {

constexpr const char* kSettingsKey = "HKLM\\SOFTWARE\\OLK\\OLKMixer by Rilo & Benvo";

// Set once: every Wine process of the test takes the prefix from the environment.
bool EnterWineHome()
{
    const char* home = std::getenv(LinkEnvironment::kWineHomeVariable);
    if (!home || !*home)
        return false;
    if (!*OLK_WINE_CLI || !*OLK_WINE)
        throw std::runtime_error("these tests were built without a Windows program or without wine");
    setenv("WINEPREFIX", (std::string(home) + "/prefix").c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    return true;
}

const char* WindowsProgram()
{
    static const bool underWine = EnterWineHome();
    return underWine ? OLK_WINE_CLI : nullptr;
}

std::string WithLineFeeds(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

ProcessResult FromWindows(ProcessResult result)
{
    result.out = WithLineFeeds(std::move(result.out));
    result.err = WithLineFeeds(std::move(result.err));
    return result;
}

// What Wine is given: the Windows program, then its arguments.
std::vector<std::string> WineCommand(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

// Wine's own registry tool, in the same prefix; a failure would leave the test on stale settings.
void RunRegistryTool(const std::vector<std::string>& arguments, bool mustSucceed)
{
    const ProcessResult result = RunProgram(OLK_WINE, WineCommand("reg", arguments));
    if (mustSucceed && result.exitStatus != 0)
        throw std::runtime_error("wine reg failed: " + result.err);
}

} // namespace

bool CliUnderWine()
{
    return WindowsProgram() != nullptr;
}

ProcessResult RunCli(const std::vector<std::string>& arguments, const std::function<void(int pid)>& whileRunning)
{
    if (!CliUnderWine())
        return RunProgram(OLKMIXER_CLI, arguments, whileRunning);
    return FromWindows(RunProgram(OLK_WINE, WineCommand(WindowsProgram(), arguments), whileRunning));
}

ProcessResult RunCliAtTerminal(const std::vector<std::string>& arguments, const std::string& typed)
{
    if (!CliUnderWine())
        return RunProgramAtTerminal(OLKMIXER_CLI, arguments, typed);
    return FromWindows(RunProgramAtTerminal(OLK_WINE, WineCommand(WindowsProgram(), arguments), typed));
}

std::string TerminalText(const std::string& utf8)
{
    return CliUnderWine() ? Utf8ToAnsi(utf8) : utf8;
}

std::chrono::milliseconds TimeoutAllowance()
{
    return std::chrono::milliseconds(CliUnderWine() ? 10 : 1);
}

void StoreCliSetting(const std::string& key, const std::string& value)
{
    if (!CliUnderWine()) {
        SettingsStore::ForCurrentUser().Write("", key, value);
        return;
    }
    RunRegistryTool({"add", kSettingsKey, "/v", key, "/t", "REG_SZ", "/d", value, "/f"}, true);
}

void ForgetCliSettings()
{
    if (CliUnderWine())
        RunRegistryTool({"delete", kSettingsKey, "/f"}, false); // absent already is fine
}

} // namespace olk::test
