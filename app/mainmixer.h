#pragma once
// The main window: port, baud rate, operation and files are chosen here; it drives the window
// side of every operation thread's life (construct, prepare, start, end-of-operation notice,
// destroy), shows its own messages and quits the program.
#include "app/filedialogs.h"
#include "app/qtviews.h"
#include "fixtures/fixturesview.h"
#include "link/protocollomixer.h"
#include "platform/settingsstore.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QButtonGroup;

namespace Ui {
class TOLKmixer;
}

namespace olk {

class TChooseDirectory;
class TDescriptionManager;
class TEditDescription;
class TFormElencoFixture;
class TProgressione;

// What the main window starts with: the dialog layers (tests give recorders), how it reads the
// F12 key, and the program's arguments after its name.
struct MainWindowStart {
    MessageDialogs* dialogs = nullptr; // null: real message boxes
    FileChooser* files = nullptr;      // null: real file dialogs
    std::function<bool()> f12Held;     // null: read from the window system
    QStringList arguments;
};

class TOLKmixer : public QMainWindow, public MainWindowView, public FixturesHost {
    Q_OBJECT
public:
    static constexpr int kNoOperation = -1;
    static constexpr int kFirmwareRevision = 0;
    static constexpr int kBackupUserData = 1;
    static constexpr int kRestoreUserData = 2;
    static constexpr int kFixtures = 3;

    explicit TOLKmixer(const MainWindowStart& start = {});
    ~TOLKmixer() override;

    // MainWindowView
    void Repaint() override;
    void SetRelease(const std::string& text) override;
    void PostOperationEnded() override;
    void ClearChainFlag() override;
    void SetRefreshListFlag() override;
    void ShowReceivedDescription(const std::string& text) override;
    void PrepareDescriptionEditor(int fileHandle, const std::string& description) override;
    void ShowDescriptionEditor() override;
    void FreeDescriptionEditor() override;

    // FixturesHost
    void StartGetFixture(const std::string& name) override;
    void StartRemoveFixture(const std::string& name) override;
    void SaveFixture() override;
    void ChooseOperationAgain() override;
    void BrowseForFixtureToAdd() override;
    void ShowMainWindow() override;
    bool OperationRunning() const override;

    void RequestFixtureList();
    int ShowWindowMessage(int code);
    uint32_t SelectedBaudRate() const;
    void SelectOperation(int item);
    int ChosenOperation() const;
    // Stores the default directory of the file dialogs; an empty path clears it.
    void SetDefaultDirectory(const QString& path);

    ProtocolloMixer* CurrentOperation() const { return currentOperation_.get(); }
    TProgressione* Progress() const { return progress_; }
    TFormElencoFixture* FixturesWindow() const { return fixtures_; }
    TEditDescription* DescriptionEditor() const { return editor_; }
    TChooseDirectory* ChooseDirectory() const { return chooseDirectory_; }
    TDescriptionManager* DescriptionManager() const { return descriptionManager_; }
    const QString& DefaultDirectory() const { return defaultDirectory_; }
    bool ChainFlag() const { return chainFlag_; }
    const FileDialogSettings& OpenDialog() const { return openDialog_; }
    const FileDialogSettings& SaveDialog() const { return saveDialog_; }
    Ui::TOLKmixer& Form() const { return *ui_; }

public slots:
    void ScegliProtocolloClick();
    void AlwaysBackupClick();
    void StartClick();
    void ButtonInfoClick();
    void ButtonFixtureClick();
    void ManageDescriptionClick();
    void About1Click();
    void ByeClick();
    void BrowseSendClick();
    void BrowseReceiveClick();
    void SendFileEditChange();
    void ReceiveFileEditChange();
    void AlwaysClick();
    void NeverClick();
    void DefaultDirectoryClick();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FillPortList(const std::function<bool()>& f12Held);
    void ReadSettings();
    void RegisterFileTypes();
    void ConnectMenuItem(QAction* item, void (TOLKmixer::*handler)());
    void TogglePolicy(QAction* item, const char* value, bool backupFirst);
    void SetUpLook();
    void ConnectHandlers();
    void ApplyDefaultNames();
    void ApplyCommandLine(const QStringList& arguments);
    void MakeStartFirstInTabOrder();
    void ResetDeskInfo();
    bool SendCheckPasses() const;
    bool ReceiveCheckPasses() const;
    void RefuseStart(QWidget* focus);
    bool StartBackup();
    void StartRestore();
    bool PrepareAndStart(OperationPtr<ProtocolloMixer> operation, const QString& argument, QWidget* focusOnRefusal);
    void StartWithName(OperationPtr<ProtocolloMixer> operation, const std::string& name);
    std::string PortName() const;
    void ClearSendPreview();
    void OperationEnded();
    void EndCurrentOperation();
    DisplayTargets Targets();
    Views AsViews();

    std::unique_ptr<Ui::TOLKmixer> ui_;
    std::unique_ptr<MessageDialogs> ownDialogs_;
    MessageDialogs& dialogs_;
    std::unique_ptr<FileChooser> ownFiles_;
    FileChooser& files_;
    QButtonGroup* operations_;
    TProgressione* progress_;
    TFormElencoFixture* fixtures_;
    TEditDescription* editor_ = nullptr;
    TChooseDirectory* chooseDirectory_;
    TDescriptionManager* descriptionManager_ = nullptr;
    SettingsStore settings_ = SettingsStore::ForCurrentUser();
    QtUiThread uiThread_{this};
    OverrideCursor cursor_;
    std::unique_ptr<LabelCaption> mixerName_;
    std::unique_ptr<LabelCaption> baudValue_;
    std::unique_ptr<MovingBar> greenBar_;
    OperationPtr<ProtocolloMixer> currentOperation_;

    QString defaultSendName_;
    QString defaultReceiveName_;
    QString defaultDirectory_;
    FileDialogSettings openDialog_;
    FileDialogSettings saveDialog_;
    bool chainFlag_ = false;
    bool refreshListFlag_ = false;
    bool infoFlag_ = false;
    bool hideFixturesFlag_ = false;
};

} // namespace olk
