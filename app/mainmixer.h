#pragma once
// The main window: port, baud rate, operation and files are chosen here; it drives the window
// side of every operation thread's life (construct, prepare, start, end-of-operation notice,
// destroy), shows its own messages and quits the program.
#include "app/qtviews.h"
#include "link/protocollomixer.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class QButtonGroup;

namespace Ui {
class TOLKmixer;
}

namespace olk {

class TFormElencoFixture;
class TProgressione;

// What the main window starts with: the dialog layer (tests give a recorder), how it reads the
// F12 key, and the program's arguments after its name.
struct MainWindowStart {
    MessageDialogs* dialogs = nullptr; // null: real message boxes
    std::function<bool()> f12Held;     // null: read from the window system
    QStringList arguments;
};

// The settings of one of the file dialogs, changed with the chosen operation.
struct FileDialogSettings {
    QString title;
    int filterIndex = 1;
    QString defaultExtension;
    QString fileName;
};

class TOLKmixer : public QMainWindow, public MainWindowView {
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

    int ShowWindowMessage(int code);
    uint32_t SelectedBaudRate() const;
    void SelectOperation(int item);
    int ChosenOperation() const;

    ProtocolloMixer* CurrentOperation() const { return currentOperation_.get(); }
    TProgressione* Progress() const { return progress_; }
    TFormElencoFixture* FixturesWindow() const { return fixtures_; }
    const FileDialogSettings& OpenDialog() const { return openDialog_; }
    const FileDialogSettings& SaveDialog() const { return saveDialog_; }
    Ui::TOLKmixer& Form() const { return *ui_; }

public slots:
    void ScegliProtocolloClick();
    void AlwaysBackupClick();
    void StartClick();
    void ButtonInfoClick();
    void ButtonFixtureClick();
    void About1Click();
    void ByeClick();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FillPortList(const std::function<bool()>& f12Held);
    void SetUpLook();
    void ConnectHandlers();
    void ApplyDefaultNames();
    void ApplyCommandLine(const QStringList& arguments);
    void MakeStartFirstInTabOrder();
    void ResetDeskInfo();
    bool SendCheckPasses() const;
    bool ReceiveCheckPasses() const;
    void RefuseStart(QWidget* focus);
    void OperationEnded();
    void EndCurrentOperation();
    DisplayTargets Targets();
    Views AsViews();

    std::unique_ptr<Ui::TOLKmixer> ui_;
    std::unique_ptr<MessageDialogs> ownDialogs_;
    MessageDialogs& dialogs_;
    QButtonGroup* operations_;
    TProgressione* progress_;
    TFormElencoFixture* fixtures_;
    QtUiThread uiThread_{this};
    OverrideCursor cursor_;
    std::unique_ptr<LabelCaption> mixerName_;
    std::unique_ptr<LabelCaption> baudValue_;
    std::unique_ptr<MovingBar> greenBar_;
    OperationPtr<ProtocolloMixer> currentOperation_;

    QString defaultSendName_;
    QString defaultReceiveName_;
    FileDialogSettings openDialog_;
    FileDialogSettings saveDialog_;
    bool infoFlag_ = false;
    bool hideFixturesFlag_ = false;
};

} // namespace olk
