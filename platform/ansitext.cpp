#include "platform/ansitext.h"

#include <cstdint>

namespace olk {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five positions it leaves undefined
// map to the control characters of the same number, so that they too come back unchanged.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i], advancing i; a malformed byte stands for itself.
char32_t NextCodePoint(const std::string& text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + static_cast<std::size_t>(extra) > text.size())
        return lead;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80)
            return lead;
        c = (c << 6) | (next & 0x3F);
    }
    i += static_cast<std::size_t>(extra);
    return c;
}

bool ToAnsi(char32_t c, unsigned char* byte)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *byte = static_cast<unsigned char>(c);
        return true;
    }
    for (unsigned k = 0; k < 32; ++k) {
        if (kHighControls[k] == c) {
            *byte = static_cast<unsigned char>(0x80 + k);
            return true;
        }
    }
    return false;
}

} // namespace

std::string AnsiToUtf8(const std::string& ansi)
{
    std::string utf8;
    for (const char byte : ansi)
        AppendUtf8(utf8, CodePoint(static_cast<unsigned char>(byte)));
    return utf8;
}

std::string Utf8ToAnsi(const std::string& utf8, bool* lossless)
{
    std::string ansi;
    bool exact = true;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char byte;
        if (!ToAnsi(NextCodePoint(utf8, i), &byte)) {
            byte = '?';
            exact = false;
        }
        ansi += static_cast<char>(byte);
    }
    if (lossless)
        *lossless = exact;
    return ansi;
}

} // namespace olk
