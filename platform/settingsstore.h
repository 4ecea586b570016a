#pragma once
// The program's persistent settings: the values "Backup", "Directory" and "COM" at the top, and
// groups such as "Ports" for the port map. On Linux a per-user file in the INI layout that
// QSettings also reads; on Windows the registry key HKEY_LOCAL_MACHINE\SOFTWARE\OLK\OLKMixer by
// Rilo & Benvo, a group being a key below it. A location that cannot be written leaves the
// program on its defaults.
#include <optional>
#include <string>

namespace olk {

// The values at the top of the store, and how many bytes the reader of each takes, its
// terminating NUL included: a longer stored value reads as absent.
inline constexpr const char* kBackupSetting = "Backup";
inline constexpr std::size_t kBackupSettingLimit = 2;
inline constexpr const char* kDirectorySetting = "Directory";
inline constexpr std::size_t kDirectorySettingLimit = 256;
inline constexpr const char* kComSetting = "COM";
inline constexpr std::size_t kComSettingLimit = 6;

class SettingsStore {
public:
    // The store of this user: $XDG_CONFIG_HOME (or ~/.config) /OLK/OLKMixer by Rilo & Benvo.conf,
    // or on Windows the registry key.
    static SettingsStore ForCurrentUser();
    // path: the file, or on Windows the key below HKEY_LOCAL_MACHINE.
    explicit SettingsStore(std::string path);

    const std::string& Path() const { return path_; }

    // Makes an empty store where there is none yet; one that exists is left as it is.
    bool Create();

    // A value of the top level when group is empty. A stored value that needs more than
    // maxBytes, its terminating NUL included, does not fit the reader and counts as absent.
    std::optional<std::string> Read(const std::string& group, const std::string& key,
                                    std::size_t maxBytes) const;
    bool Write(const std::string& group, const std::string& key, const std::string& value);
    bool Remove(const std::string& group, const std::string& key);

private:
    std::string path_;
};

} // namespace olk
