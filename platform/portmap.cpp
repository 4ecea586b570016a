#include "platform/portmap.h"

#include "platform/settingsstore.h"

#include <cctype>
#include <cstdlib>

namespace olk {
namespace {

constexpr int kComPortCount = 8;
constexpr std::size_t kDevicePathLimit = 4096;

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The number n of a name "COMn" with n from 1 to 8, or 0.
int ComNumber(const std::string& name)
{
    const std::string upper = UpperCase(name);
    if (upper.size() != 4 || upper.rfind("COM", 0) != 0 || upper[3] < '1' || upper[3] > '8')
        return 0;
    return upper[3] - '0';
}

std::optional<std::string> AsDevice(std::string path)
{
    if (path.empty())
        return std::nullopt;
    return path;
}

} // namespace

std::vector<std::string> ComPortNames()
{
    std::vector<std::string> names;
    for (int i = 1; i <= kComPortCount; ++i)
        names.push_back("COM" + std::to_string(i));
    return names;
}

PortMap::PortMap(const char* environment, const SettingsStore* settings, std::vector<std::string> adapters)
    : environment_(environment ? environment : ""), settings_(settings), adapters_(std::move(adapters))
{
}

PortMap PortMap::ForCurrentProcess()
{
    static const SettingsStore settings = SettingsStore::ForCurrentUser();
    return PortMap(std::getenv(kPortMapVariable), &settings, PresentUsbAdapters());
}

std::optional<std::string> PortMap::Resolve(const std::string& name) const
{
    if (name.find('/') != std::string::npos)
        return name;
    if (ComNumber(name) == 0)
        return std::nullopt;
    if (const auto entry = FromEnvironment(name))
        return AsDevice(*entry);
    if (const auto entry = FromSettings(name))
        return AsDevice(*entry);
    return Default(name);
}

// Returns the entry's path, possibly empty, when the variable names the port at all.
std::optional<std::string> PortMap::FromEnvironment(const std::string& name) const
{
    const int number = ComNumber(name);
    std::size_t start = 0;
    while (start <= environment_.size()) {
        std::size_t end = environment_.find(';', start);
        if (end == std::string::npos)
            end = environment_.size();
        const std::string entry = environment_.substr(start, end - start);
        const auto equals = entry.find('=');
        if (equals != std::string::npos && ComNumber(entry.substr(0, equals)) == number)
            return entry.substr(equals + 1);
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> PortMap::FromSettings(const std::string& name) const
{
    if (!settings_)
        return std::nullopt;
    return settings_->Read(kPortMapGroup, "COM" + std::to_string(ComNumber(name)), kDevicePathLimit);
}

std::optional<std::string> PortMap::Default(const std::string& name) const
{
    return DefaultPortDevice(ComNumber(name), adapters_);
}

} // namespace olk
