// The main window's file boxes: Browse, the previews of both boxes, and the operations that
// Start runs on the files they name, the backup before a restore among them.
#include "app/mainmixer.h"
#include "desk/desksimulator.h"
#include "tests/gui/scriptedfiles.h"
#include "tests/support/hexfiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/settled.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "ui_mainmixer.h"
#include "userdata/datafile.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace olk {
namespace {

using test::ReadFile;
using test::WriteFile;

using Bytes = std::vector<uint8_t>;



// A work file with a model, release and description of its own.
Bytes DescribedWorkFile(uint8_t model, uint8_t sub, const std::string& release, const std::string& description)
{
    Bytes image = desk::test::WorkFile(2, 4);
    image[datafile::kModelCodeOffset] = model;
    image[datafile::kSubCodeOffset] = sub;
    std::copy(release.begin(), release.end(), image.begin() + datafile::kReleaseOffset);
    std::copy(description.begin(), description.end(), image.begin() + datafile::kDescriptionOffset);
    return image;
}

class FileChoiceTest : public testing::Test {
protected:
    FileChoiceTest()
    {
        desk = std::make_unique<desk::DeskSimulator>();
        environment.MapPorts({{"COM1", desk->DevicePath()}});
        MainWindowStart start;
        start.dialogs = &dialogs;
        start.files = &files;
        start.f12Held = [] { return false; };
        window = std::make_unique<TOLKmixer>(start);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::string PathOf(const std::string& name) const { return environment.Directory() + "/" + name; }
    Ui::TOLKmixer& Form() const { return window->Form(); }
    bool WaitUntilIdle() const
    {
        return QTest::qWaitFor([&] { return window->CurrentOperation() == nullptr; }, 20000);
    }

    // A drag from the desktop that enters the box and is dropped there.
    static void Drop(QWidget* box, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
    }

    QUrl FileUrl(const std::string& name) const { return QUrl::fromLocalFile(QString::fromStdString(PathOf(name))); }

    test::LinkEnvironment environment;
    test::RecordingDialogs dialogs;
    test::ScriptedFiles files;
    std::unique_ptr<desk::DeskSimulator> desk;
    std::unique_ptr<TOLKmixer> window;
};

TEST_F(FileChoiceTest, TheSendPreviewShowsModelReleaseAndDescription)
{
    const std::string known = PathOf("known.wrk");
    WriteFile(known, DescribedWorkFile(0x18, 0xA6, "3.1", "Theatre\r\nrig"));
    const std::string unknown = PathOf("unknown.wrk");
    WriteFile(unknown, DescribedWorkFile(0x33, 0x00, "9.9", ""));
    window->SelectOperation(TOLKmixer::kRestoreUserData);

    Form().SendFileEdit->setText(QString::fromStdString(known));
    EXPECT_EQ(Form().InfoSendFile->text(), " Korvan 2/XT     Rel. 3.1");
    EXPECT_EQ(Form().DescriptionSend->toPlainText(), "File Description: Theatre\nrig");

    Form().SendFileEdit->setText(QString::fromStdString(unknown));
    EXPECT_EQ(Form().InfoSendFile->text(), "0   Rel. 9.9");
    EXPECT_EQ(Form().DescriptionSend->toPlainText(), "<NO DESCRIPTION>");
}

TEST_F(FileChoiceTest, AFileThatBreaksTheLengthRuleShowsNoPreview)
{
    Bytes image = DescribedWorkFile(0x0C, 0x00, "1.0", "Long by one");
    image.push_back(0);
    const std::string path = PathOf("long.wrk");
    WriteFile(path, image);
    window->SelectOperation(TOLKmixer::kRestoreUserData);

    Form().SendFileEdit->setText(QString::fromStdString(path));
    EXPECT_EQ(Form().InfoSendFile->text(), "");
    EXPECT_EQ(Form().DescriptionSend->toPlainText(), "");
    // Typing a path shows nothing until the text names a well-formed file.
    Form().SendFileEdit->setText(QString::fromStdString(path.substr(0, path.size() - 1)));
    EXPECT_EQ(Form().InfoSendFile->text(), "");
}

TEST_F(FileChoiceTest, TheReceivePreviewShowsTheDescriptionOnly)
{
    const std::string path = PathOf("old.wrk");
    WriteFile(path, DescribedWorkFile(0x0C, 0x00, "1.0", "Last season"));
    window->SelectOperation(TOLKmixer::kBackupUserData);
    Form().ReceiveFileEdit->setText(QString::fromStdString(path));
    EXPECT_EQ(Form().DescriptionReceive->toPlainText(), "File Description: Last season");
    EXPECT_EQ(Form().InfoSendFile->text(), "");
}

TEST_F(FileChoiceTest, BrowsePutsTheChosenFileInItsBoxAndCancelChangesNothing)
{
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    files.answers = {"/shows/a.wrk", "", "/shows/b.wrk"};
    QTest::mouseClick(Form().BrowseSend, Qt::LeftButton);
    EXPECT_EQ(Form().SendFileEdit->text(), "/shows/a.wrk");
    QTest::mouseClick(Form().BrowseSend, Qt::LeftButton);
    EXPECT_EQ(Form().SendFileEdit->text(), "/shows/a.wrk");
    QTest::mouseClick(Form().BrowseReceive, Qt::LeftButton);
    EXPECT_EQ(Form().ReceiveFileEdit->text(), "/shows/b.wrk");

    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(files.asked[0].title, "Open");
    EXPECT_EQ(files.asked[0].filterIndex, 1);
    EXPECT_EQ(files.asked[0].fileName, "Send File to Mixer.WRK");
    EXPECT_EQ(files.asked[2].title, "Save File");
    EXPECT_EQ(files.asked[2].defaultExtension, "WRK");
    EXPECT_EQ(NameFilters(files.asked[0].filter),
              (QStringList{"Work files (*.WRK *.wrk)", "Fixture files (*.FXT *.fxt)", "Firmware files (*.HEX *.hex)",
                           "All (*)"}));
}

TEST_F(FileChoiceTest, StartBacksTheDeskUpIntoTheReceiveBox)
{
    const std::string path = PathOf("backup.wrk");
    window->SelectOperation(TOLKmixer::kBackupUserData);
    Form().ReceiveFileEdit->setText(QString::fromStdString(path));

    QTest::mouseClick(Form().Start, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilIdle());

    EXPECT_EQ(ReadFile(path), desk->UserData());
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"Confirm: Would you Edit the description of the file ?",
                                                       "Information: The Backup process is done !"}));
    EXPECT_EQ(Form().MixerName->text(), "________________"); // any end but Get Firmware Info clears it
    EXPECT_EQ(window->DescriptionEditor(), nullptr);
}

