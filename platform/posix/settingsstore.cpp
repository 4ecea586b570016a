#include "platform/settingsstore.h"

#include "platform/inilines.h"

#include <cstdlib>
#include <unistd.h>

namespace olk {
namespace {

// Top-level values live in the [General] section of a QSettings INI file.
constexpr const char* kTopLevelSection = "General";

std::string SectionName(const std::string& group)
{
    return group.empty() ? kTopLevelSection : group;
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
    std::string text = ini::Trim(raw);
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

bool SettingsStore::Create()
{
    return ::access(path_.c_str(), F_OK) == 0 || ini::WriteLines(path_, {});
}

std::optional<std::string> SettingsStore::Read(const std::string& group, const std::string& key,
                                               std::size_t maxBytes) const
{
    const auto raw = ini::RawValue(ini::ReadLines(path_), SectionName(group), key);
    if (!raw)
        return std::nullopt;
    std::string value = DecodeValue(*raw);
    if (value.size() + 1 > maxBytes)
        return std::nullopt;
    return value;
}

bool SettingsStore::Write(const std::string& group, const std::string& key, const std::string& value)
{
    auto lines = ini::ReadLines(path_);
    ini::SetRawValue(lines, SectionName(group), key, EncodeValue(value));
    return ini::WriteLines(path_, lines);
}

bool SettingsStore::Remove(const std::string& group, const std::string& key)
{
    auto lines = ini::ReadLines(path_);
    return !ini::RemoveKey(lines, SectionName(group), key) || ini::WriteLines(path_, lines);
}

} // namespace olk
