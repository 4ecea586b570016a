// The fixture library through the real windows: the main window, the fixtures manager and the
// desk simulator, from the list to saving, adding and removing a fixture.
#include "app/mainmixer.h"
#include "desk/desksimulator.h"
#include "fixtures/elencofixture.h"
#include "tests/gui/scriptedfiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/settled.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "ui_mainmixer.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace olk {
namespace {

using test::Bytes;

class FixturesFlowTest : public testing::Test {
protected:
    void Open(desk::DeskConfig config = DefaultDesk(), QStringList arguments = {})
    {
        desk = std::make_unique<desk::DeskSimulator>(std::move(config));
        environment.MapPorts({{"COM1", desk->DevicePath()}});
        MainWindowStart start;
        start.dialogs = &dialogs;
        start.files = &files;
        start.f12Held = [] { return false; };
        start.arguments = std::move(arguments);
        window = std::make_unique<TOLKmixer>(start);
        window->show();
    }

    static desk::DeskConfig DefaultDesk()
    {
        desk::DeskConfig config;
        config.fixtures = desk::test::Library(5);
        return config;
    }

    TFormElencoFixture& Fixtures() const { return *window->FixturesWindow(); }
    QListWidget* List() const { return Fixtures().findChild<QListWidget*>("ListFixtures"); }
    QPushButton* Button(const char* name) const { return Fixtures().findChild<QPushButton*>(name); }
    QString Caption(const char* name) const { return Fixtures().findChild<QLabel*>(name)->text(); }
    std::string PathOf(const std::string& name) const { return environment.Directory() + "/" + name; }

    bool WaitUntilIdle() const
    {
        return QTest::qWaitFor([&] { return window->CurrentOperation() == nullptr; }, 20000);
    }

    void ChooseFixtures()
    {
        window->SelectOperation(TOLKmixer::kFixtures);
        ASSERT_TRUE(WaitUntilIdle());
    }

    void Download(const QString& name)
    {
        QListWidgetItem* item = List()->findItems(name, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
        ASSERT_TRUE(WaitUntilIdle());
    }

    QStringList ListedNames() const
    {
        QStringList names;
        for (int i = 0; i < List()->count(); ++i)
            names << List()->item(i)->text();
        return names;
    }

    test::LinkEnvironment environment;
    test::RecordingDialogs dialogs;
    test::ScriptedFiles files;
    std::unique_ptr<desk::DeskSimulator> desk;
    std::unique_ptr<TOLKmixer> window;
};

TEST_F(FixturesFlowTest, ChoosingFixturesShowsTheListCountAndFreeMemory)
{
    Open();
    ChooseFixtures();
    EXPECT_TRUE(Fixtures().isVisible());
    EXPECT_EQ(ListedNames(), (QStringList{"FIX0", "FIX1", "FIX2", "FIX3", "FIX4"}));
    EXPECT_EQ(Caption("NumberFixtures"), "5");
    EXPECT_EQ(Caption("Free_mem"), "195 KB");
    EXPECT_TRUE(Button("ButtonAdd")->isEnabled());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FixturesFlowTest, SelectingANameDownloadsItAndSavesItByteForByte)
{
    Open();
    ChooseFixtures();
    Download("FIX2");

    EXPECT_TRUE(Fixtures().isEnabled());
    EXPECT_TRUE(Button("ButtonSave")->isEnabled());
    EXPECT_TRUE(Button("ButtonRemove")->isEnabled());
    EXPECT_EQ(Fixtures().DownloadedFixture(), desk->Fixtures()[2].file);

    const std::string path = PathOf("FIX2.FXT");
    files.answers = {QString::fromStdString(path)};
    QTest::mouseClick(Button("ButtonSave"), Qt::LeftButton);

    EXPECT_EQ(files.asked.back().fileName, "FIX2.FXT");
    EXPECT_EQ(files.asked.back().title, "Save File");
    EXPECT_EQ(files.asked.back().defaultExtension, "FXT");
    EXPECT_EQ(files.directories.last(), ""); // no default directory set
    EXPECT_EQ(test::ReadFile(path), desk->Fixtures()[2].file);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Information: The Fixture has been saved !"});
}

TEST_F(FixturesFlowTest, SavingOverAFileAsksAndNoLeavesItYesReplacesIt)
{
    Open();
    ChooseFixtures();
    Download("FIX1");
    const std::string path = PathOf("old.fxt");
    const Bytes old(300, 0x33);
    test::WriteFile(path, old);

    dialogs.answers = {kAnswerNo};
    files.answers = {QString::fromStdString(path)};
    QTest::mouseClick(Button("ButtonSave"), Qt::LeftButton);
    EXPECT_EQ(test::ReadFile(path), old);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Confirm: File already exist!\nOverwrite?"});

    dialogs.shown.clear();
    dialogs.answers = {kAnswerYes};
    files.answers = {QString::fromStdString(path)};
    QTest::mouseClick(Button("ButtonSave"), Qt::LeftButton);
    EXPECT_EQ(test::ReadFile(path), desk->Fixtures()[1].file);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"Confirm: File already exist!\nOverwrite?",
                                                       "Information: The Fixture has been saved !"}));
    EXPECT_EQ(environment.FileNames(), std::vector<std::string>{"old.fxt"});
}

