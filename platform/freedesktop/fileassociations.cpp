#include "platform/fileassociations.h"

#include "platform/inilines.h"
#include "platform/wholefile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace olk {
namespace {

const char* const kDesktopEntryName = "olkmixer.desktop";
const char* const kProgramIconName = "olkmixer";
const char* const kDefaultsSection = "Default Applications";
const char* const kAddedSection = "Added Associations";

std::string UserDirectory(const char* variable, const char* underHome)
{
    if (const char* value = std::getenv(variable); value && *value)
        return value;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/" + underHome;
    return underHome;
}

std::string ThisProgramPath()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string("olkmixer");
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string XmlEscaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// The icon a MIME type goes by: its name with the slash made a dash.
std::string MimeIconName(const std::string& mimeType)
{
    std::string name = mimeType;
    name[name.find('/')] = '-';
    return name;
}

// The program path as the one argument of an Exec line: quoted, with the characters a quoted
// argument reserves escaped, "%" doubled so it is no field code, and the backslashes and line
// breaks of the result escaped again as a desktop entry value requires.
std::string ExecProgram(const std::string& path)
{
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    quoted += '"';
    std::string value;
    for (const char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else
            value += c;
    }
    return value;
}

// Runs a database tool on a directory and waits for it; a tool that is not installed is skipped.
void RunTool(const char* tool, const std::string& directory)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = tool;
    std::string argument = directory;
    char* arguments[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, tool, &actions, nullptr, arguments, environ) == 0)
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace

FileAssociations::FileAssociations(std::string dataHome, std::string configHome, std::string programPath,
                                   std::vector<std::string> icons)
    : dataHome_(std::move(dataHome)),
      configHome_(std::move(configHome)),
      programPath_(std::move(programPath)),
      icons_(std::move(icons))
{
}

FileAssociations FileAssociations::ForCurrentUser(std::vector<std::string> icons)
{
    return FileAssociations(UserDirectory("XDG_DATA_HOME", ".local/share"), UserDirectory("XDG_CONFIG_HOME", ".config"),
                            ThisProgramPath(), std::move(icons));
}

std::string FileAssociations::MimeType(const char* extension)
{
    std::string key = Lowered(TypeKey(extension));
    key[key.find('.')] = '-';
    return "application/x-" + key;
}

void FileAssociations::RegisterFileType(const FileType& type)
{
    const std::string mimeType = MimeType(type.extension);
    const std::string iconName = MimeIconName(mimeType);
    // A weight above the usual 50 lets these patterns win over other definitions of them.
    WriteWholeFile(dataHome_ + "/mime/packages/" + TypeKey(type.extension) + ".xml",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                   "  <mime-type type=\"" + mimeType + "\">\n"
                   "    <comment>" + XmlEscaped(type.description) + "</comment>\n"
                   "    <icon name=\"" + iconName + "\"/>\n"
                   "    <glob pattern=\"*" + Lowered(type.extension) + "\" weight=\"80\" case-sensitive=\"false\"/>\n"
                   "  </mime-type>\n"
                   "</mime-info>\n");
    WriteIcon(type.iconIndex, dataHome_ + "/icons/hicolor/32x32/mimetypes/" + iconName + ".png");
    MakeDefaultHandler(mimeType);
    registered_.push_back(mimeType);
}

void FileAssociations::Publish()
{
    // The theme has no 80 x 80 directory; the nearest larger one holds the program's icon.
    WriteIcon(0, dataHome_ + "/icons/hicolor/96x96/apps/" + kProgramIconName + ".png");
    std::string mimeTypes;
    for (const auto& mimeType : registered_)
        mimeTypes += mimeType + ";";
    WriteWholeFile(dataHome_ + "/applications/" + kDesktopEntryName,
                   "[Desktop Entry]\n"
                   "Type=Application\n"
                   "Name=OLKmixer\n"
                   "Comment=Service utility for OLK lighting desks\n"
                   "Exec=" + ExecProgram(programPath_) + " %f\n"
                   "Icon=" + kProgramIconName + "\n"
                   "Terminal=false\n"
                   "Categories=Utility;\n"
                   "MimeType=" + mimeTypes + "\n");
    RefreshDatabases();
}

void FileAssociations::WriteIcon(int index, const std::string& path) const
{
    if (index >= 0 && static_cast<std::size_t>(index) < icons_.size())
        WriteWholeFile(path, icons_[static_cast<std::size_t>(index)]);
}

// The user's own default-handler list, with every other line of it kept.
void FileAssociations::MakeDefaultHandler(const std::string& mimeType) const
{
    const std::string path = configHome_ + "/mimeapps.list";
    ini::Lines lines = ini::ReadLines(path);
    ini::SetRawValue(lines, kDefaultsSection, mimeType, kDesktopEntryName);
    ini::SetRawValue(lines, kAddedSection, mimeType, std::string(kDesktopEntryName) + ";");
    ini::WriteLines(path, lines);
}

void FileAssociations::RefreshDatabases() const
{
    RunTool("update-mime-database", dataHome_ + "/mime");
    RunTool("update-desktop-database", dataHome_ + "/applications");
}

} // namespace olk
