#include "platform/settingsstore.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace olk {
namespace {

constexpr const char* kSettingsKey = "SOFTWARE\\OLK\\OLKMixer by Rilo & Benvo";

// The key of a group below the settings key, or the settings key itself; each level is made when
// missing and opened with full access. Null when the user may not open it so.
class OpenKey {
public:
    OpenKey(const std::string& path, const std::string& group)
    {
        const std::string name = group.empty() ? path : path + "\\" + group;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

} // namespace

SettingsStore SettingsStore::ForCurrentUser()
{
    return SettingsStore(kSettingsKey);
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

bool SettingsStore::Create()
{
    return OpenKey(path_, "").Get() != nullptr;
}

// The reader's buffer has room for maxBytes: a longer value does not fit and reads as absent.
std::optional<std::string> SettingsStore::Read(const std::string& group, const std::string& key,
                                               std::size_t maxBytes) const
{
    const OpenKey settings(path_, group);
    if (!settings.Get() || maxBytes == 0)
        return std::nullopt;
    std::vector<char> buffer(maxBytes);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExA(settings.Get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::string value(buffer.data(), std::min<std::size_t>(size, buffer.size()));
    // Stored with its terminating NUL as a rule; a value written without one still reads whole.
    if (const auto end = value.find('\0'); end != std::string::npos)
        value.resize(end);
    else if (value.size() + 1 > maxBytes)
        return std::nullopt;
    return value;
}

bool SettingsStore::Write(const std::string& group, const std::string& key, const std::string& value)
{
    const OpenKey settings(path_, group);
    return settings.Get() &&
           RegSetValueExA(settings.Get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool SettingsStore::Remove(const std::string& group, const std::string& key)
{
    const OpenKey settings(path_, group);
    if (!settings.Get())
        return false;
    const LONG status = RegDeleteValueA(settings.Get(), key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace olk
