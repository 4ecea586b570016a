#pragma once
// The dialog in which the user picks the default directory of the main window's file dialogs, or
// clears it. Created hidden at start-up and shown, not modally, from the menu; it is left only
// through Ok or None, which hand the result to the main window.
#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class TChooseDirectory;
}

namespace olk {

class TChooseDirectory : public QDialog {
    Q_OBJECT
public:
    // setDefaultDirectory: the main window's SetDefaultDirectory. drives: the roots the drive list
    // offers; empty means the mounted volumes.
    TChooseDirectory(QWidget* parent, std::function<void(const QString&)> setDefaultDirectory,
                     QStringList drives = {});
    ~TChooseDirectory() override;

    // Moves the directory list there; a path that does not exist leaves it where it is. The
    // Directory label then names where the list stands.
    void SetDirectory(const QString& path);
    // The full path the Directory label stands for, even when the label shows it shortened.
    QString ShownDirectory() const { return shownDirectory_; }

public slots:
    void OkClick();
    void NoneClick();
    void DirectoryListBoxClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ShowDirectory(const QString& path);

    std::unique_ptr<Ui::TChooseDirectory> ui_;
    std::function<void(const QString&)> setDefaultDirectory_;
    QString shownDirectory_;
};

} // namespace olk
