// The main window and the progress window, driven through their real controls.
#include "app/mainmixer.h"
#include "desk/desksimulator.h"
#include "fixtures/elencofixture.h"
#include "link/progressbar.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/settled.h"
#include "tests/support/testimages.h"
#include "ui_mainmixer.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace olk {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kInfoExchange = {0xE5, 0x57, 0xA4, 0x81, 0x00, 0xE1, 0x00, 0x00, 0xE6};
const std::string kNoDevice =
    "Warning: No Serial device available !\nPlese, check if any other program is using it !!\n"
    "Check if any other instance of this program is running !!!";

class MainWindowTest : public testing::Test {
protected:
    // A desk on COM1, so that the window starts without its no-port message.
    MainWindowTest() { StartDesk(); }

    void StartDesk(desk::DeskConfig config = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
    }

    void StartSlowDesk() { StartDesk(desk::test::SlowListDesk()); }

    std::unique_ptr<TOLKmixer> Open(QStringList arguments = {}, bool f12 = false)
    {
        MainWindowStart start;
        start.dialogs = &dialogs;
        start.f12Held = [f12] { return f12; };
        start.arguments = std::move(arguments);
        return std::make_unique<TOLKmixer>(start);
    }

    std::unique_ptr<TOLKmixer> OpenShown(QStringList arguments = {})
    {
        auto window = Open(std::move(arguments));
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    static bool WaitUntilIdle(const TOLKmixer& window)
    {
        return QTest::qWaitFor([&] { return window.CurrentOperation() == nullptr; }, 15000);
    }

    static QStringList Ports(const TOLKmixer& window)
    {
        QStringList names;
        for (int i = 0; i < window.Form().ListaCOM->count(); ++i)
            names << window.Form().ListaCOM->itemText(i);
        return names;
    }

    test::LinkEnvironment environment;
    test::RecordingDialogs dialogs;
    std::unique_ptr<desk::DeskSimulator> desk;
};

TEST_F(MainWindowTest, StartsWithThePortsThatOpenTheFirstOperationAndAutoBaud)
{
    desk::DeskSimulator other;
    environment.MapPorts({{"COM2", desk->DevicePath()}, {"COM6", other.DevicePath()}});
    auto window = OpenShown();
    const auto& form = window->Form();

    EXPECT_EQ(Ports(*window), (QStringList{"COM2", "COM6"}));
    EXPECT_EQ(form.ListaCOM->currentText(), "COM2");
    EXPECT_EQ(form.ListaBaudRate->currentText(), "   Auto");
    EXPECT_EQ(form.ListaBaudRate->count(), 8);
    EXPECT_EQ(window->ChosenOperation(), TOLKmixer::kFirmwareRevision);
    EXPECT_EQ(form.SendFileEdit->text(), "Send Firmware File to Mixer.HEX");
    EXPECT_EQ(form.ReceiveFileEdit->text(), "Receive File From Mixer and Backup.WRK");
    EXPECT_EQ(form.MixerName->text(), "________________");
    EXPECT_EQ(form.BaudValue->text(), "0");
    EXPECT_EQ(window->windowTitle(), "Quorbel");
    EXPECT_EQ(form.centralwidget->size(), QSize(546, 401));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(window->Progress()->isVisible());
    EXPECT_FALSE(window->FixturesWindow()->isVisible());
}

TEST_F(MainWindowTest, TheBaudListGivesTheRequestedRate)
{
    auto window = Open();
    const uint32_t rates[] = {0, 9600, 19200, 38400, 57600, 115200, 230400, 460800};
    for (int index = 0; index < 8; ++index) {
        window->Form().ListaBaudRate->setCurrentIndex(index);
        EXPECT_EQ(window->SelectedBaudRate(), rates[index]) << index;
    }
    window->Form().ListaBaudRate->setCurrentIndex(-1);
    EXPECT_EQ(window->SelectedBaudRate(), 0u);
}

TEST_F(MainWindowTest, HoldingF12ListsEveryNameWithoutProbing)
{
    environment.MapPorts({});
    auto window = Open({}, true);
    EXPECT_EQ(Ports(*window), (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, NoPortThatOpensSaysSoBeforeTheWindowShows)
{
    environment.MapPorts({});
    bool shownBeforeWindow = false;
    QWidget* constructed = nullptr;
    dialogs.onShow = [&](const std::string&) { shownBeforeWindow = constructed == nullptr; };
    auto window = Open();
    constructed = window.get();
    EXPECT_TRUE(shownBeforeWindow);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{kNoDevice});
    EXPECT_EQ(window->Form().ListaCOM->count(), 0);
    EXPECT_EQ(window->Form().ListaCOM->currentIndex(), -1);
}

struct ChoiceCase {
    int item;
    bool sendEnabled;
    bool receiveEnabled;
    const char* sendName;
    int openFilter;
    const char* openTitle;
    bool fixturesShown;
};

void PrintTo(const ChoiceCase& value, std::ostream* out)
{
    *out << value.item;
}

class OperationChoiceTest : public MainWindowTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(OperationChoiceTest, SetsTheBoxesNamesDialogsAndFixturesWindow)
{
    auto window = Open();
    auto& form = window->Form();
    form.SendFileEdit->setText("/shows/user typed.hex");
    form.MixerName->setText("    Korvan 1  ");
    window->SelectOperation(GetParam().item);

    EXPECT_EQ(form.SendFileEdit->isEnabled(), GetParam().sendEnabled);
    EXPECT_EQ(form.BrowseSend->isEnabled(), GetParam().sendEnabled);
    EXPECT_EQ(form.ReceiveFileEdit->isEnabled(), GetParam().receiveEnabled);
    EXPECT_EQ(form.BrowseReceive->isEnabled(), GetParam().receiveEnabled);
    EXPECT_EQ(form.SendFileEdit->text().toStdString(), GetParam().sendName); // the typed file is replaced
    EXPECT_EQ(form.ReceiveFileEdit->text(), "Receive File From Mixer and Backup.WRK");
    EXPECT_EQ(window->OpenDialog().fileName.toStdString(), GetParam().sendName);
    EXPECT_EQ(window->OpenDialog().filterIndex, GetParam().openFilter);
    EXPECT_EQ(window->OpenDialog().title.toStdString(), GetParam().openTitle);
    EXPECT_EQ(window->FixturesWindow()->isVisible(), GetParam().fixturesShown);
    EXPECT_EQ(form.MixerName->text(), "________________");
    EXPECT_EQ(form.Release->text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Items, OperationChoiceTest,
    testing::Values(ChoiceCase{TOLKmixer::kBackupUserData, false, true, "Send Firmware File to Mixer.HEX", 3, "Open", false},
                    ChoiceCase{TOLKmixer::kRestoreUserData, true, true, "Send File to Mixer.WRK", 1, "Open", false},
                    ChoiceCase{TOLKmixer::kFixtures, true, false, "Send Fixture File to Mixer.FXT", 2, "Add Fixture", true},
                    ChoiceCase{TOLKmixer::kNoOperation, false, false, "Send Firmware File to Mixer.HEX", 3, "Open", false}));

TEST_F(MainWindowTest, LeavingFixturesTitlesTheOpenDialogOpenAgainAndHidesTheFixtures)
{
    auto window = Open();
    window->SelectOperation(TOLKmixer::kFixtures);
    ASSERT_EQ(window->OpenDialog().title, "Add Fixture");
    window->SelectOperation(TOLKmixer::kFirmwareRevision);
    EXPECT_EQ(window->OpenDialog().title, "Open");
    EXPECT_EQ(window->OpenDialog().filterIndex, 3);
    EXPECT_FALSE(window->FixturesWindow()->isVisible());
    EXPECT_EQ(window->SaveDialog().defaultExtension, "FXT");
}

TEST_F(MainWindowTest, BackupBeforeRestoreOpensTheReceiveBoxOnlyForARestore)
{
    auto window = Open();
    auto& form = window->Form();
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    form.AlwaysBackup->setChecked(false);
    EXPECT_FALSE(form.ReceiveFileEdit->isEnabled());
    form.AlwaysBackup->setChecked(true);
    EXPECT_TRUE(form.ReceiveFileEdit->isEnabled());
    EXPECT_TRUE(form.BrowseReceive->isEnabled());
    window->SelectOperation(TOLKmixer::kFirmwareRevision);
    form.AlwaysBackup->setChecked(false);
    form.AlwaysBackup->setChecked(true);
    EXPECT_FALSE(form.ReceiveFileEdit->isEnabled());
}

TEST_F(MainWindowTest, TheFixturesPanelButtonChoosesFixtures)
{
    auto window = Open();
    QTest::mouseClick(window->Form().ButtonFixture, Qt::LeftButton);
    EXPECT_EQ(window->ChosenOperation(), TOLKmixer::kFixtures);
    EXPECT_TRUE(window->FixturesWindow()->isVisible());
}

struct StartCase {
    const char* what;
    int item;
    const char* sendText;
    const char* receiveText;
    const char* message;
    const char* focus;
};

void PrintTo(const StartCase& value, std::ostream* out)
{
    *out << value.what;
}

class StartRefusalTest : public MainWindowTest, public testing::WithParamInterface<StartCase> {};

TEST_P(StartRefusalTest, ShowsItsMessageAndFocusesTheBoxToFill)
{
    auto window = OpenShown();
    auto& form = window->Form();
    window->SelectOperation(GetParam().item);
    ASSERT_TRUE(WaitUntilIdle(*window)); // Fixtures first fetches the list
    if (GetParam().sendText)
        form.SendFileEdit->setText(GetParam().sendText);
    if (GetParam().receiveText)
        form.ReceiveFileEdit->setText(GetParam().receiveText);

    QTest::mouseClick(form.Start, Qt::LeftButton);

    EXPECT_EQ(dialogs.shown, std::vector<std::string>{GetParam().message});
    ASSERT_NE(window->focusWidget(), nullptr); // the fixtures manager may be the active window
    EXPECT_EQ(window->focusWidget()->objectName().toStdString(), GetParam().focus);
    EXPECT_EQ(window->CurrentOperation(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, StartRefusalTest,
    testing::Values(
        StartCase{"NoOperation", TOLKmixer::kNoOperation, nullptr, nullptr, "Warning: Select the Operation, please !", "Operation0"},
        StartCase{"DefaultNameInOtherCase", TOLKmixer::kFirmwareRevision, "send FIRMWARE file to mixer.hex", nullptr,
                  "Warning: Select the file, please !", "SendFileEdit"},
        StartCase{"FixtureDefaultName", TOLKmixer::kFixtures, nullptr, nullptr, "Warning: Select the file, please !",
                  "SendFileEdit"},
        StartCase{"BackupIntoNothing", TOLKmixer::kBackupUserData, nullptr, "", "Warning: Select the file, please !",
                  "ReceiveFileEdit"},
        StartCase{"BackupFirstUnnamed", TOLKmixer::kRestoreUserData, "/shows/a.wrk", nullptr,
                  "Warning: Select the file, please !", "ReceiveFileEdit"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(MainWindowTest, GetFirmwareInfoLeavesTheDeskOnViewAfterItEnds)
{
    desk::DeskConfig config;
    config.modelCode = 0x14;
    config.subCode = 0xA6;
    config.release = "4.02";
    StartDesk(config);
    auto window = OpenShown();

    QTest::mouseClick(window->Form().ButtonInfo, Qt::LeftButton);
    ASSERT_NE(window->CurrentOperation(), nullptr);
    ASSERT_TRUE(WaitUntilIdle(*window));

    EXPECT_EQ(window->Form().MixerName->text(), "   Duvessa    ");
    EXPECT_EQ(window->Form().Release->text(), "4.02");
    EXPECT_EQ(window->Form().BaudValue->text(), "0");
    EXPECT_EQ(window->Form().GreenBar->y(), 98);
    EXPECT_FALSE(window->Progress()->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(test::SettledBytesFromPc(*desk), kInfoExchange);
}

TEST_F(MainWindowTest, StartAndGetFirmwareInfoDoNothingWhileAnOperationRuns)
{
    StartSlowDesk();
    auto window = OpenShown();
    QTest::mouseClick(window->Form().ButtonInfo, Qt::LeftButton);
    ProtocolloMixer* running = window->CurrentOperation();
    ASSERT_NE(running, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Progress()->isVisible(); }, 10000));

    window->SelectOperation(TOLKmixer::kNoOperation);
    QTest::mouseClick(window->Form().Start, Qt::LeftButton);
    QTest::mouseClick(window->Form().ButtonInfo, Qt::LeftButton);

    EXPECT_EQ(window->CurrentOperation(), running);
    EXPECT_TRUE(dialogs.shown.empty());
    QTest::mouseClick(window->Progress()->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    EXPECT_TRUE(WaitUntilIdle(*window));
}

TEST_F(MainWindowTest, CancelInTheProgressWindowInterruptsAndSendsNothingMore)
{
    StartSlowDesk();
    auto window = OpenShown();
    QTest::mouseClick(window->Form().ButtonInfo, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Progress()->isVisible(); }, 10000));
    auto* cancel = window->Progress()->findChild<QPushButton*>("Button1");
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_EQ(window->Progress()->windowTitle(), "Connected to the mixer...            receiving data...");

    QTest::mouseClick(cancel, Qt::LeftButton);
    QTest::mouseClick(cancel, Qt::LeftButton); // a second press changes nothing
    ASSERT_TRUE(WaitUntilIdle(*window));

    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Information: Transmission interrupted by user."});
    EXPECT_EQ(test::SettledBytesFromPc(*desk), kInfoExchange);
    EXPECT_FALSE(window->Progress()->isVisible());
    EXPECT_EQ(window->Form().MixerName->text(), "    Korvan 1  ");
}

TEST_F(MainWindowTest, ExitWhileAnOperationRunsAsksAndNoKeepsItRunning)
{
    StartSlowDesk();
    auto window = OpenShown();
    QTest::mouseClick(window->Form().ButtonInfo, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Progress()->isVisible(); }, 10000));

    dialogs.answers = {kAnswerNo};
    QTest::mouseClick(window->Form().Bye, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Confirm: Are you sure you want to quit ?"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(window->CurrentOperation(), nullptr);

    dialogs.answers = {kAnswerYes};
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(window->Form().Bye, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->CurrentOperation(), nullptr);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
}

TEST_F(MainWindowTest, ClosingByTheFrameQuitsWithoutAsking)
{
    StartSlowDesk();
    auto window = OpenShown();
    QTest::mouseClick(window->Form().ButtonInfo, Qt::LeftButton);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->CurrentOperation(), nullptr);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, ExitWithNothingRunningQuitsAtOnce)
{
    auto window = OpenShown();
    QTest::mouseClick(window->Form().Bye, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, AWorkFileOnTheCommandLineChoosesRestoreWithStartFocused)
{
    auto window = OpenShown({"/shows/Gala Night.wrk"});
    EXPECT_EQ(window->ChosenOperation(), TOLKmixer::kRestoreUserData);
    EXPECT_EQ(window->Form().SendFileEdit->text(), "/shows/Gala Night.wrk");
    EXPECT_EQ(QApplication::focusWidget(), window->Form().Start);
}

TEST_F(MainWindowTest, AFixtureFileOnTheCommandLineChoosesFixturesWithStartFirst)
{
    auto window = Open({"/lib/Spot.fXt"});
    EXPECT_EQ(window->ChosenOperation(), TOLKmixer::kFixtures);
    EXPECT_TRUE(window->FixturesWindow()->isVisible());
    EXPECT_EQ(window->Form().SendFileEdit->text(), "/lib/Spot.fXt");
    EXPECT_EQ(window->Form().Start->nextInFocusChain(), window->Form().Operation0);
}

TEST_F(MainWindowTest, AFirmwareFileOnTheCommandLineKeepsFirmwareRevision)
{
    auto window = Open({"/fw/v5.HEX"});
    EXPECT_EQ(window->ChosenOperation(), TOLKmixer::kFirmwareRevision);
    EXPECT_EQ(window->Form().SendFileEdit->text(), "/fw/v5.HEX");
}

TEST_F(MainWindowTest, TheTabOrderFollowsTheForm)
{
    auto window = Open();
    auto& form = window->Form();
    const QList<QWidget*> order = {form.AlwaysBackup,    form.ListaCOM,   form.ListaBaudRate, form.ReceiveFileEdit,
                                   form.BrowseReceive,  form.SendFileEdit, form.BrowseSend,  form.Start,
                                   form.ManageDescription, form.Bye};
    QWidget* previous = form.Operation3;
    for (QWidget* next : order) {
        EXPECT_EQ(previous->nextInFocusChain(), next) << previous->objectName().toStdString();
        previous = next;
    }
}

TEST_F(MainWindowTest, TheProgressWindowIsAnOnTopToolWindowWithoutCloseButton)
{
    auto window = Open();
    TProgressione& progress = *window->Progress();
    EXPECT_EQ(progress.size(), QSize(385, 61));
    EXPECT_TRUE(progress.windowFlags() & Qt::Tool);
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(progress.CancelVisible());
    auto* cancel = progress.findChild<QPushButton*>("Button1");
    EXPECT_TRUE(cancel->isDefault());
    progress.Show();
    EXPECT_FALSE(progress.close()); // the user cannot close it
    QTest::keyClick(&progress, Qt::Key_Escape);
    EXPECT_TRUE(progress.isVisible());
    progress.Hide();
}

} // namespace
} // namespace olk
