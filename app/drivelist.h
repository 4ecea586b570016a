#pragma once
// A drive list for a system without drive letters: it offers volume roots. Linked to a directory
// list, it shows the drive the list stands on, remembers for each drive the directory the list
// last stood at there (at first its root), and choosing a drive moves the list back to it.
#include <QComboBox>
#include <QHash>
#include <QStringList>

namespace olk {

class DirectoryList;

class DriveList : public QComboBox {
    Q_OBJECT
public:
    // Offers the mounted volumes.
    explicit DriveList(QWidget* parent = nullptr);

    // Offers these roots instead; each drive's current directory starts at its root.
    void SetDrives(const QStringList& roots);
    void Link(DirectoryList* list);

    // The root of the drive shown, empty when the list stands on none of them.
    QString Drive() const { return currentText(); }

private:
    void Choose(int index);
    void Follow();
    QString DriveOf(const QString& directory) const;

    DirectoryList* list_ = nullptr;
    QHash<QString, QString> currentDirectories_;
};

} // namespace olk
