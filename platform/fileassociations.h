#pragma once
// Makes the program the desktop's handler of its file types, per user: opening such a file from
// the file manager starts the program with the file's path as its first argument. On a
// freedesktop desktop this is a MIME type per file type, a desktop entry, the default-handler
// list and the icons, all under the user's own data and configuration directories. On Windows it
// is the file-type keys under HKEY_CLASSES_ROOT, with the icons the program file holds.
#include <string>
#include <vector>

namespace olk {

struct FileType {
    const char* extension;   // ".hex": files named *.hex in any letter case
    const char* description; // what the desktop calls such a file
    int iconIndex;           // into the icons the associations are given
};

class FileAssociations {
public:
    // icons: PNG images, 0 the program's own, the others for the file types.
    FileAssociations(std::string dataHome, std::string configHome, std::string programPath,
                     std::vector<std::string> icons);

    // The user's locations ($XDG_DATA_HOME, $XDG_CONFIG_HOME, else under $HOME) and this
    // process's program file.
    static FileAssociations ForCurrentUser(std::vector<std::string> icons);

    // "Olk" followed by the extension, dot included: the name the type goes by.
    static std::string TypeKey(const char* extension) { return std::string("Olk") + extension; }
    static std::string MimeType(const char* extension);

    // Defines the type with its description and icon and makes the program its default handler,
    // over whatever held it before.
    void RegisterFileType(const FileType& type);

    // Writes the program's desktop entry, naming every type registered so far, with the program's
    // icon, then refreshes the desktop's databases where their tools are installed.
    void Publish();

private:
    void WriteIcon(int index, const std::string& path) const;
    void MakeDefaultHandler(const std::string& mimeType) const;
    void RefreshDatabases() const;

    std::string dataHome_;
    std::string configHome_;
    std::string programPath_;
    std::vector<std::string> icons_;
    std::vector<std::string> registered_;
};

} // namespace olk
