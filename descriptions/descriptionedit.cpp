#include "descriptions/descriptionedit.h"

#include "link/dialogmessage.h"
#include "platform/ansitext.h"
#include "ui_descriptionedit.h"
#include "userdata/datafile.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTextCursor>
#include <algorithm>
#include <utility>

namespace olk {
namespace {

// The box holds as many characters as the field holds bytes before its NUL; a line break counts
// as one character here, although it takes two bytes in the file.
constexpr int kCharacterLimit = static_cast<int>(datafile::kDescriptionLimit);

const MessageTable& Questions()
{
    using K = DialogKind;
    using B = DialogButtons;
    static const MessageTable questions{
        {TEditDescription::kAskWriteDescription, {K::Confirmation, B::YesCancel, "Write file description?"}},
        {TEditDescription::kAskExitUnsaved, {K::Confirmation, B::OkCancel, "Exit without save?"}},
        {TEditDescription::kAskExitUnedited, {K::Confirmation, B::YesNo, "Exit without Edit?"}},
    };
    return questions;
}

} // namespace

TEditDescription::TEditDescription(QWidget* owner, MessageDialogs& dialogs,
                                   std::function<void()> onDescriptionWritten)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TEditDescription>()),
      dialogs_(dialogs),
      onDescriptionWritten_(std::move(onDescriptionWritten))
{
    ui_->setupUi(this);
    setFixedSize(size());
    connect(ui_->Save, &QPushButton::clicked, this, &TEditDescription::SaveClick);
    connect(ui_->Clear, &QPushButton::clicked, this, &TEditDescription::ClearClick);
    connect(ui_->Exit, &QPushButton::clicked, this, &TEditDescription::ExitClick);
    connect(ui_->RichEdit, &QPlainTextEdit::textChanged, this, &TEditDescription::RichEditChange);
}

TEditDescription::~TEditDescription() = default;

void TEditDescription::SetFileHandle(int handle)
{
    fileHandle_ = handle;
}

void TEditDescription::SetText(const std::string& ansiText)
{
    ui_->RichEdit->clear();
    // The box makes one line break of each CR LF pair.
    ui_->RichEdit->insertPlainText(QString::fromStdString(AnsiToUtf8(ansiText)));
    // Filling the box with what the desk sent is no edit of the user's: Save still asks whether
    // to leave without editing.
    modified_ = false;
}

int TEditDescription::Ask(int kind)
{
    const DialogMessage* question = FindMessage(Questions(), kind);
    return question ? dialogs_.Show(question->text, question->kind, question->buttons) : 0;
}

void TEditDescription::SaveClick()
{
    if (modified_) {
        if (Ask(kAskWriteDescription) != kAnswerYes)
            return;
        // Not checked: a failed write closes the editor as a successful one does.
        datafile::StoreDescription(fileHandle_, EditedText());
    } else if (Ask(kAskExitUnedited) == kAnswerNo) {
        return;
    }
    if (onDescriptionWritten_)
        onDescriptionWritten_();
    accept();
}

void TEditDescription::ClearClick()
{
    ui_->RichEdit->clear();
    ui_->RichEdit->setFocus();
}

void TEditDescription::ExitClick()
{
    if (!modified_ || Ask(kAskExitUnsaved) == kAnswerOk)
        done(QDialog::Rejected);
}

void TEditDescription::RichEditChange()
{
    KeepWithinLimit();
    modified_ = true;
}

// Like a box with a maximum length, the box refuses what goes beyond it: the characters just put
// in, which end at the cursor. Joined to the edit that brought them, an undo takes back both.
void TEditDescription::KeepWithinLimit()
{
    const int excess = ui_->RichEdit->document()->characterCount() - 1 - kCharacterLimit;
    if (excess <= 0)
        return;
    QTextCursor cursor = ui_->RichEdit->textCursor();
    const int end = std::max(cursor.position(), excess);
    cursor.joinPreviousEditBlock();
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    ui_->RichEdit->setTextCursor(cursor);
}

// The box's text as its lines, each followed by CR LF, in Windows-1252. The raw text keeps the
// characters a plain-text copy would change (a no-break space would become a blank).
std::string TEditDescription::EditedText() const
{
    QString text = ui_->RichEdit->document()->toRawText();
    if (text.isEmpty())
        return {};
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    text += QStringLiteral("\r\n");
    return Utf8ToAnsi(text.toStdString());
}

// Centred with its frame, each time it shows, on the screen as it is then.
void TEditDescription::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

// The window has no close box and closes only through Save or Exit.
void TEditDescription::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

// Escape asks as Exit does. The editor closes itself through done(), never through reject().
void TEditDescription::reject()
{
    ExitClick();
}

} // namespace olk
