#include "app/filelist.h"

#include <QDir>
#include <QSignalBlocker>

namespace olk {
namespace {

constexpr int kPathRole = Qt::UserRole;

// "*.*" means every file, as it always has to the people who type it, names without a dot too.
QStringList MasksOf(const QString& mask)
{
    QStringList masks = mask.split(';', Qt::SkipEmptyParts);
    masks.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
    return masks;
}

} // namespace

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, &FileList::Change);
}

void FileList::SetDirectory(const QString& directory)
{
    directory_ = directory;
    Refill();
}

void FileList::SetMask(const QString& mask)
{
    masks_ = MasksOf(mask);
    Refill();
}

QString FileList::FileName() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->data(kPathRole).toString();
}

bool FileList::Lists(const QString& path) const
{
    return ItemOf(path) != nullptr;
}

void FileList::SelectFile(const QString& path)
{
    if (QListWidgetItem* item = ItemOf(path)) {
        setCurrentItem(item);
        return;
    }
    clearSelection();
}

// A refill selects nothing; it is announced once, when the list is complete.
void FileList::Refill()
{
    {
        const QSignalBlocker quiet(this);
        clear();
        if (!directory_.isEmpty() && !masks_.isEmpty()) {
            const QDir directory(directory_);
            // Name filters of a QDir match without regard to case unless told otherwise.
            const QStringList names = directory.entryList(masks_, QDir::Files, QDir::Name | QDir::IgnoreCase);
            for (const QString& name : names)
                (new QListWidgetItem(name, this))->setData(kPathRole, directory.filePath(name));
        }
    }
    emit Change();
}

QListWidgetItem* FileList::ItemOf(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    for (int row = 0; row < count(); ++row)
        if (item(row)->data(kPathRole).toString() == path)
            return item(row);
    return nullptr;
}

} // namespace olk
