#pragma once
// The rules both description windows apply to their edit box: it holds at most 127 characters,
// it is filled from Windows-1252 bytes, and what is saved is its lines, each followed by CR LF,
// in Windows-1252.
#include <string>

class QPlainTextEdit;

namespace olk::descriptionbox {

// Empties the box and puts in a text given as Windows-1252 bytes; each CR LF becomes one break.
void Fill(QPlainTextEdit& box, const std::string& ansiText);

// Called on every change of the box: refuses what goes beyond 127 characters.
void KeepWithinLimit(QPlainTextEdit& box);

// The box's text as its lines, each followed by CR LF, in Windows-1252; empty for an empty box.
// Only the breaks in the text count: a line the box merely wraps to fit stays one line.
std::string EditedText(const QPlainTextEdit& box);

} // namespace olk::descriptionbox
