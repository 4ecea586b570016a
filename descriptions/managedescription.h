#pragma once
// The description manager: a window for browsing data files on disk and rewriting their
// descriptions in place. It shows who created the selected file and its description, editable
// for a .WRK file, and a .FXT file's own fixture text read-only. Hiding it loses nothing: it lives
// on, unsaved edits included, until the program ends.
#include "link/views.h"

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class TDescriptionManager;
}

namespace olk {

class TDescriptionManager : public QWidget {
    Q_OBJECT
public:
    // The kinds of message Ask shows.
    static constexpr int kAskOverwrite = 1;
    static constexpr int kAskWriteProtected = 2;
    static constexpr int kAskSaveDescription = 3;

    // A top-level window owned by owner.
    TDescriptionManager(QWidget* owner, MessageDialogs& dialogs);
    ~TDescriptionManager() override;

    // Shows the message of the kind and returns the button pressed; 0 for an unknown kind.
    int Ask(int kind);
    // Writes the box's text into the description field of the file shown.
    void WriteDescription(bool askFirst);
    void ClearInfo();

    // The file whose header the window shows; empty when none.
    QString ShownFile() const { return shownFile_; }

public slots:
    void FileListBoxChange();
    void RichEditChange();
    void ClearClick();
    void SaveClick();
    void HideButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FillFilters();
    bool SettlePendingEdits();
    void SelectInList(const QString& path);
    void ShowFile(const QString& path);
    void SetBoxActive(bool active);
    bool EditsPending() const;
    void SetEditsPending(bool pending);
    bool ShowsFixture() const;

    std::unique_ptr<Ui::TDescriptionManager> ui_;
    MessageDialogs& dialogs_;
    QString shownFile_;
    bool centred_ = false;
};

} // namespace olk
