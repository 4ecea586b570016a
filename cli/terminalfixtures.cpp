#include "cli/terminalfixtures.h"

#include <algorithm>

namespace olk::cli {
namespace {

// The lower-case letter of a Windows-1252 capital, every other byte unchanged.
unsigned char LowerCase(unsigned char byte)
{
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
        return static_cast<unsigned char>(byte + 0x20);
    switch (byte) {
    case 0x8A: return 0x9A; // S with caron
    case 0x8C: return 0x9C; // OE
    case 0x8E: return 0x9E; // Z with caron
    case 0x9F: return 0xFF; // Y with diaeresis
    default: return byte;
    }
}

bool SameLetter(char x, char y)
{
    return LowerCase(static_cast<unsigned char>(x)) == LowerCase(static_cast<unsigned char>(y));
}

bool LetterBefore(char x, char y)
{
    return LowerCase(static_cast<unsigned char>(x)) < LowerCase(static_cast<unsigned char>(y));
}

} // namespace

void TerminalFixtures::ClearList()
{
    names_.clear();
    numberFixtures_.clear();
    freeMemoryCaption_.clear();
}

bool TerminalFixtures::ListHasName(const std::string& name) const
{
    return std::any_of(names_.begin(), names_.end(),
                       [&](const std::string& listed) {
                           return std::equal(listed.begin(), listed.end(), name.begin(), name.end(), SameLetter);
                       });
}

std::vector<std::string> TerminalFixtures::SortedNames() const
{
    std::vector<std::string> sorted = names_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), LetterBefore);
    });
    return sorted;
}

} // namespace olk::cli
