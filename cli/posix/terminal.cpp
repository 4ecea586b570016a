#include "cli/terminal.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace olk::cli {
namespace {

constexpr const char* kUtf8 = "UTF-8";

bool TerminalIsUtf8()
{
    const char* codeset = nl_langinfo(CODESET);
    return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0;
}

// The length of the UTF-8 sequence that starts with lead, at least 1.
std::size_t SequenceLength(unsigned char lead)
{
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Converts with iconv; a character the target cannot take, even transliterated, becomes '?'.
// fromUtf8 tells how far to skip over such a character in the source.
std::string Convert(const std::string& text, const std::string& from, const std::string& to, bool fromUtf8)
{
    const iconv_t converter = iconv_open((to + "//TRANSLIT").c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string out;
    std::vector<char> chunk(4 * text.size() + 16);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* next = chunk.data();
        std::size_t room = chunk.size();
        const std::size_t done = iconv(converter, &in, &inLeft, &next, &room);
        out.append(chunk.data(), static_cast<std::size_t>(next - chunk.data()));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // An unconvertible or malformed character: shown as '?', and the conversion goes on.
        out += '?';
        const std::size_t skip = fromUtf8 ? SequenceLength(static_cast<unsigned char>(*in)) : 1;
        const std::size_t skipped = skip < inLeft ? skip : inLeft;
        in += skipped;
        inLeft -= skipped;
    }
    iconv_close(converter);
    return out;
}

} // namespace

bool IsTerminal(std::FILE* stream)
{
    return isatty(fileno(stream)) != 0;
}

std::string Utf8ToTerminal(const std::string& utf8)
{
    return TerminalIsUtf8() ? utf8 : Convert(utf8, kUtf8, nl_langinfo(CODESET), true);
}

std::string TerminalToUtf8(const std::string& typed)
{
    return TerminalIsUtf8() ? typed : Convert(typed, nl_langinfo(CODESET), kUtf8, false);
}

} // namespace olk::cli
