#include "platform/keystate.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace olk {

bool IsF12Held()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const KeyCode code = XKeysymToKeycode(display, XK_F12);
    XCloseDisplay(display);
    return code != 0 && (keys[code / 8] & (1 << (code % 8))) != 0;
}

} // namespace olk
