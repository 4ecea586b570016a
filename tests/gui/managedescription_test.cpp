// The description manager, shown as a window and driven through its lists, box and buttons as a
// user drives it, on real .WRK and .FXT files in a private directory.
#include "app/directorylist.h"
#include "app/filelist.h"
#include "descriptions/managedescription.h"
#include "link/dialogmessage.h"
#include "tests/gui/formchecks.h"
#include "tests/support/datafiles.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingdialogs.h"
#include "userdata/datafile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace olk {
namespace {

using test::Bytes;
using test::DataFile;
using test::ReadFile;
using test::WriteFile;

const std::string kSaveQuestion = "Confirm: Save description?";
const std::string kOverwriteQuestion = "Confirm: Overwrite file description?";
const std::string kWriteProtected = "Error: File is write protected !";
const QString kKorvan1Line = "    Korvan 1     Rel. 2.10";
const QString kRigText = "Rig 1\nfront";
const std::string kEdit = " and back";
const std::string kEditedRig = "Rig 1\r\nfront and back";

using Shown = std::vector<std::string>;

Bytes FixtureFile(uint16_t storedLength, const std::string& text)
{
    Bytes file = DataFile(2, "desk text");
    test::PutFixtureText(file, 40, storedLength, text);
    return file;
}

Bytes BrokenFile()
{
    Bytes file = DataFile(1, "never shown");
    file.pop_back();
    return file;
}

const std::string k300(300, 'q');

class DescriptionManagerTest : public testing::Test {
protected:
    DescriptionManagerTest() : show(Directory("show")), other(Directory("other"))
    {
        Write(show, "rig.WRK", DataFile(1, "Rig 1\r\nfront"));
        Write(show, "empty.WRK", DataFile(0));
        Write(show, "spot.FXT", FixtureFile(15, "Moving head 575"));
        Write(show, "wash.fxt", FixtureFile(4, "Wash"));
        Write(show, "long.FXT", FixtureFile(300, k300));
        Write(show, "bad.WRK", BrokenFile());
        Write(show, "rack.bin", DataFile(1, "not loaded"));
        Write(show, "notes.txt", Bytes(40, 'n'));
        Write(other, "strobe.FXT", FixtureFile(6, "Strobe"));
        Write(other, "second.WRK", DataFile(0, "Second"));
        QDir(show).mkdir("archive");

        manager.show();
        QApplication::setActiveWindow(&manager);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&manager));
        MoveTo(show);
    }

    QString Directory(const char* name) const
    {
        const QString path = QString::fromStdString(environment.Directory()) + "/" + name;
        QDir().mkpath(path);
        return path;
    }

    static void Write(const QString& directory, const char* name, const Bytes& bytes)
    {
        WriteFile((directory + "/" + name).toStdString(), bytes);
    }

    Bytes OnDisk(const char* name, const QString& directory = {}) const
    {
        return ReadFile(((directory.isEmpty() ? show : directory) + "/" + name).toStdString());
    }

    std::string DescriptionOnDisk(const char* name) const { return datafile::Description(OnDisk(name).data()); }

    template <typename Widget>
    Widget* Find(const char* name) const
    {
        return test::FindIn<Widget>(manager, name);
    }

    DirectoryList* Directories() const { return Find<DirectoryList>("DirectoryListBox"); }
    FileList* Files() const { return Find<FileList>("FileListBox"); }
    QComboBox* Filter() const { return Find<QComboBox>("FilterComboBox"); }
    QPlainTextEdit* Box() const { return Find<QPlainTextEdit>("RichEdit"); }
    QString Info() const { return Find<QLabel>("InfoMixer")->text(); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QString BoxText() const { return Box()->toPlainText(); }

    // The user moves the directory list, as a double click on an entry does.
    void MoveTo(const QString& directory) const { ASSERT_TRUE(Directories()->SetDirectory(directory)); }
    void ChooseFilter(int index) const { Filter()->setCurrentIndex(index); }

    QStringList Listed() const
    {
        QStringList names;
        for (int row = 0; row < Files()->count(); ++row)
            names << Files()->item(row)->text();
        return names;
    }

    void Select(const char* name) const
    {
        const QList<QListWidgetItem*> found = Files()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        Files()->scrollToItem(found.front());
        QTest::mouseClick(Files()->viewport(), Qt::LeftButton, {}, Files()->visualItemRect(found.front()).center());
    }

    QString Path(const char* name) const { return show + "/" + name; }

    // Selects the file and types at the end of its description.
    void Edit(const char* name, const std::string& typed = kEdit)
    {
        Select(name);
        Box()->moveCursor(QTextCursor::End);
        QTest::keyClicks(Box(), QString::fromStdString(typed));
        ASSERT_TRUE(Pending());
    }

    // Save and Discard Edits always go on and off together.
    bool Pending() const
    {
        EXPECT_EQ(Button("Save")->isEnabled(), Button("DiscardEdits")->isEnabled());
        return Button("Save")->isEnabled();
    }

    void Answer(std::initializer_list<int> answers) { dialogs.answers = answers; }

    test::LinkEnvironment environment;
    QString show;
    QString other;
    test::RecordingDialogs dialogs;
    TDescriptionManager manager{nullptr, dialogs};
};

