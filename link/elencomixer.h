#pragma once
// The table of known desk models: a lead byte, a desk model code and a desk sub-code name a model,
// or "0" when the desk is not known.
#include <array>
#include <cstdint>
#include <string>

namespace olk {

class ElencoMixer {
public:
    struct Row {
        const char* name; // exactly 14 characters, blanks included
        uint8_t modelCode;
        uint8_t subCode;
    };

    // The lead byte 0xE7 comes from a handshake answer, 0xE6 from a data file's header.
    static constexpr uint8_t kHandshakeKey = 0xE7;
    static constexpr uint8_t kFileKey = 0xE6;
    static constexpr const char* kUnknown = "0";

    // key: lead byte, desk model code, desk sub-code.
    std::string ModelName(const uint8_t key[3]) const;

    static constexpr std::array<Row, 5> kRows{{
        {"    Korvan 1  ", 0x0C, 0x00},
        {" Korvan 1/XT  ", 0x0C, 0xA6},
        {"    Korvan 2  ", 0x18, 0x00},
        {" Korvan 2/XT  ", 0x18, 0xA6},
        {"   Duvessa    ", 0x14, 0xA6},
    }};
};

} // namespace olk
