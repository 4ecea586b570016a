#include "platform/portmap.h"

namespace olk {

// Windows names its serial devices itself, adapters included.
std::vector<std::string> PresentUsbAdapters()
{
    return {};
}

std::optional<std::string> DefaultPortDevice(int number, const std::vector<std::string>&)
{
    return "COM" + std::to_string(number);
}

} // namespace olk