TEST_F(DescriptionManagerTest, IsLaidOutAsItsFormSays)
{
    EXPECT_EQ(manager.windowTitle(), "User Data File Description Manager");
    EXPECT_EQ(manager.size(), QSize(610, 377));
    EXPECT_EQ(manager.minimumSize(), manager.maximumSize());
    EXPECT_TRUE(manager.isWindow());
    EXPECT_TRUE(manager.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(manager.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(manager.windowFlags() & Qt::WindowCloseButtonHint);

    const std::pair<const char*, QRect> places[] = {
        {"DriveComboBox", QRect(0, 8, 201, 19)},    {"DirectoryListBox", QRect(0, 32, 201, 137)},
        {"FileListBox", QRect(0, 176, 201, 169)},   {"FilterComboBox", QRect(0, 352, 201, 21)},
        {"Save", QRect(216, 16, 75, 25)},           {"DiscardEdits", QRect(320, 16, 75, 25)},
        {"Clear", QRect(424, 16, 75, 25)},          {"Close", QRect(528, 16, 75, 25)},
        {"RichEdit", QRect(208, 64, 401, 233)},     {"Panel1", QRect(216, 334, 369, 25)},
    };
    for (const auto& [name, geometry] : places)
        EXPECT_EQ(Find<QWidget>(name)->geometry(), geometry) << name;
    EXPECT_EQ(Find<QLabel>("Label1")->pos(), QPoint(8, 7));
    EXPECT_EQ(Find<QLabel>("Label1")->text(), "File created by:");
    EXPECT_EQ(Find<QLabel>("InfoMixer")->pos(), QPoint(108, 7));
    EXPECT_TRUE(Find<QLabel>("InfoMixer")->font().bold());

    test::ExpectButtons(manager, {
        {"Save", "&Save", "Save the edited description", false},
        {"DiscardEdits", "&Discard Edits", "Back to the original description", false},
        {"Clear", "C&lear", "Clear the edit box", true},
        {"Close", "&Hide", "Hide this form (nothing goes lost)", true},
    });
    EXPECT_FALSE(Box()->isEnabled());
    EXPECT_EQ(Box()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(Box()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QStringList filters;
    for (int index = 0; index < Filter()->count(); ++index)
        filters << Filter()->itemText(index);
    EXPECT_EQ(filters, (QStringList{"Work and Fixture files (*.WRK *.FXT)", "Work files (*.WRK)",
                                    "Fixture files (*.FXT)", "All (*.*)"}));
    EXPECT_EQ(Filter()->currentIndex(), 0);
}

TEST_F(DescriptionManagerTest, TabWalksTheControlsInTheFormsOrder)
{
    const QStringList order{"FileListBox", "DirectoryListBox", "RichEdit", "Clear",
                            "Save", "Close", "DiscardEdits", "DriveComboBox", "FilterComboBox"};
    QStringList walked;
    QWidget* widget = Files();
    do {
        if (order.contains(widget->objectName()) && !walked.contains(widget->objectName()))
            walked << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Files());
    EXPECT_EQ(walked, order);
}

TEST_F(DescriptionManagerTest, TheFirstOpeningShowsNothing)
{
    EXPECT_TRUE(Files()->FileName().isEmpty());
    EXPECT_TRUE(manager.ShownFile().isEmpty());
    EXPECT_TRUE(Info().isEmpty());
    EXPECT_TRUE(BoxText().isEmpty());
    EXPECT_FALSE(Box()->isEnabled());
    EXPECT_FALSE(Pending());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DescriptionManagerTest, EachFilterListsItsFilesInAnyLetterCase)
{
    const std::pair<int, QStringList> filters[] = {
        {0, {"bad.WRK", "empty.WRK", "long.FXT", "rig.WRK", "spot.FXT", "wash.fxt"}},
        {1, {"bad.WRK", "empty.WRK", "rig.WRK"}},
        {2, {"long.FXT", "spot.FXT", "wash.fxt"}},
        {3, {"bad.WRK", "empty.WRK", "long.FXT", "notes.txt", "rack.bin", "rig.WRK", "spot.FXT", "wash.fxt"}},
    };
    for (const auto& [index, names] : filters) {
        ChooseFilter(index);
        EXPECT_EQ(Listed(), names) << index;
    }
    MoveTo(other);
    EXPECT_EQ(Listed(), (QStringList{"second.WRK", "strobe.FXT"}));
}

struct ShowCase {
    const char* name;
    const char* file;
    int filter;
    QString info;
    QString text;
    bool enabled;
    bool readOnly;
};

void PrintTo(const ShowCase& value, std::ostream* out)
{
    *out << value.name;
}

class DescriptionManagerShowing : public DescriptionManagerTest, public testing::WithParamInterface<ShowCase> {};

TEST_P(DescriptionManagerShowing, ShowsTheModelLineAndTheTextOfTheSelectedFile)
{
    const ShowCase& expected = GetParam();
    ChooseFilter(expected.filter);
    Select(expected.file);
    EXPECT_EQ(manager.ShownFile(), Path(expected.file));
    EXPECT_EQ(Info(), expected.info);
    EXPECT_EQ(BoxText(), expected.text);
    EXPECT_EQ(Box()->isEnabled(), expected.enabled);
    if (expected.enabled) {
        EXPECT_EQ(Box()->isReadOnly(), expected.readOnly);
    }
    // A box that takes no text wears another colour than one that does.
    EXPECT_EQ(Box()->palette().color(QPalette::Base) == QGuiApplication::palette().color(QPalette::Base),
              expected.enabled);
    EXPECT_FALSE(Pending());
    EXPECT_TRUE(dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DescriptionManagerShowing,
    testing::Values(ShowCase{"WorkFile", "rig.WRK", 0, kKorvan1Line, kRigText, true, false},
                    ShowCase{"WorkFileWithoutDescription", "empty.WRK", 0, kKorvan1Line, "", true, false},
                    ShowCase{"FixtureFile", "spot.FXT", 0, kKorvan1Line, "Moving head 575", true, true},
                    ShowCase{"FixtureFileInLowerCase", "wash.fxt", 0, kKorvan1Line, "Wash", true, true},
                    ShowCase{"FixtureTextOf300", "long.FXT", 0, kKorvan1Line, QString(253, 'q'), true, true},
                    ShowCase{"FileBreakingTheLengthRule", "bad.WRK", 0, "", "", false, false},
                    ShowCase{"OtherDataFile", "rack.bin", 3, kKorvan1Line, "", true, false},
                    ShowCase{"OtherFileBreakingTheLengthRule", "notes.txt", 3, "", "", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescriptionManagerTest, AFixtureTextCannotBeTypedClearedOrSaved)
{
    for (const char* name : {"spot.FXT", "wash.fxt"}) {
        SCOPED_TRACE(name);
        Select(name);
        const QString text = BoxText();
        const Bytes before = OnDisk(name);
        QTest::keyClicks(Box(), "x");
        Click("Clear");
        Click("Save");
        EXPECT_EQ(BoxText(), text);
        EXPECT_FALSE(Pending());
        EXPECT_EQ(OnDisk(name), before);
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DescriptionManagerTest, TheBoxTakesAt127Characters)
{
    Select("empty.WRK");
    QTest::keyClicks(Box(), QString(130, 'a'));
    EXPECT_EQ(BoxText(), QString(127, 'a'));
}

TEST_F(DescriptionManagerTest, ClearEmptiesTheBoxAndTheEditIsPending)
{
    Select("rig.WRK");
    Click("Clear");
    EXPECT_TRUE(BoxText().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), Box());
    EXPECT_TRUE(Pending());
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_EQ(OnDisk("rig.WRK")[datafile::kDescriptionOffset], 0);
}

struct SelectCase {
    const char* name;
    int answer;
    bool written;
    const char* selectedAfter;
    const char* shownAfter;
    QString boxAfter;
};

void PrintTo(const SelectCase& value, std::ostream* out)
{
    *out << value.name;
}

class DescriptionManagerSelectingWithAnEdit : public DescriptionManagerTest,
                                              public testing::WithParamInterface<SelectCase> {};

TEST_P(DescriptionManagerSelectingWithAnEdit, AsksWhetherToSaveTheFileBeingEdited)
{
    const SelectCase& expected = GetParam();
    const Bytes before = OnDisk("rig.WRK");
    Edit("rig.WRK");
    Answer({expected.answer});
    Select("empty.WRK");

    EXPECT_EQ(dialogs.shown, Shown{kSaveQuestion});
    EXPECT_EQ(Files()->FileName(), Path(expected.selectedAfter));
    EXPECT_EQ(manager.ShownFile(), Path(expected.shownAfter));
    EXPECT_EQ(BoxText(), expected.boxAfter);
    EXPECT_EQ(Pending(), expected.answer == kAnswerCancel);
    if (expected.written)
        EXPECT_EQ(DescriptionOnDisk("rig.WRK"), kEditedRig);
    else
        EXPECT_EQ(OnDisk("rig.WRK"), before);

    // Whatever the answer, a selection after that is processed as any other.
    if (expected.answer == kAnswerCancel)
        return;
    Select("spot.FXT");
    EXPECT_EQ(dialogs.shown, Shown{kSaveQuestion});
    EXPECT_EQ(BoxText(), "Moving head 575");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DescriptionManagerSelectingWithAnEdit,
    testing::Values(SelectCase{"Cancel", kAnswerCancel, false, "rig.WRK", "rig.WRK", kRigText + " and back"},
                    SelectCase{"No", kAnswerNo, false, "empty.WRK", "empty.WRK", ""},
                    SelectCase{"Yes", kAnswerYes, true, "empty.WRK", "empty.WRK", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescriptionManagerTest, DiscardEditsAsksThenReloadsSavesOrKeepsEditing)
{
    struct DiscardCase {
        int answer;
        QString box;
        bool pending;
        std::string onDisk;
    };
    const DiscardCase cases[] = {
        {kAnswerCancel, kRigText + " and back", true, "Rig 1\r\nfront"},
        {kAnswerNo, kRigText, false, "Rig 1\r\nfront"},
        {kAnswerYes, kRigText + " and back", false, kEditedRig},
    };
    for (const DiscardCase& discard : cases) {
        SCOPED_TRACE(discard.answer);
        Write(show, "rig.WRK", DataFile(1, "Rig 1\r\nfront"));
        Select("empty.WRK");
        Edit("rig.WRK");
        dialogs.shown.clear();
        Answer({discard.answer});
        Click("DiscardEdits");
        EXPECT_EQ(dialogs.shown, Shown{kSaveQuestion});
        EXPECT_EQ(Files()->FileName(), Path("rig.WRK"));
        EXPECT_EQ(BoxText(), discard.box);
        EXPECT_EQ(Pending(), discard.pending);
        EXPECT_EQ(DescriptionOnDisk("rig.WRK"), discard.onDisk);
        if (discard.pending) {
            Answer({kAnswerNo});
            Click("DiscardEdits");
        }
    }
}

TEST_F(DescriptionManagerTest, AfterDiscardingTheNextSelectionIsProcessedNormally)
{
    Edit("rig.WRK");
    Answer({kAnswerNo});
    Click("DiscardEdits");
    Select("empty.WRK");
    EXPECT_EQ(dialogs.shown, Shown{kSaveQuestion});
    EXPECT_EQ(manager.ShownFile(), Path("empty.WRK"));
}

TEST_F(DescriptionManagerTest, HideAsksAboutPendingEditsAndKeepsThemOnNo)
{
    struct HideCase {
        std::deque<int> answers;
        Shown asked;
        bool visible;
        bool pending;
        bool written;
    };
    const HideCase cases[] = {
        {{kAnswerNo}, {kSaveQuestion}, false, true, false},
        {{kAnswerCancel}, {kSaveQuestion}, true, true, false},
        {{kAnswerYes, kAnswerYes}, {kSaveQuestion, kOverwriteQuestion}, false, false, true},
        // Declining the overwrite still settles the edit, which then stays in the box unmarked.
        {{kAnswerYes, kAnswerCancel}, {kSaveQuestion, kOverwriteQuestion}, false, false, false},
    };
    for (const HideCase& hide : cases) {
        SCOPED_TRACE(hide.answers.size() * 10 + static_cast<std::size_t>(hide.answers.back()));
        Write(show, "rig.WRK", DataFile(1, "Rig 1\r\nfront"));
        Select("empty.WRK");
        Edit("rig.WRK");
        dialogs.shown.clear();
        dialogs.answers = hide.answers;
        Click("Close");
        EXPECT_EQ(dialogs.shown, hide.asked);
        EXPECT_EQ(manager.isVisible(), hide.visible);
        manager.show();
        EXPECT_EQ(BoxText(), kRigText + " and back");
        EXPECT_EQ(Pending(), hide.pending);
        EXPECT_EQ(DescriptionOnDisk("rig.WRK"), hide.written ? kEditedRig : "Rig 1\r\nfront");
        if (Pending()) {
            Answer({kAnswerNo});
            Click("DiscardEdits");
        }
    }
}

TEST_F(DescriptionManagerTest, HideWithoutEditsAsksNothing)
{
    Select("rig.WRK");
    Click("Close");
    EXPECT_FALSE(manager.isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DescriptionManagerTest, SavingChangesTheDescriptionFieldAlone)
{
    const Bytes before = OnDisk("rig.WRK");
    Edit("rig.WRK");
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_EQ(dialogs.shown, Shown{kOverwriteQuestion});
    EXPECT_FALSE(Pending());
    const Bytes after = OnDisk("rig.WRK");
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        if (i < 20 || i >= 148) {
            EXPECT_EQ(after[i], before[i]) << "offset " << i;
        }
    EXPECT_EQ(datafile::Description(after.data()), kEditedRig);
}

TEST_F(DescriptionManagerTest, CancelAtTheOverwriteQuestionChangesNothing)
{
    const Bytes before = OnDisk("rig.WRK");
    Edit("rig.WRK");
    Answer({kAnswerCancel});
    Click("Save");
    EXPECT_EQ(dialogs.shown, Shown{kOverwriteQuestion});
    EXPECT_EQ(OnDisk("rig.WRK"), before);
    EXPECT_TRUE(Pending());
    EXPECT_EQ(BoxText(), kRigText + " and back");
}

TEST_F(DescriptionManagerTest, SavingIntoAReadOnlyFileSaysItIsWriteProtectedAndKeepsTheEdit)
{
    ASSERT_EQ(::chmod(Path("rig.WRK").toLocal8Bit().constData(), 0444), 0);
    const Bytes before = OnDisk("rig.WRK");
    Edit("rig.WRK");
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_EQ(dialogs.shown, Shown{kWriteProtected});
    EXPECT_TRUE(Pending());
    EXPECT_EQ(OnDisk("rig.WRK"), before);

    // Answering Yes on the way to another file does not lose the edit either.
    dialogs.shown.clear();
    Answer({kAnswerYes});
    Select("empty.WRK");
    EXPECT_EQ(dialogs.shown, (Shown{kSaveQuestion, kWriteProtected}));
    EXPECT_EQ(manager.ShownFile(), Path("rig.WRK"));
    EXPECT_EQ(Files()->FileName(), Path("rig.WRK"));
    EXPECT_TRUE(Pending());
}

TEST_F(DescriptionManagerTest, AFileThatBrokeTheLengthRuleMeanwhileIsSavedSilentlyNever)
{
    Edit("rig.WRK");
    Bytes grown = OnDisk("rig.WRK");
    grown.push_back(0);
    Write(show, "rig.WRK", grown);
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(Pending());
    EXPECT_EQ(OnDisk("rig.WRK"), grown);
}

// After the lists moved away from the file being edited, the edit still belongs to that file:
// saving writes it there, and the lists stay where the user moved them.
struct MoveCase {
    const char* name;
    bool changeDirectory; // else the filter
    int answer;
    bool written;
    bool pending;
};

void PrintTo(const MoveCase& value, std::ostream* out)
{
    *out << value.name;
}

class DescriptionManagerMovingWithAnEdit : public DescriptionManagerTest,
                                           public testing::WithParamInterface<MoveCase> {};

TEST_P(DescriptionManagerMovingWithAnEdit, SettlesTheEditOfTheShownFileAndLeavesTheListsMoved)
{
    const MoveCase& move = GetParam();
    const Bytes before = OnDisk("rig.WRK");
    Edit("rig.WRK");
    Answer({move.answer});
    if (move.changeDirectory)
        MoveTo(other);
    else
        ChooseFilter(2);

    EXPECT_EQ(dialogs.shown, Shown{kSaveQuestion});
    EXPECT_EQ(Directories()->Directory(), move.changeDirectory ? other : show);
    EXPECT_EQ(Filter()->currentIndex(), move.changeDirectory ? 0 : 2);
    EXPECT_EQ(Listed(), (move.changeDirectory ? QStringList{"second.WRK", "strobe.FXT"}
                                              : QStringList{"long.FXT", "spot.FXT", "wash.fxt"}));
    EXPECT_TRUE(Files()->FileName().isEmpty());
    EXPECT_EQ(Pending(), move.pending);
    EXPECT_EQ(manager.ShownFile(), move.pending ? Path("rig.WRK") : QString());
    if (move.written)
        EXPECT_EQ(DescriptionOnDisk("rig.WRK"), kEditedRig);
    else
        EXPECT_EQ(OnDisk("rig.WRK"), before);
    EXPECT_EQ(OnDisk("second.WRK", other), DataFile(0, "Second"));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DescriptionManagerMovingWithAnEdit,
    testing::Values(MoveCase{"DirectoryYes", true, kAnswerYes, true, false},
                    MoveCase{"DirectoryNo", true, kAnswerNo, false, false},
                    MoveCase{"DirectoryCancel", true, kAnswerCancel, false, true},
                    MoveCase{"FilterYes", false, kAnswerYes, true, false},
                    MoveCase{"FilterNo", false, kAnswerNo, false, false},
                    MoveCase{"FilterCancel", false, kAnswerCancel, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescriptionManagerTest, AnEditKeptThroughAMoveIsClearedAndSavedIntoTheShownFile)
{
    Edit("rig.WRK");
    Answer({kAnswerCancel});
    MoveTo(other);
    ASSERT_TRUE(Files()->FileName().isEmpty());
    Click("Clear");
    EXPECT_TRUE(BoxText().isEmpty());
    QTest::keyClicks(Box(), "moved");
    dialogs.shown.clear();
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_EQ(dialogs.shown, Shown{kOverwriteQuestion});
    EXPECT_EQ(DescriptionOnDisk("rig.WRK"), "moved");
    EXPECT_EQ(OnDisk("second.WRK", other), DataFile(0, "Second"));
    EXPECT_FALSE(Pending());
}

TEST_F(DescriptionManagerTest, OnlyTypedBreaksAreStoredAsCrLf)
{
    Select("empty.WRK");
    const QString wrapped(90, 'w');
    QTest::keyClicks(Box(), wrapped);
    ASSERT_GT(Box()->document()->firstBlock().layout()->lineCount(), 1);  // the box wrapped it
    QTest::keyClick(Box(), Qt::Key_Return);
    QTest::keyClicks(Box(), "end");
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_EQ(datafile::Description(OnDisk("empty.WRK").data()), wrapped.toStdString() + "\r\nend");
}

TEST_F(DescriptionManagerTest, ADataFileOfNeitherKindTakesADescriptionUnderAll)
{
    ChooseFilter(3);
    Select("rack.bin");
    QTest::keyClicks(Box(), "rack 2");
    Answer({kAnswerYes});
    Click("Save");
    EXPECT_EQ(dialogs.shown, Shown{kOverwriteQuestion});
    EXPECT_EQ(datafile::Description(OnDisk("rack.bin").data()), "rack 2");
}

TEST(DescriptionManager, AsksItsThreeMessagesAndNothingElse)
{
    using Message = test::ButtonRecordingDialogs::Message;
    const std::pair<int, std::vector<Message>> cases[] = {
        {1, {{"Overwrite file description?", DialogKind::Confirmation, DialogButtons::YesCancel}}},
        {2, {{"File is write protected !", DialogKind::Error, DialogButtons::Ok}}},
        {3, {{"Save description?", DialogKind::Confirmation, DialogButtons::YesNoCancel}}},
        {0, {}},
        {4, {}},
    };
    for (const auto& [kind, shown] : cases) {
        SCOPED_TRACE(kind);
        test::ButtonRecordingDialogs dialogs;
        TDescriptionManager manager(nullptr, dialogs);
        EXPECT_EQ(manager.Ask(kind), shown.empty() ? 0 : kAnswerOk);
        EXPECT_EQ(dialogs.shown, shown);
    }
    const std::vector<DialogButton> buttons = ButtonsOf(DialogButtons::YesNoCancel);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(std::string(buttons[0].caption) + buttons[1].caption + buttons[2].caption, "&Yes&NoCancel");
    EXPECT_EQ(buttons[0].answer * 100 + buttons[1].answer * 10 + buttons[2].answer, 672);
}

} // namespace
} // namespace olk
