#pragma once
// COM names stay what the user picks; each resolves to a device path. An entry of the
// environment variable OLKMIXER_PORTS ("COM1=/dev/ttyUSB0;COM3=/dev/pts/4") comes first, then an
// entry of the settings group "Ports", then a default that finds on-board and USB adapters
// without any editing. An entry with an empty path maps the name to no device at all.
#include <optional>
#include <string>
#include <vector>

namespace olk {

class SettingsStore;

inline constexpr const char* kPortMapVariable = "OLKMIXER_PORTS";
inline constexpr const char* kPortMapGroup = "Ports";

// The names the program offers, COM1 to COM8.
std::vector<std::string> ComPortNames();

class PortMap {
public:
    // environment: the value of OLKMIXER_PORTS, or null; settings: the store, or null.
    // adapters: the USB and ACM adapter devices present, in the order COM5 onwards takes them.
    PortMap(const char* environment, const SettingsStore* settings, std::vector<std::string> adapters);

    // The map of this process: its environment, the user's settings and /dev.
    static PortMap ForCurrentProcess();

    // The device path for a COM name (any letter case), or for a path given as such; nullopt when
    // the name maps to no device.
    std::optional<std::string> Resolve(const std::string& name) const;

private:
    std::optional<std::string> FromEnvironment(const std::string& name) const;
    std::optional<std::string> FromSettings(const std::string& name) const;
    std::optional<std::string> Default(const std::string& name) const;

    std::string environment_;
    const SettingsStore* settings_;
    std::vector<std::string> adapters_;
};

// The USB and ACM serial adapters present under /dev, USB ones first, each kind in number order;
// none on Windows.
std::vector<std::string> PresentUsbAdapters();

// Where COMn (n from 1 to 8) leads when no entry maps it: on Linux the on-board ports /dev/ttyS0
// to /dev/ttyS3, then the adapters; on Windows the system's own device of that name.
std::optional<std::string> DefaultPortDevice(int number, const std::vector<std::string>& adapters);

} // namespace olk
