#include "app/mainmixer.h"

#include "app/filetypes.h"
#include "app/formaboutbox.h"
#include "app/messagedialogs.h"
#include "app/workdirectory.h"
#include "app/windowmessages.h"
#include "descriptions/descriptionedit.h"
#include "descriptions/managedescription.h"
#include "firmware/aggiornafirmware.h"
#include "fixtures/addfixture.h"
#include "fixtures/elencofixture.h"
#include "fixtures/getfixture.h"
#include "fixtures/removefixture.h"
#include "fixtures/savefixture.h"
#include "fixtures/richiedielencofxt.h"
#include "link/getinfo.h"
#include "link/portaseriale.h"
#include "link/progressbar.h"
#include "platform/keystate.h"
#include "platform/ansitext.h"
#include "platform/portmap.h"
#include "userdata/backupuserdata.h"
#include "userdata/datafile.h"
#include "userdata/restoreuserdata.h"
#include "ui_mainmixer.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace olk {
namespace {

constexpr QEvent::Type kOperationEndedEvent = static_cast<QEvent::Type>(QEvent::User + 1);

const char* const kNoMixerName = "________________";
const char* const kFirmwareSendName = "Send Firmware File to Mixer.HEX";
const char* const kWorkSendName = "Send File to Mixer.WRK";
const char* const kFixtureSendName = "Send Fixture File to Mixer.FXT";
const char* const kReceiveName = "Receive File From Mixer and Backup.WRK";

// Open dialog filter indexes: work, fixture and firmware files.
constexpr int kWorkFilter = 1;
constexpr int kFixtureFilter = 2;
constexpr int kFirmwareFilter = 3;

const char* const kOpenFilter =
    "Work files (*.WRK)|*.WRK|Fixture files (*.FXT)|*.FXT|Firmware files (*.HEX)|*.HEX|All (*.*)|*.*";
const char* const kSaveFilter = "Work files (*.WRK)|*.WRK|Fixture files (*.FXT)|*.FXT|All (*.*)|*.*";

QString Shown(const std::string& ansi)
{
    return QString::fromStdString(AnsiToUtf8(ansi));
}

constexpr uint32_t kBaudRates[] = {0, 9600, 19200, 38400, 57600, 115200, 230400, 460800};
const char* const kBaudItems[] = {"   Auto", "    9.600", "  19.200", "  38.400",
                                  "  57.600", "115.200",   "230.400",  "460.800"};

std::vector<std::string> IconImages()
{
    std::vector<std::string> images;
    for (const char* icon : kOlkIconNames) {
        QFile file(QString(":/images/") + icon);
        file.open(QIODevice::ReadOnly);
        images.push_back(file.readAll().toStdString());
    }
    return images;
}

std::string FileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool RunningOnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TOLKmixer::TOLKmixer(const MainWindowStart& start)
    : ui_(std::make_unique<Ui::TOLKmixer>()),
      ownDialogs_(start.dialogs ? nullptr : std::make_unique<QtMessageDialogs>(this)),
      dialogs_(start.dialogs ? *start.dialogs : *ownDialogs_),
      ownFiles_(start.files ? nullptr : std::make_unique<QtFileChooser>()),
      files_(start.files ? *start.files : *ownFiles_)
{
    ui_->setupUi(this);
    SetUpLook();
    FillPortList(start.f12Held ? start.f12Held : [] { return RunningOnX11() && IsF12Held(); });
    chooseDirectory_ = new TChooseDirectory(this, [this](const QString& path) { SetDefaultDirectory(path); });
    ReadSettings();
    for (const char* item : kBaudItems)
        ui_->ListaBaudRate->addItem(item);
    ui_->ListaBaudRate->setCurrentIndex(0);
    defaultSendName_ = kFirmwareSendName;
    defaultReceiveName_ = kReceiveName;
    ApplyDefaultNames();
    mixerName_ = std::make_unique<LabelCaption>(ui_->MixerName);
    baudValue_ = std::make_unique<LabelCaption>(ui_->BaudValue);
    greenBar_ = std::make_unique<MovingBar>(ui_->GreenBar);
    progress_ = new TProgressione(this);
    fixtures_ = new TFormElencoFixture(this, *this, dialogs_);
    openDialog_ = {"Open", kOpenFilter, kFirmwareFilter, "HEX", defaultSendName_};
    saveDialog_ = {"Save File", kSaveFilter, kWorkFilter, "WRK", "Data User Backup.WRK"};
    ConnectHandlers();
    SelectOperation(kFirmwareRevision);
    ApplyCommandLine(start.arguments);
}

TOLKmixer::~TOLKmixer() = default;

void TOLKmixer::SetUpLook()
{
    setFixedSize(546, 401 + ui_->OptionsMenu->sizeHint().height());
    setWindowIcon(QIcon(":/images/olkmixer.png"));
    ui_->Image1->setPixmap(QPixmap(":/images/logo.png"));
    ui_->BrowseReceive->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui_->BrowseSend->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    auto* policies = new QActionGroup(this);
    policies->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    policies->addAction(ui_->Always);
    policies->addAction(ui_->Never);
    operations_ = new QButtonGroup(this);
    const QList<QRadioButton*> items = {ui_->Operation0, ui_->Operation1, ui_->Operation2, ui_->Operation3};
    for (int i = 0; i < items.size(); ++i)
        operations_->addButton(items[i], i);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TOLKmixer::ConnectHandlers()
{
    connect(operations_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            ScegliProtocolloClick();
    });
    connect(ui_->AlwaysBackup, &QCheckBox::toggled, this, &TOLKmixer::AlwaysBackupClick);
    connect(ui_->Start, &QPushButton::clicked, this, &TOLKmixer::StartClick);
    connect(ui_->ButtonInfo, &QPushButton::clicked, this, &TOLKmixer::ButtonInfoClick);
    connect(ui_->ButtonFixture, &QPushButton::clicked, this, &TOLKmixer::ButtonFixtureClick);
    connect(ui_->ManageDescription, &QPushButton::clicked, this, &TOLKmixer::ManageDescriptionClick);
    connect(ui_->Bye, &QPushButton::clicked, this, &TOLKmixer::ByeClick);
    connect(ui_->About1, &QAction::triggered, this, &TOLKmixer::About1Click);
    ConnectMenuItem(ui_->Always, &TOLKmixer::AlwaysClick);
    ConnectMenuItem(ui_->Never, &TOLKmixer::NeverClick);
    ConnectMenuItem(ui_->DefaultDirectory1, &TOLKmixer::DefaultDirectoryClick);
    connect(ui_->BrowseSend, &QPushButton::clicked, this, &TOLKmixer::BrowseSendClick);
    connect(ui_->BrowseReceive, &QPushButton::clicked, this, &TOLKmixer::BrowseReceiveClick);
    connect(ui_->SendFileEdit, &QLineEdit::textChanged, this, &TOLKmixer::SendFileEditChange);
    connect(ui_->ReceiveFileEdit, &QLineEdit::textChanged, this, &TOLKmixer::ReceiveFileEditChange);
}

// Lists the COM names that open now, or all eight while F12 is held at start-up, so that a port
// another program holds can still be chosen.
void TOLKmixer::FillPortList(const std::function<bool()>& f12Held)
{
    const bool listAll = f12Held();
    for (const auto& name : ComPortNames())
        if (listAll || PortExists(name))
            ui_->ListaCOM->addItem(QString::fromStdString(name));
    if (ui_->ListaCOM->count() == 0) {
        ShowWindowMessage(kNoSerialDevice);
        ui_->ListaCOM->setCurrentIndex(-1);
    } else {
        ui_->ListaCOM->setCurrentIndex(0);
    }
}

// A checkable menu item turns its own check mark over before its handler runs. The handlers
// decide from the mark as it stood and set every mark themselves, so the turn is taken back
// first; a handler run from the start-up settings then sees the same marks a click would.
void TOLKmixer::ConnectMenuItem(QAction* item, void (TOLKmixer::*handler)())
{
    connect(item, &QAction::triggered, this, [this, item, handler] {
        item->setChecked(!item->isChecked());
        (this->*handler)();
    });
}

// Nothing here is reported: where the settings or the desktop files cannot be written, the
// program runs on with its defaults.
void TOLKmixer::ReadSettings()
{
    RegisterFileTypes();
    settings_.Create();
    if (const auto backup = settings_.Read("", kBackupSetting, kBackupSettingLimit)) {
        if (backup->rfind('A', 0) == 0)
            AlwaysClick();
        else if (backup->rfind('N', 0) == 0)
            NeverClick();
    }
    if (const auto directory = settings_.Read("", kDirectorySetting, kDirectorySettingLimit)) {
        ui_->DefaultDirectory1->setChecked(true);
        defaultDirectory_ = QFile::decodeName(QByteArray::fromStdString(*directory));
    }
    if (const auto port = settings_.Read("", kComSetting, kComSettingLimit))
        ui_->ListaCOM->setCurrentIndex(ui_->ListaCOM->findText(QString::fromStdString(*port), Qt::MatchFixedString));
}

// Every start makes this program the handler of its file types again, whatever took them since.
void TOLKmixer::RegisterFileTypes()
{
    FileAssociations associations = FileAssociations::ForCurrentUser(IconImages());
    RegisterOlkFileTypes(associations);
}

void TOLKmixer::AlwaysClick()
{
    TogglePolicy(ui_->Always, "A", true);
}

void TOLKmixer::NeverClick()
{
    TogglePolicy(ui_->Never, "N", false);
}

// A checked policy item goes back to no fixed policy and frees the box, whose state stays; an
// unchecked one fixes its policy, sets the box to match and locks it. Checking one item of the
// group unchecks the other.
void TOLKmixer::TogglePolicy(QAction* item, const char* value, bool backupFirst)
{
    if (item->isChecked()) {
        settings_.Write("", kBackupSetting, "?");
        item->setChecked(false);
        ui_->AlwaysBackup->setEnabled(true);
        return;
    }
    settings_.Write("", kBackupSetting, value);
    ui_->AlwaysBackup->setChecked(backupFirst);
    ui_->AlwaysBackup->setEnabled(false);
    item->setChecked(true);
}

void TOLKmixer::SetDefaultDirectory(const QString& path)
{
    if (path.isEmpty()) {
        defaultDirectory_.clear();
        settings_.Remove("", kDirectorySetting);
        ui_->DefaultDirectory1->setChecked(false);
        return;
    }
    settings_.Write("", kDirectorySetting, FileName(path));
    defaultDirectory_ = path;
    ui_->DefaultDirectory1->setChecked(true);
}

void TOLKmixer::DefaultDirectoryClick()
{
    // An empty default leaves the list where it stands; the label then names that directory.
    chooseDirectory_->SetDirectory(defaultDirectory_);
    chooseDirectory_->show();
    chooseDirectory_->raise();
    chooseDirectory_->activateWindow();
}

void TOLKmixer::ApplyDefaultNames()
{
    ui_->ReceiveFileEdit->setText(defaultReceiveName_);
    ui_->SendFileEdit->setText(defaultSendName_);
    openDialog_.fileName = defaultSendName_;
}

void TOLKmixer::ApplyCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return;
    const QString path = arguments.first();
    const QString extension = QFileInfo(path).suffix();
    const bool fixture = extension.compare("FXT", Qt::CaseInsensitive) == 0;
    if (extension.compare("WRK", Qt::CaseInsensitive) == 0)
        SelectOperation(kRestoreUserData);
    if (fixture) {
        MakeStartFirstInTabOrder();
        hideFixturesFlag_ = true;
        SelectOperation(kFixtures);
    } else {
        ui_->Start->setFocus();
    }
    ui_->SendFileEdit->setText(path);
}

