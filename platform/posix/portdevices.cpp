#include "platform/portmap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace olk {
namespace {

// COM1 to COM4 are the on-board ports; COM5 onwards take the adapters.
constexpr int kOnBoardPortCount = 4;

unsigned AdapterNumber(const std::string& path)
{
    std::size_t digits = path.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(path[digits - 1])))
        --digits;
    return digits == path.size() ? 0u : static_cast<unsigned>(std::strtoul(path.c_str() + digits, nullptr, 10));
}

std::vector<std::string> DevicesNamed(const std::string& prefix)
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() > prefix.size())
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end(),
              [](const std::string& a, const std::string& b) { return AdapterNumber(a) < AdapterNumber(b); });
    return found;
}

} // namespace

std::vector<std::string> PresentUsbAdapters()
{
    auto adapters = DevicesNamed("ttyUSB");
    const auto acm = DevicesNamed("ttyACM");
    adapters.insert(adapters.end(), acm.begin(), acm.end());
    return adapters;
}

std::optional<std::string> DefaultPortDevice(int number, const std::vector<std::string>& adapters)
{
    if (number <= kOnBoardPortCount)
        return "/dev/ttyS" + std::to_string(number - 1);
    const std::size_t adapter = static_cast<std::size_t>(number - kOnBoardPortCount - 1);
    if (adapter < adapters.size())
        return adapters[adapter];
    return std::nullopt;
}

} // namespace olk