TEST_F(FileChoiceTest, OneStartBacksUpThenRestoresWhenTheBackupComesFirst)
{
    const Bytes image = desk::test::WorkFile(3, 8);
    const std::string send = PathOf("send.wrk");
    WriteFile(send, image);
    const std::string backup = PathOf("before.wrk");
    const Bytes before = desk->UserData();
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    Form().AlwaysBackup->setChecked(true);
    Form().SendFileEdit->setText(QString::fromStdString(send));
    Form().ReceiveFileEdit->setText(QString::fromStdString(backup));

    QTest::mouseClick(Form().Start, Qt::LeftButton);
    EXPECT_TRUE(window->ChainFlag());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.shown.size() == 3 && !window->CurrentOperation(); }, 20000));

    EXPECT_EQ(ReadFile(backup), before);
    EXPECT_TRUE(test::Eventually([&] { return desk->UserData() == image; }));
    EXPECT_FALSE(window->ChainFlag());
    EXPECT_EQ(dialogs.shown.back(), "Information: The mixer is updated well right !");
}

TEST_F(FileChoiceTest, AFailedBackupStopsThePendingRestore)
{
    desk::Faults faults;
    faults.wrongDataSum = true;
    desk->SetFaults(faults);
    const Bytes before = desk->UserData();
    const std::string send = PathOf("send.wrk");
    WriteFile(send, desk::test::WorkFile(3, 8));
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    Form().SendFileEdit->setText(QString::fromStdString(send));
    Form().ReceiveFileEdit->setText(QString::fromStdString(PathOf("before.wrk")));

    QTest::mouseClick(Form().Start, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilIdle());
    QTest::qWait(100);

    EXPECT_EQ(window->CurrentOperation(), nullptr);
    EXPECT_FALSE(window->ChainFlag());
    EXPECT_EQ(desk->UserData(), before);
    EXPECT_EQ(dialogs.shown,
              std::vector<std::string>{"Error: CheckSum file error.\nFile is corrupted or wrong file has been chosen !"});
}

