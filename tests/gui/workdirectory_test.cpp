// The default directory dialog, shown as a window and driven through its lists and buttons, with
// a main window that records what it is handed.
#include "app/directorylist.h"
#include "app/drivelist.h"
#include "app/workdirectory.h"
#include "tests/gui/formchecks.h"
#include "tests/support/linkenvironment.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace olk {
namespace {

class ChooseDirectoryTest : public testing::Test {
protected:
    ChooseDirectoryTest() : root(QString::fromStdString(environment.Directory()))
    {
        for (const char* directory : {"driveA/show/act 1", "driveA/beta", "driveA/Alpha", "driveA/gamma", "driveB"})
            QDir(root).mkpath(directory);
    }

    // The dialog as the main window opens it: moved to a directory first, then shown.
    void Open(const QString& directory)
    {
        dialog.SetDirectory(directory);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename Widget>
    Widget* Find(const char* name) const
    {
        return test::FindIn<Widget>(dialog, name);
    }

    DirectoryList* List() const { return Find<DirectoryList>("DirectoryListBox"); }
    DriveList* Drives() const { return Find<DriveList>("DriveComboBox1"); }
    QLabel* Label() const { return Find<QLabel>("Directory"); }
    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    QString A(const QString& path = {}) const { return QDir::cleanPath(root + "/driveA/" + path); }
    QString B() const { return root + "/driveB"; }

    // As the window system delivers one: a click, then the double click and its release.
    void DoubleClick(const QString& caption) const
    {
        const QPoint at = EntryRect(caption).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, at);
    }

    QStringList Entries() const
    {
        QStringList entries;
        for (int row = 0; row < List()->count(); ++row)
            entries << List()->item(row)->text();
        return entries;
    }

    QRect EntryRect(const QString& caption) const
    {
        const QList<QListWidgetItem*> found = List()->findItems(caption, Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << caption.toStdString();
        return found.isEmpty() ? QRect() : List()->visualItemRect(found.front());
    }

    test::LinkEnvironment environment;
    QString root;
    QStringList stored; // what the main window was handed, in order
    TChooseDirectory dialog{nullptr, [this](const QString& directory) { stored << directory; },
                            QStringList{root + "/driveB", root + "/driveA"}};
};

TEST_F(ChooseDirectoryTest, IsLaidOutAsItsFormSays)
{
    EXPECT_EQ(dialog.windowTitle(), "Choose Default Directory");
    EXPECT_EQ(dialog.size(), QSize(529, 188));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);

