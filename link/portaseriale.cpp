#include "link/portaseriale.h"

namespace olk {

uint32_t PortaSeriale::TimeoutMultiplier(uint32_t constructionRate)
{
    return constructionRate <= 9600 ? 16000 / constructionRate + 1 : 1;
}

// A probe sends no byte: it tries the rate, then goes back, draining the transmit queue twice.
bool PortaSeriale::TestBaudRate(uint32_t rate)
{
    const uint32_t previous = StoredRate();
    if (!SetBaudRate(rate)) {
        StoreRate(previous);
        return false;
    }
    SetBaudRate(previous);
    return true;
}

} // namespace olk
