#pragma once
// Files of "[section]" lines and "key=value" lines, edited line by line so that whatever else a
// file holds (comments, other sections, other programs' keys) stays as it was.
#include <optional>
#include <string>
#include <vector>

namespace olk::ini {

using Lines = std::vector<std::string>;

// The file's lines; none for a file that cannot be read.
Lines ReadLines(const std::string& path);

// Writes the whole file in one step (see WriteWholeFile); false when it cannot be written.
bool WriteLines(const std::string& path, const Lines& lines);

std::string Trim(const std::string& text);

// The text after "=" of the key in the section, untrimmed.
std::optional<std::string> RawValue(const Lines& lines, const std::string& section, const std::string& key);

// Puts "key=rawValue" in the section: over the key's line, else after the section's last entry,
// else in a new section at the end.
void SetRawValue(Lines& lines, const std::string& section, const std::string& key, const std::string& rawValue);

// Takes the key's line out of the section; false when there was none.
bool RemoveKey(Lines& lines, const std::string& section, const std::string& key);

} // namespace olk::ini
