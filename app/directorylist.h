#pragma once
// A directory list as a technician knows it from the drive and folder pickers: the chain of
// folders from the root down to the current directory, then the current directory's
// subdirectories, each indented one step deeper than its parent. Activating an entry (double
// click, Enter) moves into it, which is a change; a single click is only a click.
#include <QListWidget>
#include <QString>

namespace olk {

class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    // Stands at the process's current directory.
    explicit DirectoryList(QWidget* parent = nullptr);

    // Moves the list to the directory, raising Changed when it is another one; a path that is no
    // directory leaves the list where it is and answers false.
    bool SetDirectory(const QString& path);
    // The full path of the current directory.
    QString Directory() const { return directory_; }

signals:
    void Changed();
    void Clicked();

private:
    void Fill();
    void AddEntry(const QString& caption, const QString& path, int depth, bool open);

    QString directory_;
};

} // namespace olk
