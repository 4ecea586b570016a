#include "cli/commands.h"

#include "app/windowmessages.h"
#include "cli/descriptiontext.h"
#include "cli/interrupts.h"
#include "cli/linetracefile.h"
#include "cli/operationrunner.h"
#include "cli/terminal.h"
#include "cli/terminalfixtures.h"
#include "cli/terminaltext.h"
#include "cli/terminalviews.h"
#include "descriptions/describedfile.h"
#include "firmware/aggiornafirmware.h"
#include "fixtures/addfixture.h"
#include "fixtures/getfixture.h"
#include "fixtures/removefixture.h"
#include "fixtures/richiedielencofxt.h"
#include "fixtures/savefixture.h"
#include "link/commands.h"
#include "link/getinfo.h"
#include "link/portaseriale.h"
#include "link/resultcodes.h"
#include "platform/filehandle.h"
#include "platform/portmap.h"
#include "platform/settingsstore.h"
#include "userdata/backupuserdata.h"
#include "userdata/restoreuserdata.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace olk::cli {
namespace {

// Everything one command works with.
struct Session {
    const Invocation& invocation;
    std::FILE* data;
    std::FILE* messages;
    TerminalViews& views;
    OperationRunner& runner;
};

const std::string& Operand(const Session& session)
{
    return session.invocation.operands.front();
}

std::string QuestionText(int code)
{
    return FindResultMessage(code)->text;
}

int ShowMessage(Session& session, const DialogMessage& message, const std::string& text)
{
    return session.views.Dialogs().Show(text, message.kind, message.buttons);
}

int ShowWindowMessage(Session& session, int code)
{
    const DialogMessage& message = *FindWindowMessage(code);
    return ShowMessage(session, message, message.text);
}

// Reports a result code of a step that runs no operation thread, and returns its exit status.
int ReportResultCode(Session& session, int code, const std::string& fileName)
{
    ShowMessage(session, *FindResultMessage(code), ResultText(code, fileName));
    return code;
}

int UsageError(Session& session, const std::string& error)
{
    std::fprintf(session.messages, "olkmixer-cli: %s\n%s", error.c_str(),
                 HelpText(session.invocation.command).c_str());
    return kExitUsage;
}

void PrintData(Session& session, const std::string& ansi)
{
    std::fprintf(session.data, "%s\n", ForTerminal(ansi).c_str());
}

// The port to use: the one given, else the one the program stored, else the first that opens.
std::optional<std::string> ChoosePort(const Invocation& invocation)
{
    if (invocation.port)
        return invocation.port;
    if (const auto stored = SettingsStore::ForCurrentUser().Read("", kComSetting, kComSettingLimit); stored && !stored->empty())
        return stored;
    for (const auto& name : ComPortNames())
        if (PortExists(name))
            return name;
    return std::nullopt;
}

// A fixture name typed at the terminal as the desk's bytes; nullopt when the desk cannot hold it.
std::optional<std::string> FixtureName(const std::string& typed)
{
    const std::string name = FromTerminal(typed);
    if (name.empty() || name.size() > command::kFixtureNameSize)
        return std::nullopt;
    return name;
}

// NAME.FXT in the default directory, or the current one: a plain file name, whatever the name
// holds, so that it never leads out of that directory.
std::string DefaultFixturePath(const std::string& typedName)
{
    std::string fileName = typedName + ".FXT";
    std::replace_if(fileName.begin(), fileName.end(), file::IsReservedInFileName, '_');
    const auto directory = SettingsStore::ForCurrentUser().Read("", kDirectorySetting, kDirectorySettingLimit);
    if (!directory || directory->empty())
        return fileName;
    return (std::filesystem::path(*directory) / fileName).string();
}

int RunPorts(Session& session, const std::string&)
{
    const PortMap map = PortMap::ForCurrentProcess();
    for (const auto& name : ComPortNames()) {
        const auto device = map.Resolve(name);
        const char* state = !device ? "no device" : PortExists(name) ? "opens" : "does not open";
        std::fprintf(session.data, "%-5s %-24s %s\n", name.c_str(), device ? device->c_str() : "-", state);
    }
    return kExitDone;
}

int RunInfo(Session& session, const std::string& port)
{
    TerminalViews& views = session.views;
    const int status =
        session.runner.Run(MakeOperation<GetInfo>(port, session.invocation.baud, views.Targets(), views.AsViews()));
    if (status == kExitDone) {
        std::fprintf(session.data, "Model: %s\n", ForTerminal(views.MixerName()).c_str());
        std::fprintf(session.data, "Release: %s\n", ForTerminal(views.Release()).c_str());
    }
    return status;
}

// A backup as Start runs it. The description question is answered Yes exactly when there is a
// text to store; the overwrite question by --force.
int RunBackup(Session& session, const std::string& port, const std::string& path,
              std::optional<std::string> editedDescription)
{
    TerminalViews& views = session.views;
    if (session.invocation.Has("--force"))
        views.AnswerYesWithoutTerminal(QuestionText(result::kAskOverwrite));
    views.AnswerAlways(QuestionText(result::kAskEditDescription), editedDescription.has_value());
    views.SetDescriptionToStore(std::move(editedDescription));
    return session.runner.RunPrepared(
        MakeOperation<BackupUserData>(port, session.invocation.baud, views.Targets(), views.AsViews()), path);
}

int RunBackupCommand(Session& session, const std::string& port)
{
    const auto typed = session.invocation.Value("--description");
    return RunBackup(session, port, Operand(session), typed ? EditedDescription(*typed) : std::nullopt);
}

// With a backup first, the restore follows only a backup that is done, as the chain of Start
// does; the desk's description is kept in that backup.
int RunRestore(Session& session, const std::string& port)
{
    TerminalViews& views = session.views;
    if (const auto backupFile = session.invocation.Value("--backup-first")) {
        if (const int status = RunBackup(session, port, *backupFile, std::nullopt); status != kExitDone)
            return status;
    }
    return session.runner.RunPrepared(
        MakeOperation<RestoreUserData>(port, session.invocation.baud, views.Targets(), views.AsViews()),
        Operand(session));
}

int RunFirmware(Session& session, const std::string& port)
{
    TerminalViews& views = session.views;
    return session.runner.RunPrepared(MakeOperation<AggiornaFirmware>(port, views.Targets(), views.AsViews()),
                                      Operand(session));
}

// The list request as Refresh makes it, into the terminal's fixtures manager.
int RequestFixtureList(Session& session, const std::string& port, TerminalFixtures& fixtures)
{
    TerminalViews& views = session.views;
    fixtures.ClearList();
    return session.runner.Run(MakeOperation<RichiediElencoFXT>(port, session.invocation.baud, views.Targets(),
                                                               views.AsViews(), fixtures));
}

int RunFixturesList(Session& session, const std::string& port)
{
    TerminalFixtures fixtures;
    const int status = RequestFixtureList(session, port, fixtures);
    if (status != kExitDone)
        return status;
    for (const auto& name : fixtures.SortedNames())
        PrintData(session, name);
    std::fprintf(session.data, "N. FXT: %s\n", fixtures.NumberFixtures().c_str());
    std::fprintf(session.data, "Free mem.: %s (%u bytes)\n", fixtures.FreeMemoryCaption().c_str(),
                 static_cast<uint32_t>(fixtures.DeskFreeMemory()));
    return kExitDone;
}

// Saves a downloaded fixture as Save does, with the main window's messages; the overwrite
// question is answered by --force.
int SaveDownloadedFixture(Session& session, const std::string& path, const std::vector<uint8_t>& fixture)
{
    if (session.invocation.Has("--force"))
        session.views.AnswerYesWithoutTerminal(WindowMessageText(kAskOverwriteFixture));
    const auto overwriteAllowed = [&session] { return ShowWindowMessage(session, kAskOverwriteFixture) != kAnswerNo; };
    const int message = SaveFixtureFile(path, fixture, overwriteAllowed);
    if (message == 0)
        return kExitDeclined;
    ShowWindowMessage(session, message);
    return message == kFixtureSaved ? kExitDone : message;
}

int RunFixturesGet(Session& session, const std::string& port)
{
    const std::string name = *FixtureName(Operand(session));
    const std::string path = session.invocation.Value("--output").value_or(DefaultFixturePath(Operand(session)));
    TerminalViews& views = session.views;
    TerminalFixtures fixtures;
    const int status = session.runner.RunWithName(
        MakeOperation<GetFixture>(port, session.invocation.baud, views.Targets(), views.AsViews(), fixtures), name);
    if (status != kExitDone)
        return status;
    PrintData(session, fixtures.FixtureText());
    return SaveDownloadedFixture(session, path, fixtures.Downloaded());
}

// The list comes first, so that the replacement question and the free-memory checks see what
// the fixtures manager would show; a list that fails ends the command.
int RunFixturesAdd(Session& session, const std::string& port)
{
    TerminalFixtures fixtures;
    if (const int status = RequestFixtureList(session, port, fixtures); status != kExitDone)
        return status;
    TerminalViews& views = session.views;
    if (session.invocation.Has("--replace"))
        views.AnswerYesWithoutTerminal(QuestionText(result::kAskReplaceFixture));
    return session.runner.RunPrepared(
        MakeOperation<AddFixture>(port, session.invocation.baud, views.Targets(), views.AsViews(), fixtures),
        Operand(session));
}

int RunFixturesRemove(Session& session, const std::string& port)
{
    const std::string name = *FixtureName(Operand(session));
    TerminalViews& views = session.views;
    if (session.invocation.Has("--yes"))
        views.AnswerYesWithoutTerminal(kRemoveFixtureQuestion);
    if (views.Dialogs().Show(kRemoveFixtureQuestion, DialogKind::Confirmation, DialogButtons::YesNo) == kAnswerNo)
        return kExitDeclined;
    return session.runner.RunWithName(
        MakeOperation<RemoveFixture>(port, session.invocation.baud, views.Targets(), views.AsViews()), name);
}

// A file the description manager shows nothing of: one that cannot be opened, or one that is
// not a data file.
int ReportUnshownFile(Session& session, const std::string& path)
{
    const int handle = file::Open(path, file::OpenMode::ReadOnly);
    file::Close(handle);
    return ReportResultCode(session, handle == file::kNoHandle ? result::kCannotOpenFile : result::kFileUnusable,
                            path);
}

int ShowDescription(Session& session, const std::string& path)
{
    const auto shown = describedfile::ReadShown(path);
    if (!shown)
        return ReportUnshownFile(session, path);
    std::fprintf(session.data, "File created by: %s\n", ForTerminal(shown->modelLine).c_str());
    if (!shown->text.empty())
        PrintData(session, WithTerminalBreaks(shown->text));
    return kExitDone;
}

int RewriteDescription(Session& session, const std::string& path, const std::string& typed)
{
    if (describedfile::KindOf(path) == describedfile::Kind::Fixture)
        return UsageError(session, "the text of a fixture file is not a description to rewrite");
    const std::string edited = *EditedDescription(typed);
    describedfile::DescriptionUpdate update(path);
    if (!update.Opened() && update.WriteProtected()) {
        session.views.Dialogs().Show(describedfile::kWriteProtectedText, DialogKind::Error, DialogButtons::Ok);
        return result::kWriteProtected;
    }
    if (!update.Opened())
        return ReportResultCode(session, result::kCannotOpenFile, path);
    if (!update.WellFormed())
        return ReportResultCode(session, result::kFileUnusable, path);
    if (!update.Store(edited))
        return ReportResultCode(session, result::kWriteError, path);
    return kExitDone;
}

int RunDescribe(Session& session, const std::string&)
{
    const Invocation& invocation = session.invocation;
    if (invocation.Has("--clear"))
        return RewriteDescription(session, Operand(session), "");
    if (const auto text = invocation.Value("--set"))
        return RewriteDescription(session, Operand(session), *text);
    return ShowDescription(session, Operand(session));
}

using CommandRun = int (*)(Session&, const std::string& port);
// A usage error the operands or options hold, found before the desk is reached; empty if none.
using CommandCheck = std::string (*)(const Invocation&);

std::string NoCheck(const Invocation&)
{
    return {};
}

std::string CheckFixtureName(const Invocation& invocation)
{
    return FixtureName(invocation.operands.front()) ? "" : "a fixture name has 1 to 12 characters";
}

std::string CheckDescription(const Invocation& invocation)
{
    for (const char* option : {"--description", "--set"})
        if (const auto typed = invocation.Value(option); typed && !EditedDescription(*typed))
            return std::string(option) + " holds more than 127 characters";
    return {};
}

struct CommandEntry {
    const char* name;
    CommandRun run;
    CommandCheck check;
    bool needsDesk;
};

constexpr CommandEntry kCommandTable[] = {
    {"ports", RunPorts, NoCheck, false},
    {"describe", RunDescribe, CheckDescription, false},
    {"info", RunInfo, NoCheck, true},
    {"backup", RunBackupCommand, CheckDescription, true},
    {"restore", RunRestore, NoCheck, true},
    {"firmware", RunFirmware, NoCheck, true},
    {"fixtures list", RunFixturesList, NoCheck, true},
    {"fixtures get", RunFixturesGet, CheckFixtureName, true},
    {"fixtures add", RunFixturesAdd, NoCheck, true},
    {"fixtures remove", RunFixturesRemove, CheckFixtureName, true},
};

int RunWithDesk(Session& session, CommandRun run)
{
    const auto port = ChoosePort(session.invocation);
    if (!port) {
        ShowWindowMessage(session, kNoSerialDevice);
        return result::kCannotInitialize;
    }
    return run(session, *port);
}

// Parse admits only the commands of the table.
int Dispatch(Session& session)
{
    const auto entry = std::find_if(std::begin(kCommandTable), std::end(kCommandTable),
                                    [&](const CommandEntry& candidate) { return session.invocation.command == candidate.name; });
    if (const std::string error = entry->check(session.invocation); !error.empty())
        return UsageError(session, error);
    return entry->needsDesk ? RunWithDesk(session, entry->run) : entry->run(session, {});
}

} // namespace

int RunCommand(const Invocation& invocation, std::FILE* data, std::FILE* messages)
{
    TerminalViews views(messages, IsTerminal(stdin), IsTerminal(messages));
    TakeOverInterrupts(views);
    OperationRunner runner(views);
    Session session{invocation, data, messages, views, runner};
    if (!invocation.trace)
        return Dispatch(session);
    const bool toMessages = *invocation.trace == "-";
    std::FILE* stream = toMessages ? messages : std::fopen(invocation.trace->c_str(), "w");
    if (!stream)
        return ReportResultCode(session, result::kCannotOpenFile, *invocation.trace);
    int status;
    {
        const LineTraceFile trace(stream);
        status = Dispatch(session);
    }
    if (!toMessages)
        std::fclose(stream);
    return status;
}

} // namespace olk::cli