TEST_F(FixturesFlowTest, AFileThatCannotBeCreatedIsReportedWithoutTheQuestion)
{
    Open();
    ChooseFixtures();
    Download("FIX0");
    files.answers = {QString::fromStdString(PathOf("missing directory/x.fxt"))};
    QTest::mouseClick(Button("ButtonSave"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Error: Cannot create file!"});
}

TEST_F(FixturesFlowTest, AnUnknownNameIsReportedOnceAndSaveAndDeleteStayOff)
{
    desk::DeskConfig config = DefaultDesk();
    config.fixtures.push_back({"GHOST", {}}); // listed, but the desk holds nothing under it
    Open(config);
    ChooseFixtures();
    Download("GHOST");
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Error: Fixture doesn't exist!"});
    EXPECT_FALSE(Button("ButtonSave")->isEnabled());
    EXPECT_FALSE(Button("ButtonRemove")->isEnabled());
    EXPECT_TRUE(Fixtures().isEnabled());
}

TEST_F(FixturesFlowTest, DeleteRemovesTheFixtureAndTheListComesBackWithoutIt)
{
    Open();
    ChooseFixtures();
    Download("FIX3");
    dialogs.answers = {kAnswerYes};
    QTest::mouseClick(Button("ButtonRemove"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->CurrentOperation() && ListedNames().size() == 4; }, 20000));
    ASSERT_TRUE(WaitUntilIdle());

    EXPECT_EQ(ListedNames(), (QStringList{"FIX0", "FIX1", "FIX2", "FIX4"}));
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"Confirm: Remove Fixture ?", "Information: Fixture removed !"}));
    EXPECT_FALSE(Button("ButtonSave")->isEnabled());
}

TEST_F(FixturesFlowTest, AddAsksForAFileAndStartsAtOnceThenTheListIsFetchedAgain)
{
    Open();
    ChooseFixtures();
    const std::string path = PathOf("wash.fxt");
    test::WriteFile(path, desk::test::FixtureFile("WASH", 500));

    files.answers = {""}; // Cancel first: the request stays for the next Browse
    QTest::mouseClick(Button("ButtonAdd"), Qt::LeftButton);
    EXPECT_TRUE(Fixtures().AddRequested());
    EXPECT_EQ(files.asked.back().title, "Add Fixture");
    EXPECT_EQ(window->CurrentOperation(), nullptr);

    files.answers = {QString::fromStdString(path)};
    QTest::mouseClick(window->Form().BrowseSend, Qt::LeftButton);
    EXPECT_FALSE(Fixtures().AddRequested());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ListedNames().contains("WASH") && !window->CurrentOperation(); }, 20000));

    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Information: The mixer is updated well right !"});
    EXPECT_TRUE(Fixtures().isVisible());
    EXPECT_EQ(Caption("NumberFixtures"), "6");
}

TEST_F(FixturesFlowTest, AFixtureFileOnTheCommandLineListsAndThenHidesTheManager)
{
    Open(DefaultDesk(), {"/lib/Spot.FXT"});
    EXPECT_TRUE(Fixtures().isVisible());
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_FALSE(Fixtures().isVisible());
    EXPECT_EQ(window->Form().SendFileEdit->text(), "/lib/Spot.FXT");
    EXPECT_EQ(ListedNames().size(), 5);
}

TEST_F(FixturesFlowTest, RefreshAfterADownloadKeepsSaveAndDelete)
{
    Open();
    ChooseFixtures();
    Download("FIX0");
    QTest::mouseClick(Button("ButtonRefresh"), Qt::LeftButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(ListedNames().size(), 5);
    EXPECT_TRUE(Button("ButtonSave")->isEnabled());
    EXPECT_TRUE(Button("ButtonRemove")->isEnabled());
    EXPECT_FALSE(Fixtures().DownloadedFixture().empty());
}

} // namespace
} // namespace olk
