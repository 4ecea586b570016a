#include "platform/inilines.h"

#include "platform/wholefile.h"

#include <fstream>

namespace olk::ini {
namespace {

bool IsSectionLine(const std::string& line, std::string* name)
{
    const std::string text = Trim(line);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return false;
    *name = text.substr(1, text.size() - 2);
    return true;
}

bool IsKeyLine(const std::string& line, const std::string& key, std::string* rawValue)
{
    const auto equals = line.find('=');
    if (equals == std::string::npos || Trim(line.substr(0, equals)) != key)
        return false;
    *rawValue = line.substr(equals + 1);
    return true;
}

// Where the key stands in the file: the line of the key itself, or where a new key of that
// section would go, or npos when the section is missing.
struct Location {
    std::size_t keyLine = std::string::npos;
    std::size_t sectionEnd = std::string::npos;
};

Location Find(const Lines& lines, const std::string& section, const std::string& key)
{
    Location where;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name, raw;
        if (IsSectionLine(lines[i], &name)) {
            inSection = name == section;
            if (inSection)
                where.sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!Trim(lines[i]).empty())
            where.sectionEnd = i + 1;
        if (IsKeyLine(lines[i], key, &raw))
            where.keyLine = i;
    }
    return where;
}

std::ptrdiff_t At(std::size_t index)
{
    return static_cast<std::ptrdiff_t>(index);
}

} // namespace

Lines ReadLines(const std::string& path)
{
    Lines lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool WriteLines(const std::string& path, const Lines& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + '\n';
    return WriteWholeFile(path, text);
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<std::string> RawValue(const Lines& lines, const std::string& section, const std::string& key)
{
    const Location where = Find(lines, section, key);
    std::string raw;
    if (where.keyLine == std::string::npos || !IsKeyLine(lines[where.keyLine], key, &raw))
        return std::nullopt;
    return raw;
}

void SetRawValue(Lines& lines, const std::string& section, const std::string& key, const std::string& rawValue)
{
    const Location where = Find(lines, section, key);
    const std::string line = key + "=" + rawValue;
    if (where.keyLine != std::string::npos) {
        lines[where.keyLine] = line;
    } else if (where.sectionEnd != std::string::npos) {
        lines.insert(lines.begin() + At(where.sectionEnd), line);
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(line);
    }
}

bool RemoveKey(Lines& lines, const std::string& section, const std::string& key)
{
    const Location where = Find(lines, section, key);
    if (where.keyLine == std::string::npos)
        return false;
    lines.erase(lines.begin() + At(where.keyLine));
    return true;
}

} // namespace olk::ini