void TOLKmixer::MakeStartFirstInTabOrder()
{
    QWidget* previous = ui_->Start;
    for (QWidget* next : QList<QWidget*>{ui_->Operation0, ui_->Operation1, ui_->Operation2, ui_->Operation3,
                                         ui_->AlwaysBackup, ui_->ListaCOM, ui_->ListaBaudRate, ui_->ReceiveFileEdit,
                                         ui_->BrowseReceive, ui_->SendFileEdit, ui_->BrowseSend,
                                         ui_->ManageDescription, ui_->Bye, ui_->ButtonInfo, ui_->ButtonFixture}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

int TOLKmixer::ShowWindowMessage(int code)
{
    const DialogMessage* message = FindWindowMessage(code);
    if (!message)
        return 0;
    const int answer = dialogs_.Show(message->text, message->kind, message->buttons);
    return message->buttons == DialogButtons::YesNo ? answer : 0;
}

uint32_t TOLKmixer::SelectedBaudRate() const
{
    const int index = ui_->ListaBaudRate->currentIndex();
    return index >= 1 && index < static_cast<int>(std::size(kBaudRates)) ? kBaudRates[index] : 0;
}

void TOLKmixer::SelectOperation(int item)
{
    if (item == kNoOperation) {
        operations_->setExclusive(false);
        if (QAbstractButton* checked = operations_->checkedButton())
            checked->setChecked(false);
        operations_->setExclusive(true);
        ScegliProtocolloClick();
        return;
    }
    operations_->button(item)->setChecked(true);
}

int TOLKmixer::ChosenOperation() const
{
    return operations_->checkedId();
}

void TOLKmixer::ResetDeskInfo()
{
    ui_->MixerName->setText(kNoMixerName);
    ui_->Release->clear();
}

void TOLKmixer::ScegliProtocolloClick()
{
    ResetDeskInfo();
    for (QWidget* control : QList<QWidget*>{ui_->ReceiveFileEdit, ui_->SendFileEdit, ui_->BrowseReceive, ui_->BrowseSend})
        control->setEnabled(false);
    openDialog_.title = "Open";
    fixtures_->hide();
    const int item = ChosenOperation();
    const bool sends = item == kFirmwareRevision || item == kRestoreUserData || item == kFixtures;
    const bool receives = item == kBackupUserData || (item == kRestoreUserData && ui_->AlwaysBackup->isChecked());
    ui_->SendFileEdit->setEnabled(sends);
    ui_->BrowseSend->setEnabled(sends);
    ui_->ReceiveFileEdit->setEnabled(receives);
    ui_->BrowseReceive->setEnabled(receives);
    switch (item) {
    case kFirmwareRevision:
        defaultSendName_ = kFirmwareSendName;
        openDialog_.filterIndex = kFirmwareFilter;
        break;
    case kBackupUserData:
        defaultReceiveName_ = kReceiveName;
        saveDialog_.filterIndex = kWorkFilter;
        saveDialog_.defaultExtension = "WRK";
        break;
    case kRestoreUserData:
        defaultSendName_ = kWorkSendName;
        defaultReceiveName_ = kReceiveName;
        openDialog_.filterIndex = kWorkFilter;
        saveDialog_.filterIndex = kWorkFilter;
        saveDialog_.defaultExtension = "WRK";
        break;
    case kFixtures:
        defaultSendName_ = kFixtureSendName;
        openDialog_.filterIndex = kFixtureFilter;
        saveDialog_.filterIndex = kFixtureFilter;
        saveDialog_.defaultExtension = "FXT";
        fixtures_->show();
        openDialog_.title = "Add Fixture";
        RequestFixtureList();
        break;
    default:
        break;
    }
    ApplyDefaultNames();
}

void TOLKmixer::AlwaysBackupClick()
{
    if (ChosenOperation() != kRestoreUserData)
        return;
    const bool backupFirst = ui_->AlwaysBackup->isChecked();
    ui_->ReceiveFileEdit->setEnabled(backupFirst);
    ui_->BrowseReceive->setEnabled(backupFirst);
}

bool TOLKmixer::SendCheckPasses() const
{
    return ui_->SendFileEdit->text().compare(defaultSendName_, Qt::CaseInsensitive) != 0;
}

bool TOLKmixer::ReceiveCheckPasses() const
{
    const QString text = ui_->ReceiveFileEdit->text();
    return !text.isEmpty() && text.compare(defaultReceiveName_, Qt::CaseInsensitive) != 0;
}

void TOLKmixer::RefuseStart(QWidget* focus)
{
    ShowWindowMessage(kSelectFile);
    focus->setFocus();
}

void TOLKmixer::StartClick()
{
    if (currentOperation_)
        return;
    const int item = ChosenOperation();
    if (item == kNoOperation) {
        ShowWindowMessage(kSelectOperation);
        ui_->Operation0->setFocus();
        return;
    }
    if (item == kBackupUserData) {
        StartBackup();
        return;
    }
    if (!SendCheckPasses()) {
        RefuseStart(ui_->SendFileEdit);
        return;
    }
    if (item == kFirmwareRevision)
        PrepareAndStart(MakeOperation<AggiornaFirmware>(PortName(), Targets(), AsViews()), ui_->SendFileEdit->text(),
                        ui_->SendFileEdit);
    else if (item == kRestoreUserData)
        StartRestore();
    else
        PrepareAndStart(MakeOperation<AddFixture>(PortName(), SelectedBaudRate(), Targets(), AsViews(), *fixtures_),
                        ui_->SendFileEdit->text(), ui_->SendFileEdit);
}

std::string TOLKmixer::PortName() const
{
    return ui_->ListaCOM->currentText().toStdString();
}

// With the backup first, the first Start backs the desk up and the end of that backup presses
// Start again for the restore; a backup that fails clears the flag and no restore follows.
void TOLKmixer::StartRestore()
{
    if (ui_->AlwaysBackup->isChecked() && !chainFlag_) {
        chainFlag_ = StartBackup();
        return;
    }
    chainFlag_ = false;
    PrepareAndStart(MakeOperation<RestoreUserData>(PortName(), SelectedBaudRate(), Targets(), AsViews()),
                    ui_->SendFileEdit->text(), ui_->SendFileEdit);
}

bool TOLKmixer::StartBackup()
{
    if (!ReceiveCheckPasses()) {
        RefuseStart(ui_->ReceiveFileEdit);
        return false;
    }
    return PrepareAndStart(MakeOperation<BackupUserData>(PortName(), SelectedBaudRate(), Targets(), AsViews()),
                           ui_->ReceiveFileEdit->text(), ui_->ReceiveFileEdit);
}

// A refused Prepare has reported already; its notice destroys the never-started thread.
bool TOLKmixer::PrepareAndStart(OperationPtr<ProtocolloMixer> operation, const QString& argument,
                                QWidget* focusOnRefusal)
{
    currentOperation_ = std::move(operation);
    const bool prepared = currentOperation_->Prepare(FileName(argument)) != 0;
    if (prepared)
        currentOperation_->StartOperation(true);
    else
        focusOnRefusal->setFocus();
    return prepared;
}

DisplayTargets TOLKmixer::Targets()
{
    return DisplayTargets{*mixerName_, *this, *greenBar_, *baudValue_};
}

Views TOLKmixer::AsViews()
{
    return Views{uiThread_, *progress_, dialogs_, cursor_};
}

void TOLKmixer::ButtonInfoClick()
{
    if (currentOperation_)
        return;
    infoFlag_ = true;
    currentOperation_ = MakeOperation<GetInfo>(PortName(), SelectedBaudRate(), Targets(), AsViews());
    currentOperation_->StartOperation(true);
}

void TOLKmixer::ButtonFixtureClick()
{
    fixtures_->show();
    if (ChosenOperation() != kFixtures)
        SelectOperation(kFixtures);
}

// Made at its first use and kept until Exit, so edits left in it survive hiding it.
void TOLKmixer::ManageDescriptionClick()
{
    if (!descriptionManager_)
        descriptionManager_ = new TDescriptionManager(this, dialogs_);
    descriptionManager_->show();
    descriptionManager_->raise();
    descriptionManager_->activateWindow();
}

void TOLKmixer::About1Click()
{
    TAboutBox about(this);
    about.exec();
}

void TOLKmixer::Repaint()
{
    repaint();
}

void TOLKmixer::SetRelease(const std::string& text)
{
    LabelCaption(ui_->Release).SetCaption(text);
}

void TOLKmixer::ClearChainFlag()
{
    chainFlag_ = false;
}

void TOLKmixer::SetRefreshListFlag()
{
    refreshListFlag_ = true;
}

void TOLKmixer::RequestFixtureList()
{
    fixtures_->ClearList();
    if (currentOperation_)
        return;
    currentOperation_ =
        MakeOperation<RichiediElencoFXT>(PortName(), SelectedBaudRate(), Targets(), AsViews(), *fixtures_);
    currentOperation_->StartOperation(true);
}

void TOLKmixer::StartWithName(OperationPtr<ProtocolloMixer> operation, const std::string& name)
{
    if (currentOperation_)
        return;
    currentOperation_ = std::move(operation);
    currentOperation_->Prepare(name);
    currentOperation_->StartOperation(true);
}

void TOLKmixer::StartGetFixture(const std::string& name)
{
    if (!currentOperation_)
        StartWithName(MakeOperation<GetFixture>(PortName(), SelectedBaudRate(), Targets(), AsViews(), *fixtures_), name);
}

void TOLKmixer::StartRemoveFixture(const std::string& name)
{
    if (!currentOperation_)
        StartWithName(MakeOperation<RemoveFixture>(PortName(), SelectedBaudRate(), Targets(), AsViews()), name);
}

void TOLKmixer::SaveFixture()
{
    if (fixtures_->DownloadedUnits() == 0)
        return;
    FileDialogSettings settings = saveDialog_;
    settings.fileName = Shown(fixtures_->SelectedFixtureName()) + ".FXT";
    const QString path = files_.ChooseToSave(this, settings, defaultDirectory_);
    if (path.isEmpty())
        return;
    const auto overwriteAllowed = [this] { return ShowWindowMessage(kAskOverwriteFixture) != kAnswerNo; };
    if (const int message = SaveFixtureFile(FileName(path), fixtures_->DownloadedFixture(), overwriteAllowed))
        ShowWindowMessage(message);
}

void TOLKmixer::ChooseOperationAgain()
{
    ScegliProtocolloClick();
}

void TOLKmixer::BrowseForFixtureToAdd()
{
    BrowseSendClick();
}

void TOLKmixer::ShowMainWindow()
{
    show();
    raise();
    activateWindow();
}

bool TOLKmixer::OperationRunning() const
{
    return currentOperation_ != nullptr;
}

void TOLKmixer::ShowReceivedDescription(const std::string& text)
{
    ui_->DescriptionReceive->setPlainText(Shown(text));
}

// The editor belongs to the backup that fills it: each backup gets a fresh one.
void TOLKmixer::PrepareDescriptionEditor(int fileHandle, const std::string& description)
{
    if (!editor_)
        editor_ = new TEditDescription(this, dialogs_, [this] { ReceiveFileEditChange(); });
    editor_->SetFileHandle(fileHandle);
    editor_->SetText(description);
}

void TOLKmixer::ShowDescriptionEditor()
{
    if (editor_)
        editor_->exec();
}

void TOLKmixer::FreeDescriptionEditor()
{
    delete editor_;
    editor_ = nullptr;
}

// A file chosen after the fixtures manager's Add is added to the desk at once.
void TOLKmixer::BrowseSendClick()
{
    const QString path = files_.ChooseToOpen(this, openDialog_, defaultDirectory_);
    if (path.isEmpty())
        return;
    ui_->SendFileEdit->setText(path);
    if (ChosenOperation() == kFixtures && fixtures_->AddRequested()) {
        fixtures_->ClearAddRequest();
        StartClick();
    }
}

void TOLKmixer::BrowseReceiveClick()
{
    const QString path = files_.ChooseToSave(this, saveDialog_, defaultDirectory_);
    if (!path.isEmpty())
        ui_->ReceiveFileEdit->setText(path);
}

void TOLKmixer::ClearSendPreview()
{
    ui_->DescriptionSend->clear();
    ui_->InfoSendFile->clear();
}

// What the file to send holds, from its header, when it is a well-formed data file.
void TOLKmixer::SendFileEditChange()
{
    ClearSendPreview();
    const auto header = datafile::ReadWellFormedHeader(FileName(ui_->SendFileEdit->text()));
    if (!header)
        return;
    ui_->InfoSendFile->setText(Shown(datafile::ModelAndReleaseLine(header->data())));
    ui_->DescriptionSend->setPlainText(Shown(datafile::PreviewText(datafile::Description(header->data()))));
}

// The description of the file a backup would replace; the receive side shows no model.
void TOLKmixer::ReceiveFileEditChange()
{
    ui_->DescriptionReceive->clear();
    const auto header = datafile::ReadWellFormedHeader(FileName(ui_->ReceiveFileEdit->text()));
    if (header)
        ui_->DescriptionReceive->setPlainText(Shown(datafile::PreviewText(datafile::Description(header->data()))));
}

void TOLKmixer::PostOperationEnded()
{
    QCoreApplication::postEvent(this, new QEvent(kOperationEndedEvent));
}

bool TOLKmixer::event(QEvent* event)
{
    if (event->type() == kOperationEndedEvent) {
        OperationEnded();
        return true;
    }
    return QMainWindow::event(event);
}

void TOLKmixer::OperationEnded()
{
    if (currentOperation_ &&
        (currentOperation_->ClassNameIs("GetFixture") || currentOperation_->ClassNameIs("RemoveFixture")))
        fixtures_->UnlockAfterOperation();
    EndCurrentOperation();
    if (ChosenOperation() != kFixtures && !infoFlag_)
        ResetDeskInfo();
    infoFlag_ = false;
    if (chainFlag_)
        StartClick();
    if (refreshListFlag_) {
        refreshListFlag_ = false;
        RequestFixtureList();
    }
    if (hideFixturesFlag_) {
        fixtures_->hide();
        hideFixturesFlag_ = false;
    }
}

// Destroying a thread object stops its body and waits for it: a body still talking to the desk
// gives up at its next read, so this never waits longer than one read timeout.
void TOLKmixer::EndCurrentOperation()
{
    currentOperation_.reset();
}

void TOLKmixer::ByeClick()
{
    if (currentOperation_ && ShowWindowMessage(kAskQuit) == kAnswerNo)
        return;
    SettingsStore::ForCurrentUser().Write("", kComSetting, PortName());
    delete descriptionManager_;
    descriptionManager_ = nullptr;
    close();
}

// Closing by the frame asks nothing; a running operation is stopped before the window goes.
void TOLKmixer::closeEvent(QCloseEvent* event)
{
    EndCurrentOperation();
    progress_->hide();
    event->accept();
}

} // namespace olk
