#include "descriptions/managedescription.h"

#include "app/appearance.h"
#include "descriptions/describedfile.h"
#include "descriptions/descriptionbox.h"
#include "link/dialogmessage.h"
#include "platform/ansitext.h"
#include "ui_managedescription.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>

namespace olk {
namespace {

// When set, FileListBoxChange ignores one change notification and clears the flag. It is kept
// for the whole program and set at its start, so that the file list's first fill is ignored.
bool suppressFileListChange = true;

// The colour of an inactive window caption, which a box that takes no text wears.
const QColor kInactiveCaption(191, 205, 219);

struct Filter {
    const char* text;
    const char* mask;
};

constexpr Filter kFilters[] = {
    {"Work and Fixture files (*.WRK *.FXT)", "*.WRK;*.FXT"},
    {"Work files (*.WRK)", "*.WRK"},
    {"Fixture files (*.FXT)", "*.FXT"},
    {"All (*.*)", "*.*"},
};

const MessageTable& Messages()
{
    using K = DialogKind;
    using B = DialogButtons;
    static const MessageTable messages{
        {TDescriptionManager::kAskOverwrite, {K::Confirmation, B::YesCancel, "Overwrite file description?"}},
        {TDescriptionManager::kAskWriteProtected, {K::Error, B::Ok, describedfile::kWriteProtectedText}},
        {TDescriptionManager::kAskSaveDescription, {K::Confirmation, B::YesNoCancel, "Save description?"}},
    };
    return messages;
}

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

TDescriptionManager::TDescriptionManager(QWidget* owner, MessageDialogs& dialogs)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint),
      ui_(std::make_unique<Ui::TDescriptionManager>()),
      dialogs_(dialogs)
{
    ui_->setupUi(this);
    setFixedSize(size());
    QPalette info = ui_->Panel1->palette();
    info.setColor(QPalette::Window, info.color(QPalette::ToolTipBase));
    ui_->Panel1->setPalette(info);
    SetBoxActive(false);
    FillFilters();
    ui_->DriveComboBox->Link(ui_->DirectoryListBox);

    connect(ui_->DirectoryListBox, &DirectoryList::Changed, this,
            [this] { ui_->FileListBox->SetDirectory(ui_->DirectoryListBox->Directory()); });
    connect(ui_->FilterComboBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { ui_->FileListBox->SetMask(ui_->FilterComboBox->itemData(index).toString()); });
    connect(ui_->FileListBox, &FileList::Change, this, &TDescriptionManager::FileListBoxChange);
    connect(ui_->DiscardEdits, &QPushButton::clicked, this, &TDescriptionManager::FileListBoxChange);
    connect(ui_->RichEdit, &QPlainTextEdit::textChanged, this, &TDescriptionManager::RichEditChange);
    connect(ui_->Clear, &QPushButton::clicked, this, &TDescriptionManager::ClearClick);
    connect(ui_->Save, &QPushButton::clicked, this, &TDescriptionManager::SaveClick);
    connect(ui_->Close, &QPushButton::clicked, this, &TDescriptionManager::HideButtonClick);

    // The first fill, in the directory the lists stand at.
    ui_->FileListBox->SetDirectory(ui_->DirectoryListBox->Directory());
}

TDescriptionManager::~TDescriptionManager() = default;

void TDescriptionManager::FillFilters()
{
    for (const Filter& filter : kFilters)
        ui_->FilterComboBox->addItem(filter.text, QString(filter.mask));
    ui_->FileListBox->SetMask(kFilters[0].mask);
}

int TDescriptionManager::Ask(int kind)
{
    const DialogMessage* message = FindMessage(Messages(), kind);
    return message ? dialogs_.Show(message->text, message->kind, message->buttons) : 0;
}

void TDescriptionManager::FileListBoxChange()
{
    if (suppressFileListChange) {
        suppressFileListChange = false;
        return;
    }
    if (EditsPending() && !SettlePendingEdits())
        return;
    ShowFile(ui_->FileListBox->FileName());
}

// Asks about the edits of the file shown before another one is shown; false when they stay
// pending and the shown file stays. Only the selection moves meanwhile: after a change of
// directory, drive or filter the lists stay where the user moved them, as that is where the
// user is going.
bool TDescriptionManager::SettlePendingEdits()
{
    const QString chosen = ui_->FileListBox->FileName();
    SelectInList(shownFile_);
    switch (Ask(kAskSaveDescription)) {
    case kAnswerYes:
        WriteDescription(false);
        // A write that did not happen (a read-only file) keeps the edits, as Cancel does, rather
        // than drop them for the next file.
        if (EditsPending())
            return false;
        break;
    case kAnswerNo:
        break;
    default:
        return false;
    }
    SelectInList(chosen);
    return true;
}

// Selects the file, or nothing when it is not listed; the notification of a selection that
// really moves is not one of the user's.
void TDescriptionManager::SelectInList(const QString& path)
{
    const QString target = ui_->FileListBox->Lists(path) ? path : QString();
    if (target == ui_->FileListBox->FileName())
        return;
    suppressFileListChange = true;
    ui_->FileListBox->SelectFile(target);
}

void TDescriptionManager::ShowFile(const QString& path)
{
    shownFile_ = path;
    SetBoxActive(false);
    const std::optional<describedfile::Shown> shown = describedfile::ReadShown(LocalPath(path));
    ClearInfo();
    if (shown) {
        SetBoxActive(true);
        ui_->InfoMixer->setText(QString::fromStdString(AnsiToUtf8(shown->modelLine)));
        // Read-only before the text goes in: a box the user cannot type in keeps no limit, so a
        // fixture text shows whole.
        ui_->RichEdit->setReadOnly(!shown->editable);
        descriptionbox::Fill(*ui_->RichEdit, shown->text);
    }
    // Filling raised the box's change notification; a file just shown has no pending edits.
    SetEditsPending(false);
}

void TDescriptionManager::WriteDescription(bool askFirst)
{
    if (!ui_->RichEdit->isEnabled() || !EditsPending())
        return;
    describedfile::DescriptionUpdate update(LocalPath(shownFile_));
    if (!update.Opened()) {
        if (update.WriteProtected())
            Ask(kAskWriteProtected);
        return;
    }
    if (!update.WellFormed() || (askFirst && Ask(kAskOverwrite) != kAnswerYes))
        return;
    // A write that fails keeps the edits pending, so that they can be saved once it can be done.
    if (update.Store(descriptionbox::EditedText(*ui_->RichEdit)))
        SetEditsPending(false);
}

void TDescriptionManager::ClearInfo()
{
    ui_->RichEdit->clear();
    ui_->InfoMixer->setText({});
}

void TDescriptionManager::RichEditChange()
{
    if (!ui_->RichEdit->isReadOnly())
        descriptionbox::KeepWithinLimit(*ui_->RichEdit);
    SetEditsPending(true);
}

void TDescriptionManager::ClearClick()
{
    if (ShowsFixture() || !ui_->RichEdit->isEnabled())
        return;
    ui_->RichEdit->clear();
    ui_->RichEdit->setFocus();
}

void TDescriptionManager::SaveClick()
{
    if (!ShowsFixture())
        WriteDescription(true);
}

// Yes here asks before overwriting too, and whatever that answer the edits count as settled.
void TDescriptionManager::HideButtonClick()
{
    if (EditsPending()) {
        const int answer = Ask(kAskSaveDescription);
        if (answer == kAnswerYes) {
            WriteDescription(true);
            SetEditsPending(false);
        } else if (answer != kAnswerNo) {
            return;
        }
    }
    hide();
}

void TDescriptionManager::SetBoxActive(bool active)
{
    ui_->RichEdit->setEnabled(active);
    QPalette palette = ui_->RichEdit->palette();
    palette.setColor(QPalette::Base, active ? QGuiApplication::palette().color(QPalette::Base) : kInactiveCaption);
    ui_->RichEdit->setPalette(palette);
}

// The pending edits are marked by the two buttons, which always go on and off together.
bool TDescriptionManager::EditsPending() const
{
    return ui_->DiscardEdits->isEnabledTo(this);
}

void TDescriptionManager::SetEditsPending(bool pending)
{
    ui_->DiscardEdits->setEnabled(pending);
    ui_->Save->setEnabled(pending);
}

// The file shown decides, not the selection, which a change of directory or filter may have
// emptied or moved while an edit is pending.
bool TDescriptionManager::ShowsFixture() const
{
    return describedfile::KindOf(LocalPath(shownFile_)) == describedfile::Kind::Fixture;
}

// Centred on the screen when it first shows; afterwards it comes back where the user left it.
void TDescriptionManager::showEvent(QShowEvent* event)
{
    if (!centred_) {
        CentreOnScreen(*this);
        centred_ = true;
    }
    QWidget::showEvent(event);
}

// The window has no close box; only Hide takes it away.
void TDescriptionManager::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

} // namespace olk
