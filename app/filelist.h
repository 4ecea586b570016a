#pragma once
// A file list: the files of one directory that match a mask such as "*.WRK;*.FXT", without regard
// to case, sorted by name. It raises Change whenever its selection changes, by the user or by the
// program, and each time it refills itself after a change of directory or mask.
#include <QListWidget>
#include <QString>

namespace olk {

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    void SetDirectory(const QString& directory);
    void SetMask(const QString& mask);

    // The full path of the selected file; empty when none is selected.
    QString FileName() const;
    bool Lists(const QString& path) const;
    // Selects the listed file, or nothing for a path that is not listed.
    void SelectFile(const QString& path);

signals:
    void Change();

private:
    void Refill();
    QListWidgetItem* ItemOf(const QString& path) const;

    QString directory_;
    QStringList masks_;
};

} // namespace olk
