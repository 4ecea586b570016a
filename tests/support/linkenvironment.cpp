#include "tests/support/linkenvironment.h"

#include "platform/portmap.h"

#include <algorithm>
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
        if (!portMap_.empty())
            portMap_ += ';';
        portMap_ += name + "=" + (found == ports.end() ? "" : found->second);
    }
    setenv(kPortMapVariable, portMap_.c_str(), 1);
}

} // namespace olk::test
