#include "platform/settingsstore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace olk {
namespace {

// Top-level values live in the [General] section of a QSettings INI file.
constexpr const char* kTopLevelSection = "General";

std::string SectionName(const std::string& group)
{
    return group.empty() ? kTopLevelSection : group;
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

char Unescaped(char c)
{
    switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case '0': return '\0';
    default: return c;
    }
}

// Reads a value as QSettings writes a string: optionally in double quotes, with backslash
// escapes, and a leading "@@" standing for a literal "@".
std::string DecodeValue(const std::string& raw)
{
    std::string text = Trim(raw);
    const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    if (quoted)
        text = text.substr(1, text.size() - 2);
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            value += Unescaped(text[++i]);
        else
            value += text[i];
    }
    if (value.rfind("@@", 0) == 0)
        value.erase(0, 1);
    return value;
}

bool NeedsQuotes(const std::string& value)
{
    if (value.empty())
        return false;
    if (value.front() == ' ' || value.back() == ' ')
        return true;
    for (const unsigned char c : value)
        if (c == ';' || c == ',' || c == '=' || c == '"' || c < 0x20)
            return true;
    return false;
}

std::string EncodeValue(const std::string& value)
{
    std::string body = value.rfind('@', 0) == 0 ? "@" + value : value;
    std::string escaped;
    for (const char c : body) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '"': escaped += "\\\""; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return NeedsQuotes(value) ? "\"" + escaped + "\"" : escaped;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

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

Location Find(const std::vector<std::string>& lines, const std::string& section, const std::string& key)
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

bool MakeParentDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string directory = path.substr(0, slash);
        if (mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Writes the whole file beside the old one and renames it into place, so that a failed write
// never leaves the settings half written.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines)
{
    if (!MakeParentDirectories(path))
        return false;
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& line : lines)
            out << line << '\n';
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

SettingsStore SettingsStore::ForCurrentUser()
{
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        base = config;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".config";
    return SettingsStore(base + "/OLK/OLKMixer by Rilo & Benvo.conf");
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

std::optional<std::string> SettingsStore::Read(const std::string& group, const std::string& key,
                                               std::size_t maxBytes) const
{
    const auto lines = ReadLines(path_);
    const Location where = Find(lines, SectionName(group), key);
    if (where.keyLine == std::string::npos)
        return std::nullopt;
    std::string raw;
    IsKeyLine(lines[where.keyLine], key, &raw);
    std::string value = DecodeValue(raw);
    if (value.size() + 1 > maxBytes)
        return std::nullopt;
    return value;
}

bool SettingsStore::Write(const std::string& group, const std::string& key, const std::string& value)
{
    auto lines = ReadLines(path_);
    const std::string section = SectionName(group);
    const Location where = Find(lines, section, key);
    const std::string line = key + "=" + EncodeValue(value);
    if (where.keyLine != std::string::npos) {
        lines[where.keyLine] = line;
    } else if (where.sectionEnd != std::string::npos) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(where.sectionEnd), line);
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(line);
    }
    return WriteLines(path_, lines);
}

bool SettingsStore::Remove(const std::string& group, const std::string& key)
{
    auto lines = ReadLines(path_);
    const Location where = Find(lines, SectionName(group), key);
    if (where.keyLine == std::string::npos)
        return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(where.keyLine));
    return WriteLines(path_, lines);
}

} // namespace olk