    const std::pair<const char*, QRect> places[] = {
        {"DirectoryListBox", QRect(0, 0, 265, 161)}, {"DriveComboBox1", QRect(317, 40, 153, 19)},
        {"Ok", QRect(297, 104, 75, 25)},            {"None", QRect(426, 104, 75, 25)},
        {"Panel1", QRect(0, 168, 529, 17)},         {"Directory", QRect(4, 2, 520, 13)},
    };
    for (const auto& [name, geometry] : places)
        EXPECT_EQ(Find<QWidget>(name)->geometry(), geometry) << name;
    EXPECT_EQ(Find<QPushButton>("Ok")->text(), "&Ok");
    EXPECT_EQ(Find<QPushButton>("Ok")->toolTip(), "The directory below will be set as default");
    EXPECT_EQ(Find<QPushButton>("None")->text(), "&None");
    EXPECT_EQ(Find<QPushButton>("None")->toolTip(), "The program will start from the current directory");
}

TEST_F(ChooseDirectoryTest, ShowsCentredAndIsLeftOnlyThroughItsButtons)
{
    Open(A());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((dialog.frameGeometry().center() - screenCentre).manhattanLength(), 1);
    EXPECT_FALSE(dialog.close());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(stored.isEmpty());
}

TEST_F(ChooseDirectoryTest, StandsAtTheCurrentDirectoryWhenCreated)
{
    EXPECT_EQ(List()->Directory(), QDir::currentPath());
    EXPECT_EQ(dialog.ShownDirectory(), QDir::currentPath());
}

TEST_F(ChooseDirectoryTest, OkRightAfterOpeningStoresTheDirectoryTheListShows)
{
    Open(A("show"));
    EXPECT_EQ(Label()->text(), A("show"));
    Click("Ok");
    EXPECT_EQ(stored, QStringList{A("show")});
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ChooseDirectoryTest, NoneClearsAndReopeningWithoutADefaultShowsWhereTheListStood)
{
    Open(A("show"));
    Click("None");
    EXPECT_EQ(stored, QStringList{""});
    EXPECT_TRUE(Label()->text().isEmpty());
    EXPECT_FALSE(dialog.isVisible());

    // No default directory now: the list stays where it stood, and Ok stores that.
    Open("");
    EXPECT_EQ(List()->Directory(), A("show"));
    Click("Ok");
    EXPECT_EQ(stored, (QStringList{"", A("show")}));
}

TEST_F(ChooseDirectoryTest, APathThatDoesNotExistLeavesTheListWhereItIs)
{
    Open(A("show"));
    Open(A("gone"));
    EXPECT_EQ(List()->Directory(), A("show"));
    EXPECT_EQ(dialog.ShownDirectory(), A("show"));
}

TEST_F(ChooseDirectoryTest, ListsTheFoldersDownToTheCurrentOneThenItsSubdirectoriesByName)
{
    Open(A());
    QStringList chain{"/"};
    chain << A().split('/', Qt::SkipEmptyParts);
    EXPECT_EQ(Entries(), (chain + QStringList{"Alpha", "beta", "gamma", "show"}));
    EXPECT_EQ(List()->currentItem()->text(), "driveA");
}

TEST_F(ChooseDirectoryTest, DoubleClickMovesIntoAnEntryAndASingleClickOnlyRestatesTheLabel)
{
    Open(A());
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, EntryRect("beta").center());
    EXPECT_EQ(List()->Directory(), A());
    EXPECT_EQ(dialog.ShownDirectory(), A());

    DoubleClick("show");
    EXPECT_EQ(List()->Directory(), A("show"));
    EXPECT_EQ(dialog.ShownDirectory(), A("show"));
    EXPECT_EQ(Entries().last(), "act 1");

    // Up again through the chain, from the keyboard.
    List()->setCurrentRow(static_cast<int>(Entries().indexOf("driveA")));
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(dialog.ShownDirectory(), A());
}

TEST_F(ChooseDirectoryTest, ALongPathIsShortenedInTheLabelButStoredWhole)
{
    QString deep = A("show");
    for (int level = 0; level < 6; ++level)
        deep += "/a folder name long enough to need room " + QString::number(level);
    ASSERT_TRUE(QDir().mkpath(deep));
    Open(deep);
    EXPECT_NE(Label()->text(), deep);
    EXPECT_LE(Label()->fontMetrics().horizontalAdvance(Label()->text()), Label()->width());
    EXPECT_EQ(dialog.ShownDirectory(), deep);
    Click("Ok");
    EXPECT_EQ(stored, QStringList{deep});
}

TEST_F(ChooseDirectoryTest, ChoosingAnotherDriveThenOkStoresThatDrivesCurrentDirectory)
{
    Open(A("show"));
    EXPECT_EQ(Drives()->Drive(), A());
    Drives()->setFocus();
    QTest::keyClick(Drives(), Qt::Key_Down);  // the second drive, at its root
    EXPECT_EQ(Drives()->Drive(), B());
    EXPECT_EQ(dialog.ShownDirectory(), B());
    Click("Ok");

    // Back on the first drive, the list returns to where it last stood there.
    Open(B());
    Drives()->setFocus();
    QTest::keyClick(Drives(), Qt::Key_Up);
    EXPECT_EQ(List()->Directory(), A("show"));
    Click("Ok");
    EXPECT_EQ(stored, (QStringList{B(), A("show")}));
}

TEST_F(ChooseDirectoryTest, ADirectoryOnNoDriveOfTheListShowsNoDrive)
{
    Open(root);
    EXPECT_TRUE(Drives()->Drive().isEmpty());
    Open(A("beta"));
    EXPECT_EQ(Drives()->Drive(), A());
}

} // namespace
} // namespace olk
