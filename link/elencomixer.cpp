#include "link/elencomixer.h"

namespace olk {

std::string ElencoMixer::ModelName(const uint8_t key[3]) const
{
    if (key[0] != kFileKey && key[0] != kHandshakeKey)
        return kUnknown;
    for (const Row& row : kRows)
        if (row.modelCode == key[1] && row.subCode == key[2])
            return row.name;
    return kUnknown;
}

} // namespace olk
