// The description editor, shown as a window and driven through its buttons and keys, writing into
// a real .WRK file through an open handle as the backup hands it over.
#include "descriptions/descriptionedit.h"
#include "platform/filehandle.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/wirebytes.h"
#include "userdata/datafile.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace olk {
namespace {

using test::ReadFile;

using Bytes = std::vector<uint8_t>;

const std::string kDeskDescription = "Rig 1\r\nfront";
const std::string kWriteQuestion = "Confirm: Write file description?";
const std::string kExitUnsavedQuestion = "Confirm: Exit without save?";
const std::string kExitUneditedQuestion = "Confirm: Exit without Edit?";

// A header and one record of bytes that are never NUL, with the description the desk sent.
Bytes BackupFile()
{
    Bytes bytes(datafile::kHeaderSize + datafile::kRecordSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(1 + (i * 7) % 251);
    std::copy(kDeskDescription.begin(), kDeskDescription.end(), bytes.begin() + datafile::kDescriptionOffset);
    bytes[datafile::kDescriptionOffset + kDeskDescription.size()] = 0;
    return bytes;
}


// The editor as the backup leaves it before asking: filled with the desk's description and
// writing into the backup's open file. It is shown modelessly so that a test can click in it.
class DescriptionEditorTest : public testing::Test {
protected:
    DescriptionEditorTest() : path(environment.Directory() + "/backup.wrk"), before(BackupFile())
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(before.data()), static_cast<std::streamsize>(before.size()));
        handle = file::Open(path, file::OpenMode::ReadWrite);
        file::Seek(handle, static_cast<int64_t>(before.size()));
        editor.SetFileHandle(handle);
        editor.SetText(kDeskDescription);
        editor.show();
        QApplication::setActiveWindow(&editor);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
    }

    ~DescriptionEditorTest() override { file::Close(handle); }

    QPlainTextEdit* Box() const { return editor.findChild<QPlainTextEdit*>("RichEdit"); }
    QPushButton* Button(const char* name) const { return editor.findChild<QPushButton*>(name); }
    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QString BoxText() const { return Box()->toPlainText(); }
    std::string DescriptionOnDisk() const { return datafile::Description(ReadFile(path).data()); }

    void SaveAnswering(int answer)
    {
        dialogs.answers = {answer};
        Click("Save");
    }

    test::LinkEnvironment environment;
    std::string path;
    Bytes before;
    int handle = file::kNoHandle;
    test::RecordingDialogs dialogs;
    // What the owner found on disk each time the editor had it reread the file's header.
    std::vector<std::string> rereads;
    TEditDescription editor{nullptr, dialogs, [this] { rereads.push_back(DescriptionOnDisk()); }};
};