TEST_F(FileChoiceTest, ADeclinedBackupLeavesNoRestorePendingAndFocusesTheReceiveBox)
{
    const std::string existing = PathOf("exists.wrk");
    WriteFile(existing, Bytes(300, 1));
    const std::string send = PathOf("send.wrk");
    WriteFile(send, desk::test::WorkFile(1, 8));
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    Form().SendFileEdit->setText(QString::fromStdString(send));
    Form().ReceiveFileEdit->setText(QString::fromStdString(existing));
    dialogs.answers = {kAnswerNo};

    QTest::mouseClick(Form().Start, Qt::LeftButton);

    EXPECT_FALSE(window->ChainFlag());
    EXPECT_EQ(QApplication::focusWidget(), Form().ReceiveFileEdit);
    ASSERT_TRUE(WaitUntilIdle());
    QTest::qWait(100);
    EXPECT_EQ(window->CurrentOperation(), nullptr);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Confirm: File already exist!\nOverwrite?"});
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

TEST_F(FileChoiceTest, ARefusedRestoreFocusesTheSendBox)
{
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    Form().AlwaysBackup->setChecked(false);
    const std::string missing = PathOf("missing.wrk");
    Form().SendFileEdit->setText(QString::fromStdString(missing));
    QTest::mouseClick(Form().Start, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Form().SendFileEdit);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Warning: " + missing + ": cannot open this file"});
    EXPECT_TRUE(WaitUntilIdle());
}

TEST_F(FileChoiceTest, StartUploadsTheFirmwareAt9600WhateverRateIsChosen)
{
    const std::string path = PathOf("release.hex");
    const auto image = test::SignedImage(5);
    std::ofstream(path, std::ios::binary) << test::HexText(image);
    Form().ListaBaudRate->setCurrentIndex(7); // 460800
    Form().SendFileEdit->setText(QString::fromStdString(path));

    QTest::mouseClick(Form().Start, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilIdle());

    EXPECT_EQ(desk->ReceivedFirmware(), image);
    for (const auto& entry : desk->Transcript())
        EXPECT_EQ(entry.pcRate, 9600u);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Information: The mixer is updated well right !"});
}

TEST_F(FileChoiceTest, ARefusedFirmwareFileFocusesTheSendBox)
{
    const std::string path = PathOf("broken.hex");
    std::ofstream(path, std::ios::binary) << "no records";
    Form().SendFileEdit->setText(QString::fromStdString(path));
    QTest::mouseClick(Form().Start, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Form().SendFileEdit);
    EXPECT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(test::SettledBytesFromPc(*desk).empty());
}

TEST_F(FileChoiceTest, ADropOfSeveralFilesPutsTheFirstAndPreviewsItOnce)
{
    WriteFile(PathOf("first.wrk"), DescribedWorkFile(0x18, 0xA6, "3.1", "First"));
    WriteFile(PathOf("second.wrk"), DescribedWorkFile(0x18, 0xA6, "4.0", "Second"));
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    QSignalSpy changes(Form().SendFileEdit, &QLineEdit::textChanged);

    Drop(Form().SendFileEdit, {FileUrl("first.wrk"), FileUrl("second.wrk")});
    EXPECT_EQ(Form().SendFileEdit->text().toStdString(), PathOf("first.wrk"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(Form().DescriptionSend->toPlainText(), "File Description: First");
}

TEST_F(FileChoiceTest, DroppingTheSameFileAgainPreviewsWhatItHoldsNow)
{
    const std::string path = PathOf("show.wrk");
    WriteFile(path, DescribedWorkFile(0x18, 0xA6, "3.1", "Before"));
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    Drop(Form().SendFileEdit, {FileUrl("show.wrk")});
    WriteFile(path, DescribedWorkFile(0x18, 0xA6, "3.1", "After"));
    QSignalSpy changes(Form().SendFileEdit, &QLineEdit::textChanged);

    Drop(Form().SendFileEdit, {FileUrl("show.wrk")});
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(Form().DescriptionSend->toPlainText(), "File Description: After");
}

TEST_F(FileChoiceTest, ADroppedFolderPutsItsPathUnexamined)
{
    std::filesystem::create_directory(PathOf("shows"));
    window->SelectOperation(TOLKmixer::kBackupUserData);
    Drop(Form().ReceiveFileEdit, {FileUrl("shows")});
    EXPECT_EQ(Form().ReceiveFileEdit->text().toStdString(), PathOf("shows"));
    EXPECT_EQ(Form().DescriptionReceive->toPlainText(), "");
}

TEST_F(FileChoiceTest, ADropWithoutALocalFileLeavesTheBox)
{
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    const QString before = Form().SendFileEdit->text();
    Drop(Form().SendFileEdit, {QUrl("https://example.org/show.wrk")});
    EXPECT_EQ(Form().SendFileEdit->text(), before);
}

TEST_F(FileChoiceTest, TheDefaultDirectoryIsWhereBothFileDialogsStart)
{
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    window->BrowseSendClick();
    window->SetDefaultDirectory(QString::fromStdString(environment.Directory()));
    window->BrowseSendClick();
    window->BrowseReceiveClick();
    EXPECT_EQ(files.directories,
              QStringList({"", QString::fromStdString(environment.Directory()), QString::fromStdString(environment.Directory())}));
}

} // namespace
} // namespace olk
