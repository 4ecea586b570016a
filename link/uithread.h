#pragma once
// The user-interface thread as the operation threads see it. Windows, the terminal front end and
// the tests each give one.
#include <functional>

namespace olk {

class UiThread {
public:
    virtual ~UiThread() = default;
    // Queues fn to run on the user-interface thread after everything queued before it.
    // Callable from any thread; never blocks.
    virtual void Post(std::function<void()> fn) = 0;
};

} // namespace olk