TEST_F(DescriptionEditorTest, IsLaidOutAsItsFormSays)
{
    EXPECT_EQ(editor.windowTitle(), " Edit User Data description to put into the file (MAX 127 characters)");
    EXPECT_EQ(editor.size(), QSize(408, 184));
    EXPECT_EQ(editor.minimumSize(), editor.maximumSize());
    EXPECT_EQ(editor.windowType(), Qt::Dialog);
    EXPECT_FALSE(editor.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(editor.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_TRUE(editor.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Box()->geometry(), QRect(0, 0, 409, 137));
    EXPECT_EQ(Box()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Box()->lineWrapMode(), QPlainTextEdit::NoWrap);

    struct ButtonCase {
        const char* name;
        const char* caption;
        const char* hint;
        QRect geometry;
    };
    const ButtonCase buttons[] = {
        {"Clear", "&Clear", "Clear the edit box", QRect(160, 152, 75, 25)},
        {"Save", "&Save", "Save the edited description", QRect(32, 152, 75, 25)},
        {"Exit", "&Exit", "", QRect(288, 152, 75, 25)},
    };
    for (const ButtonCase& expected : buttons) {
        SCOPED_TRACE(expected.name);
        ASSERT_NE(Button(expected.name), nullptr);
        EXPECT_EQ(Button(expected.name)->text(), expected.caption);
        EXPECT_EQ(Button(expected.name)->toolTip(), expected.hint);
        EXPECT_EQ(Button(expected.name)->geometry(), expected.geometry);
    }
}

TEST_F(DescriptionEditorTest, ShowsCentredOnTheScreen)
{
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((editor.frameGeometry().center() - screenCentre).manhattanLength(), 1);
}

TEST_F(DescriptionEditorTest, TabWalksTheButtonsAndIsTypedInTheBox)
{
    Button("Clear")->setFocus();
    for (const char* next : {"Save", "Exit"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Button(next));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Box());
    QTest::keyClick(Box(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Box());
    EXPECT_TRUE(BoxText().endsWith('\t'));
}

TEST_F(DescriptionEditorTest, ShownModallyItEndsWithItsResult)
{
    const std::pair<const char*, QDialog::DialogCode> ways[] = {{"Save", QDialog::Accepted}, {"Exit", QDialog::Rejected}};
    for (const auto& [button, result] : ways) {
        SCOPED_TRACE(button);
        editor.hide();
        dialogs.answers = {kAnswerYes};
        QTimer::singleShot(0, &editor, [this, name = button] { Click(name); });
        EXPECT_EQ(editor.exec(), result);
    }
}

TEST_F(DescriptionEditorTest, TheFrameCannotCloseIt)
{
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(DescriptionEditor, AsksItsThreeQuestionsAndNothingElse)
{
    using Question = test::ButtonRecordingDialogs::Message;
    struct AskCase {
        int kind;
        std::vector<Question> shown;
        int answer;  // the dialog's, passed on; none without a dialog
    };
    const AskCase cases[] = {
        {1, {{"Write file description?", DialogKind::Confirmation, DialogButtons::YesCancel}}, kAnswerOk},
        {2, {{"Exit without save?", DialogKind::Confirmation, DialogButtons::OkCancel}}, kAnswerOk},
        {3, {{"Exit without Edit?", DialogKind::Confirmation, DialogButtons::YesNo}}, kAnswerOk},
        {0, {}, 0},
        {4, {}, 0},
    };
    for (const AskCase& ask : cases) {
        SCOPED_TRACE(ask.kind);
        test::ButtonRecordingDialogs dialogs;
        TEditDescription editor(nullptr, dialogs, {});
        EXPECT_EQ(editor.Ask(ask.kind), ask.answer);
        EXPECT_EQ(dialogs.shown, ask.shown);
    }
}

TEST_F(DescriptionEditorTest, FillingShowsTheDeskTextWithOneBreakPerLineAndIsNoEdit)
{
    EXPECT_EQ(BoxText(), "Rig 1\nfront");
    SaveAnswering(kAnswerYes);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{kExitUneditedQuestion});
}

// How each way out of the editor asks, closes and writes, with and without an edit.
struct LeaveCase {
    const char* name;
    bool edited;        // " and back" typed at the end before leaving
    const char* leave;  // a button, or "Escape" pressed in the box
    int answer;
    const char* question;  // null when none is asked
    bool staysOpen;
    QDialog::DialogCode result;
    bool writes;
};

void PrintTo(const LeaveCase& value, std::ostream* out)
{
    *out << value.name;
}

class DescriptionEditorLeaving : public DescriptionEditorTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(DescriptionEditorLeaving, AsksClosesAndWritesAsTheAnswerSays)
{
    const LeaveCase& leave = GetParam();
    if (leave.edited)
        QTest::keyClicks(Box(), " and back");
    const QString edited = BoxText();
    dialogs.answers = {leave.answer};
    if (std::string(leave.leave) == "Escape")
        QTest::keyClick(Box(), Qt::Key_Escape);
    else
        Click(leave.leave);

    EXPECT_EQ(dialogs.shown, leave.question ? std::vector<std::string>{leave.question} : std::vector<std::string>{});
    EXPECT_EQ(editor.isVisible(), leave.staysOpen);
    if (leave.staysOpen)
        EXPECT_EQ(BoxText(), edited);
    else
        EXPECT_EQ(editor.result(), leave.result);
    const Bytes after = ReadFile(path);
    if (leave.writes)
        EXPECT_EQ(datafile::Description(after.data()), kDeskDescription + " and back");
    else
        EXPECT_EQ(after, before);
    // Leaving through Save has the owner reread the file, whether or not anything was written.
    const bool leftThroughSave = !leave.staysOpen && leave.result == QDialog::Accepted;
    EXPECT_EQ(rereads.size(), leftThroughSave ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, DescriptionEditorLeaving,
    testing::Values(
        LeaveCase{"SaveUneditedYes", false, "Save", kAnswerYes, "Confirm: Exit without Edit?", false, QDialog::Accepted, false},
        LeaveCase{"SaveUneditedNo", false, "Save", kAnswerNo, "Confirm: Exit without Edit?", true, {}, false},
        LeaveCase{"SaveEditedYes", true, "Save", kAnswerYes, "Confirm: Write file description?", false, QDialog::Accepted, true},
        LeaveCase{"SaveEditedCancel", true, "Save", kAnswerCancel, "Confirm: Write file description?", true, {}, false},
        LeaveCase{"ExitUnedited", false, "Exit", kAnswerOk, nullptr, false, QDialog::Rejected, false},
        LeaveCase{"ExitEditedOk", true, "Exit", kAnswerOk, "Confirm: Exit without save?", false, QDialog::Rejected, false},
        LeaveCase{"ExitEditedCancel", true, "Exit", kAnswerCancel, "Confirm: Exit without save?", true, {}, false},
        LeaveCase{"EscapeUnedited", false, "Escape", kAnswerOk, nullptr, false, QDialog::Rejected, false},
        LeaveCase{"EscapeEditedOk", true, "Escape", kAnswerOk, "Confirm: Exit without save?", false, QDialog::Rejected, false},
        LeaveCase{"EscapeEditedCancel", true, "Escape", kAnswerCancel, "Confirm: Exit without save?", true, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescriptionEditorTest, ClearThenSaveWritesOneNulAndTheOwnerSeesNoDescription)
{
    Click("Clear");
    EXPECT_TRUE(BoxText().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), Box());
    SaveAnswering(kAnswerYes);

    EXPECT_EQ(dialogs.shown, std::vector<std::string>{kWriteQuestion});
    const Bytes after = ReadFile(path);
    Bytes expected = before;
    expected[datafile::kDescriptionOffset] = 0;
    EXPECT_EQ(after, expected);
    EXPECT_EQ(rereads, std::vector<std::string>{""});
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(editor.result(), QDialog::Accepted);
}

TEST_F(DescriptionEditorTest, ClearingAnEmptyBoxIsAnEditToo)
{
    editor.SetText("");
    Click("Clear");
    SaveAnswering(kAnswerYes);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{kWriteQuestion});
}

TEST_F(DescriptionEditorTest, LinesAreStoredWithCrLfBetweenThemAndNoneAtTheEnd)
{
    Click("Clear");
    for (const char* line : {"Opera night", "Act 2", "Spots only"}) {
        QTest::keyClicks(Box(), line);
        QTest::keyClick(Box(), Qt::Key_Return);
    }
    SaveAnswering(kAnswerYes);
    EXPECT_EQ(DescriptionOnDisk(), "Opera night\r\nAct 2\r\nSpots only");
    EXPECT_EQ(rereads, std::vector<std::string>{"Opera night\r\nAct 2\r\nSpots only"});
}

TEST_F(DescriptionEditorTest, WindowsCharactersComeBackAsTheSameBytes)
{
    editor.SetText("Caf\xE9\xA0\x80 \x9F");
    // The raw text, as a plain copy would turn the no-break space into a blank.
    EXPECT_EQ(Box()->document()->toRawText(), QString::fromUtf8("Caf\xC3\xA9\xC2\xA0\xE2\x82\xAC \xC5\xB8"));
    QTest::keyClicks(Box(), "!");
    SaveAnswering(kAnswerYes);
    EXPECT_EQ(DescriptionOnDisk(), "Caf\xE9\xA0\x80 \x9F!");
}

TEST_F(DescriptionEditorTest, TheBoxRefusesCharactersBeyond127)
{
    Click("Clear");
    QTest::keyClicks(Box(), QString(130, 'a'));
    EXPECT_EQ(BoxText(), QString(127, 'a'));

    // What a paste brings beyond the limit is refused, not what stood in the box.
    Box()->setPlainText(QString(120, 'b'));
    QTextCursor cursor = Box()->textCursor();
    cursor.setPosition(10);
    Box()->setTextCursor(cursor);
    Box()->insertPlainText("0123456789");
    EXPECT_EQ(BoxText(), QString(10, 'b') + "0123456" + QString(110, 'b'));

    // A description of 128 bytes, without a NUL in its field, is cut to the box's limit as well.
    editor.SetText(std::string(128, 'c'));
    EXPECT_EQ(BoxText(), QString(127, 'c'));
}

TEST_F(DescriptionEditorTest, ALineBreakTakesOneCharacterInTheBoxAndTwoBytesOnDisk)
{
    Click("Clear");
    for (int line = 0; line < 64; ++line) {
        QTest::keyClick(Box(), Qt::Key_X);
        QTest::keyClick(Box(), Qt::Key_Return);
    }
    QString typed;
    for (int line = 0; line < 63; ++line)
        typed += "x\n";
    EXPECT_EQ(BoxText(), typed + "x");
    SaveAnswering(kAnswerYes);
    std::string stored;
    for (int line = 0; line < 42; ++line)
        stored += "x\r\n";
    EXPECT_EQ(DescriptionOnDisk(), stored + "x");
}

} // namespace
} // namespace olk
