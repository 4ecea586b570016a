#include "platform/fileassociations.h"

#include <windows.h>

namespace olk {
namespace {

// Sets the default value of a key below HKEY_CLASSES_ROOT, making the key when it is missing. A
// key the user may not write is passed over.
void SetClassValue(const std::string& key, const std::string& value)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
}

std::string ThisProgramPath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

} // namespace

FileAssociations::FileAssociations(std::string dataHome, std::string configHome, std::string programPath,
                                   std::vector<std::string> icons)
    : dataHome_(std::move(dataHome)), configHome_(std::move(configHome)), programPath_(std::move(programPath)),
      icons_(std::move(icons))
{
}

// The shell reads the registry itself; the icons are the program file's own resources.
FileAssociations FileAssociations::ForCurrentUser(std::vector<std::string> icons)
{
    return FileAssociations({}, {}, ThisProgramPath(), std::move(icons));
}

void FileAssociations::RegisterFileType(const FileType& type)
{
    const std::string typeKey = TypeKey(type.extension);
    SetClassValue(type.extension, typeKey);
    SetClassValue(typeKey, type.description);
    SetClassValue(typeKey + "\\DefaultIcon", programPath_ + "," + std::to_string(type.iconIndex));
    SetClassValue(typeKey + "\\Shell", "&Open");
    SetClassValue(typeKey + "\\Shell\\Open\\command", programPath_ + " \"%1\"");
}

void FileAssociations::Publish() {}

} // namespace olk
