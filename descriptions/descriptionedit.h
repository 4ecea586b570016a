#pragma once
// The description editor: after a backup the user may rewrite the description of the new .WRK
// file. The backup creates it, fills it with the description the desk sent and shows it modally;
// the editor writes into the backup's open file, so the file is never reopened or rewritten whole.
#include "link/views.h"
#include "platform/filehandle.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

namespace Ui {
class TEditDescription;
}

namespace olk {

class TEditDescription : public QDialog {
    Q_OBJECT
public:
    // The kinds of question Ask shows.
    static constexpr int kAskWriteDescription = 1;
    static constexpr int kAskExitUnsaved = 2;
    static constexpr int kAskExitUnedited = 3;

    // onDescriptionWritten runs as the editor closes after Save: the owner rereads the file's
    // header so that what it shows matches what is now on disk.
    TEditDescription(QWidget* owner, MessageDialogs& dialogs, std::function<void()> onDescriptionWritten);
    ~TEditDescription() override;

    // The open file the description is written into.
    void SetFileHandle(int handle);

    // Empties the box and puts in a description given as Windows-1252 bytes.
    void SetText(const std::string& ansiText);

    // Shows the question of the kind and returns the button pressed; 0 for an unknown kind.
    int Ask(int kind);

public slots:
    void SaveClick();
    void ClearClick();
    void ExitClick();
    void RichEditChange();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    std::unique_ptr<Ui::TEditDescription> ui_;
    MessageDialogs& dialogs_;
    std::function<void()> onDescriptionWritten_;
    int fileHandle_ = file::kNoHandle;
    bool modified_ = false;
};

} // namespace olk
