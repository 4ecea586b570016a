#include "tests/support/linkenvironment.h"

#include "platform/portmap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace olk::test {

LinkEnvironment::LinkEnvironment(const std::map<std::string, std::string>& ports)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "olktest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    directory_ = pattern;
    setenv("XDG_CONFIG_HOME", (directory_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (directory_ + "/data").c_str(), 1);
    MapPorts(ports);
}

LinkEnvironment::~LinkEnvironment()
{
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
    MapPorts({}); // never fall back to this machine's own devices

}

std::vector<std::string> LinkEnvironment::FileNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory_))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void LinkEnvironment::MapPorts(const std::map<std::string, std::string>& ports)
{
    portMap_.clear();
    for (const auto& name : ComPortNames()) {
        const auto found = ports.find(name);
        const std::string device = found == ports.end() ? "" : found->second;
        if (!portMap_.empty())
            portMap_ += ';';
        portMap_ += name + "=" + device;
        LinkWinePort(name, device);
    }
    setenv(kPortMapVariable, portMap_.c_str(), 1);
}

// Under Wine the Windows program finds COMn at ports/comn of the Wine home, where the prefix's
// registry sends it. A name mapped to nothing leads to an empty directory there, which no
// program opens as a device.
void LinkEnvironment::LinkWinePort(const std::string& name, const std::string& device)
{
    const char* home = std::getenv(kWineHomeVariable);
    if (!home || !*home)
        return;
    const std::filesystem::path links = std::filesystem::path(home) / "ports";
    std::string lowered = name;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::filesystem::path link = links / lowered;
    const std::filesystem::path nothing = links / "none";
    std::filesystem::create_directories(nothing);
    const std::filesystem::path fresh = link.string() + ".new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(device.empty() ? nothing : std::filesystem::path(device), fresh);
    std::filesystem::rename(fresh, link);
}

} // namespace olk::test
