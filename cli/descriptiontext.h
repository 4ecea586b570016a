#pragma once
// A description given on the command line, made into the text the description editor stores.
#include <optional>
#include <string>

namespace olk::cli {

// The edited text for what was typed: its lines (split at LF, a CR before it dropped), each
// followed by CR LF, in Windows-1252; empty for an empty text. nullopt when it holds more than
// the editor's box takes: 127 characters, a line break counting as one.
std::optional<std::string> EditedDescription(const std::string& typed);

} // namespace olk::cli
