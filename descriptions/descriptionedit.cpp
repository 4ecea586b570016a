#include "descriptions/descriptionedit.h"

#include "app/appearance.h"
#include "descriptions/descriptionbox.h"
#include "link/dialogmessage.h"
#include "ui_descriptionedit.h"
#include "userdata/datafile.h"

#include <QCloseEvent>
#include <utility>

namespace olk {
namespace {

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
    descriptionbox::Fill(*ui_->RichEdit, ansiText);
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
        datafile::StoreDescription(fileHandle_, descriptionbox::EditedText(*ui_->RichEdit));
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
    descriptionbox::KeepWithinLimit(*ui_->RichEdit);
    modified_ = true;
}

// Centred with its frame, each time it shows, on the screen as it is then.
void TEditDescription::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
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
