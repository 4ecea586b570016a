#include "descriptions/descriptionbox.h"

#include "platform/ansitext.h"
#include "userdata/datafile.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

namespace olk::descriptionbox {
namespace {

// The box holds as many characters as the field holds bytes before its NUL; a line break counts
// as one character here, although it takes two bytes in the file.
constexpr int kCharacterLimit = static_cast<int>(datafile::kDescriptionLimit);

} // namespace

void Fill(QPlainTextEdit& box, const std::string& ansiText)
{
    box.clear();
    box.insertPlainText(QString::fromStdString(AnsiToUtf8(ansiText)));
}

// Like a box with a maximum length, the box refuses what goes beyond it: the characters just put
// in, which end at the cursor. Joined to the edit that brought them, an undo takes back both.
void KeepWithinLimit(QPlainTextEdit& box)
{
    const int excess = box.document()->characterCount() - 1 - kCharacterLimit;
    if (excess <= 0)
        return;
    QTextCursor cursor = box.textCursor();
    const int end = std::max(cursor.position(), excess);
    cursor.joinPreviousEditBlock();
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    box.setTextCursor(cursor);
}

// The raw text keeps the characters a plain-text copy would change (a no-break space would
// become a blank). Its separators are the breaks typed or filled in; wrapping adds none.
std::string EditedText(const QPlainTextEdit& box)
{
    QString text = box.document()->toRawText();
    if (text.isEmpty())
        return {};
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    text += QStringLiteral("\r\n");
    return Utf8ToAnsi(text.toStdString());
}

} // namespace olk::descriptionbox
