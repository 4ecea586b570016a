#include "app/drivelist.h"

#include "app/directorylist.h"

#include <QDir>
#include <QStorageInfo>

namespace olk {
namespace {

QStringList MountedVolumes()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    return roots;
}

bool Holds(const QString& root, const QString& directory)
{
    return directory == root || directory.startsWith(root.endsWith('/') ? root : root + '/');
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, &DriveList::Choose);
    SetDrives(MountedVolumes());
}

void DriveList::SetDrives(const QStringList& roots)
{
    clear();
    currentDirectories_.clear();
    QStringList cleaned;
    for (const QString& root : roots)
        cleaned << QDir::cleanPath(QDir(root).absolutePath());
    cleaned.sort(Qt::CaseInsensitive);
    cleaned.removeDuplicates();
    for (const QString& root : cleaned)
        currentDirectories_.insert(root, root);
    addItems(cleaned);
    Follow();
}

void DriveList::Link(DirectoryList* list)
{
    list_ = list;
    connect(list_, &DirectoryList::Changed, this, &DriveList::Follow);
    Follow();
}

// The user chose a drive: back to the directory the list last stood at there, or to the root
// when that has gone meanwhile. The list then tells which drive it really stands on.
void DriveList::Choose(int index)
{
    if (!list_ || index < 0)
        return;
    const QString root = itemText(index);
    if (!list_->SetDirectory(currentDirectories_.value(root)))
        list_->SetDirectory(root);
    Follow();
}

void DriveList::Follow()
{
    const QString directory = list_ ? list_->Directory() : QString();
    const QString drive = DriveOf(directory);
    if (!drive.isEmpty())
        currentDirectories_.insert(drive, directory);
    setCurrentIndex(findText(drive));
}

// The drive that holds the directory: the deepest root above it, as volumes mount inside others.
QString DriveList::DriveOf(const QString& directory) const
{
    QString drive;
    for (auto entry = currentDirectories_.cbegin(); entry != currentDirectories_.cend(); ++entry)
        if (Holds(entry.key(), directory) && entry.key().size() > drive.size())
            drive = entry.key();
    return drive;
}

} // namespace olk
