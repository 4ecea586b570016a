#include "app/workdirectory.h"

#include "app/appearance.h"
#include "ui_workdirectory.h"

#include <QCloseEvent>
#include <utility>

namespace olk {

TChooseDirectory::TChooseDirectory(QWidget* parent, std::function<void(const QString&)> setDefaultDirectory,
                                   QStringList drives)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TChooseDirectory>()),
      setDefaultDirectory_(std::move(setDefaultDirectory))
{
    ui_->setupUi(this);
    setFixedSize(size());
    if (!drives.isEmpty())
        ui_->DriveComboBox1->SetDrives(drives);
    ui_->DriveComboBox1->Link(ui_->DirectoryListBox);
    connect(ui_->DirectoryListBox, &DirectoryList::Changed, this, &TChooseDirectory::DirectoryListBoxClick);
    connect(ui_->DirectoryListBox, &DirectoryList::Clicked, this, &TChooseDirectory::DirectoryListBoxClick);
    connect(ui_->Ok, &QPushButton::clicked, this, &TChooseDirectory::OkClick);
    connect(ui_->None, &QPushButton::clicked, this, &TChooseDirectory::NoneClick);
    DirectoryListBoxClick();
}

TChooseDirectory::~TChooseDirectory() = default;

// Also when the list stays: after None the label is empty, and reopening must show where the
// list stands, which Ok then stores.
void TChooseDirectory::SetDirectory(const QString& path)
{
    ui_->DirectoryListBox->SetDirectory(path);
    DirectoryListBoxClick();
}

void TChooseDirectory::OkClick()
{
    hide();
    setDefaultDirectory_(shownDirectory_);
}

void TChooseDirectory::NoneClick()
{
    hide();
    ShowDirectory({});
    setDefaultDirectory_({});
}

void TChooseDirectory::DirectoryListBoxClick()
{
    ShowDirectory(ui_->DirectoryListBox->Directory());
}

// The label is only as wide as the window; a long path is shown shortened in the middle, and the
// full path is kept for storing.
void TChooseDirectory::ShowDirectory(const QString& path)
{
    shownDirectory_ = path;
    ui_->Directory->setText(ui_->Directory->fontMetrics().elidedText(path, Qt::ElideMiddle, ui_->Directory->width()));
}

// Centred with its frame, each time it shows, on the screen as it is then.
void TChooseDirectory::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

// The window has no close box and is left only through Ok or None.
void TChooseDirectory::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

// Escape is no way out either.
void TChooseDirectory::reject()
{
}

} // namespace olk
