#include "platform/keystate.h"

#include <windows.h>

namespace olk {

bool IsF12Held()
{
    return (GetKeyState(VK_F12) & 0x8000) != 0;
}

} // namespace olk
