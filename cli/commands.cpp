#include "cli/commands.h"

#include "app/windowmessages.h"
#include "cli/operationrunner.h"
#include "cli/terminalviews.h"
#include "link/getinfo.h"
#include "link/portaseriale.h"
#include "link/resultcodes.h"
#include "platform/ansitext.h"
#include "platform/portmap.h"
#include "platform/settingsstore.h"

#include <unistd.h>

namespace olk::cli {
namespace {

constexpr std::size_t kStoredPortLimit = 6; // "COMn" and its terminator, with room for one more

// The port to use: the one given, else the one the program stored, else the first that opens.
std::optional<std::string> ChoosePort(const Invocation& invocation)
{
    if (invocation.port)
        return invocation.port;
    if (const auto stored = SettingsStore::ForCurrentUser().Read("", "COM", kStoredPortLimit); stored && !stored->empty())
        return stored;
    for (const auto& name : ComPortNames())
        if (PortExists(name))
            return name;
    return std::nullopt;
}

int RunPorts(std::FILE* data)
{
    const PortMap map = PortMap::ForCurrentProcess();
    for (const auto& name : ComPortNames()) {
        const auto device = map.Resolve(name);
        const char* state = !device ? "no device" : PortExists(name) ? "opens" : "does not open";
        std::fprintf(data, "%-5s %-24s %s\n", name.c_str(), device ? device->c_str() : "-", state);
    }
    return kExitDone;
}

int RunInfo(const Invocation& invocation, std::FILE* data, std::FILE* messages)
{
    const auto port = ChoosePort(invocation);
    if (!port) {
        std::fprintf(messages, "%s\n", WindowMessageText(kNoSerialDevice));
        return result::kCannotInitialize;
    }
    TerminalViews views(messages, isatty(STDIN_FILENO), isatty(fileno(messages)));
    OperationRunner runner(views);
    const int status = runner.Run(MakeOperation<GetInfo>(*port, invocation.baud, views.Targets(), views.AsViews()));
    if (status == kExitDone) {
        std::fprintf(data, "Model: %s\n", AnsiToUtf8(views.MixerName()).c_str());
        std::fprintf(data, "Release: %s\n", AnsiToUtf8(views.Release()).c_str());
    }
    return status;
}

} // namespace

int RunCommand(const Invocation& invocation, std::FILE* data, std::FILE* messages)
{
    if (invocation.command == "ports")
        return RunPorts(data);
    return RunInfo(invocation, data, messages);
}

} // namespace olk::cli
