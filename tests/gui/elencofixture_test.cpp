// The fixtures manager, driven through its list and buttons as a user drives it and filled as the
// fixture operations fill it, with a main window that records what it is asked.
#include "fixtures/elencofixture.h"
#include "tests/gui/formchecks.h"
#include "tests/support/recordingdialogs.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace olk {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kRemoveQuestion = "Confirm: Remove Fixture ?";

// One request of the window to the main window, with what the window looked like at that moment.
struct HostCall {
    std::string what;
    std::string name; // the desk's bytes, for a get or a remove
    bool windowEnabled = true;
    int32_t unitsHeld = 0;
    bool addRequested = false;
    bool operator==(const HostCall&) const = default;
};

void PrintTo(const HostCall& call, std::ostream* out)
{
    *out << call.what << "(" << testing::PrintToString(call.name) << ") enabled=" << call.windowEnabled
         << " units=" << call.unitsHeld << " addRequested=" << call.addRequested;
}

class RecordingHost : public FixturesHost {
public:
    void StartGetFixture(const std::string& name) override { Note("StartGetFixture", name); }
    void StartRemoveFixture(const std::string& name) override { Note("StartRemoveFixture", name); }
    void SaveFixture() override { Note("SaveFixture"); }
    void ChooseOperationAgain() override { Note("ChooseOperationAgain"); }
    void BrowseForFixtureToAdd() override
    {
        Note("BrowseForFixtureToAdd");
        if (onBrowse)
            onBrowse();
    }
    void ShowMainWindow() override { Note("ShowMainWindow"); }
    bool OperationRunning() const override { return operationRunning; }

    const TFormElencoFixture* window = nullptr;
    std::vector<HostCall> calls;
    bool operationRunning = false;
    std::function<void()> onBrowse; // what the main window's Browse does meanwhile

private:
    void Note(const std::string& what, const std::string& name = {})
    {
        calls.push_back({what, name, window->isEnabled(), window->DownloadedUnits(), window->AddRequested()});
    }
};

// A fixture of one record as a get leaves it: header and record, each byte its own position.
Bytes OneRecordFixture()
{
    Bytes fixture(512);
    for (std::size_t i = 0; i < fixture.size(); ++i)
        fixture[i] = static_cast<uint8_t>(i * 31);
    return fixture;
}

class FixturesWindowTest : public testing::Test {
protected:
    FixturesWindowTest()
    {
        host.window = &window;
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template <typename Widget>
    Widget* Find(const char* name) const
    {
        return test::FindIn<Widget>(window, name);
    }

    QListWidget* List() const { return Find<QListWidget>("ListFixtures"); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QPlainTextEdit* Memo() const { return Find<QPlainTextEdit>("MemoFixtureDescription"); }
    QString Caption(const char* label) const { return Find<QLabel>(label)->text(); }
    // Whether the button is enabled on its own, whatever the window's state.
    bool ButtonOn(const char* name) const { return Button(name)->isEnabledTo(&window); }

    void ListNames(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            window.AddListedName(name);
    }

    QStringList Shown() const
    {
        QStringList texts;
        for (int row = 0; row < List()->count(); ++row)
            texts << List()->item(row)->text();
        return texts;
    }

    QListWidgetItem* Item(const QString& text) const
    {
        const QList<QListWidgetItem*> found = List()->findItems(text, Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }

    void ClickItem(const QString& text) const
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, List()->visualItemRect(Item(text)).center());
    }

    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }

    // The user picks a name and the get succeeds: the fixture is held and shown, the main window
    // unlocks the window. The host's record starts afresh afterwards.
    void Download(const QString& text)
    {
        ClickItem(text);
        window.HoldDownloadedFixture(OneRecordFixture());
        window.AddDescriptionLine("Moving head");
        window.SetRemoveAndSaveEnabled(true);
        window.UnlockAfterOperation();
        host.calls.clear();
    }

    // A list request that arrives again with the same names.
    void RefreshList(const std::vector<std::string>& names)
    {
        window.ClearList();
        ListNames(names);
    }

    RecordingHost host;
    test::RecordingDialogs dialogs;
    TFormElencoFixture window{nullptr, host, dialogs};
};

TEST_F(FixturesWindowTest, OpensAsItsFormSaysWithNothingListedOrHeld)
{
    EXPECT_EQ(window.windowTitle(), "Fixtures manager");
    EXPECT_EQ(window.size(), QSize(205, 236));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowType(), Qt::Dialog);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(window.isModal());

    test::ExpectButtons(window, {
        {"ButtonAdd", "Add", "Add a new fixture to the desk", false},
        {"ButtonRemove", "Delete", "Remove from desk the fixture selected", false},
        {"ButtonSave", "Save", "Save the selected fixture to disk", false},
        {"ButtonHide", "Hide", "Hide this form", true},
        {"ButtonRefresh", "Refresh", "Get list of fixtures from mixer", true},
    });

    EXPECT_EQ(List()->toolTip(), "List of Fixtures present on the desk of the mixer");
    EXPECT_TRUE(List()->isEnabled());
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Memo()->toolTip(), "Description");
    EXPECT_TRUE(Memo()->toPlainText().isEmpty());
    EXPECT_EQ(Caption("NumberFixtures"), "");
    EXPECT_EQ(Caption("Free_mem"), "");

    EXPECT_EQ(window.DeskFreeMemory(), -1);
    EXPECT_EQ(window.DownloadedUnits(), 0);
    EXPECT_TRUE(window.DownloadedFixture().empty());
    EXPECT_FALSE(window.AddRequested());
    EXPECT_EQ(window.SelectedFixtureName(), "");
}

TEST_F(FixturesWindowTest, TheGroupBoxesHoldTheirLabelsOnARaisedPanel)
{
    struct BoxCase {
        const char* label;
        const char* title;
        const char* hint;
    };
    const BoxCase boxes[] = {
        {"NumberFixtures", "  N. FXT  ", "Number of fixtures on desk"},
        {"Free_mem", "Free mem.", "Free memory on desk"},
    };
    for (const BoxCase& expected : boxes) {
        SCOPED_TRACE(expected.label);
        const auto* box = qobject_cast<QGroupBox*>(Find<QLabel>(expected.label)->parentWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title(), expected.title);
        EXPECT_EQ(box->toolTip(), expected.hint);
        const auto* panel = qobject_cast<QFrame*>(box->parentWidget());
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
    }
}

// The list on the left, the description across the bottom, and on the right from top to bottom
// the panel, Add and Save, Delete and Hide, and Refresh at full width, every caption readable.
TEST_F(FixturesWindowTest, IsLaidOutInColumnsAndRowsWhereEveryCaptionFits)
{
    EXPECT_EQ(List()->geometry(), QRect(0, 0, 121, 161));
    EXPECT_EQ(Memo()->geometry(), QRect(0, 163, 205, 73));

    const QRect column(List()->geometry().right() + 1, 0, 205 - List()->width(), Memo()->y());
    const QWidget* panel = Find<QLabel>("NumberFixtures")->parentWidget()->parentWidget();
    const QRect add = Button("ButtonAdd")->geometry();
    const QRect save = Button("ButtonSave")->geometry();
    const QRect remove = Button("ButtonRemove")->geometry();
    const QRect hide = Button("ButtonHide")->geometry();
    const QRect refresh = Button("ButtonRefresh")->geometry();
    for (const QRect& part : {panel->geometry(), add, save, remove, hide, refresh})
        EXPECT_TRUE(column.contains(part)) << part.x() << "," << part.y() << " " << part.width() << "x" << part.height();

    EXPECT_LE(panel->geometry().bottom(), add.top());
    EXPECT_EQ(add.top(), save.top());
    EXPECT_LT(add.right(), save.left());
    EXPECT_LE(add.bottom(), remove.top());
    EXPECT_EQ(remove.top(), hide.top());
    EXPECT_LT(remove.right(), hide.left());
    EXPECT_LE(remove.bottom(), refresh.top());
    EXPECT_LE(column.width() - refresh.width(), 2);

    const QFontMetrics metrics(window.font());
    for (const char* name : {"ButtonAdd", "ButtonSave", "ButtonRemove", "ButtonHide", "ButtonRefresh"}) {
        SCOPED_TRACE(name);
        const QPushButton* button = Button(name);
        EXPECT_LE(metrics.horizontalAdvance(button->text()) + 8, button->width());
        EXPECT_LE(metrics.height() + 4, button->height());
    }
    // The longest captions a list request can give: a 16-bit count and a 32-bit free byte count.
    const std::pair<const char*, QString> widest[] = {{"NumberFixtures", "65535"}, {"Free_mem", "4194303 KB"}};
    for (const auto& [label, caption] : widest) {
        SCOPED_TRACE(label);
        const QLabel* shown = Find<QLabel>(label);
        EXPECT_LE(metrics.horizontalAdvance(caption), shown->width());
        EXPECT_LE(metrics.height(), shown->height());
        const auto* box = qobject_cast<QGroupBox*>(shown->parentWidget());
        EXPECT_LE(metrics.horizontalAdvance(box->title()) + 16, box->width());
        EXPECT_TRUE(box->rect().contains(shown->geometry()));
    }
}

TEST_F(FixturesWindowTest, TheDescriptionIsAReadOnlyInfoTipBoxOutsideTheTabOrder)
{
    Memo()->ensurePolished();
    EXPECT_TRUE(Memo()->isReadOnly());
    EXPECT_EQ(Memo()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xE1));
    EXPECT_EQ(Memo()->palette().color(QPalette::Text), QColor(0x80, 0x00, 0x00));

    ListNames({"Spot"});
    window.SetRemoveAndSaveEnabled(true);
    window.SetAddEnabled(true);
    List()->setFocus();
    for (int step = 0; step < 8; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), Memo());
    }
}

TEST_F(FixturesWindowTest, EscapeLeavesItOpenAndTheCloseBoxHidesIt)
{
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(FixturesWindowTest, ListedNamesShowSortedWithoutRegardToCaseAndDuplicatesStay)
{
    ListNames({"wash", "Spot", "beam", "Atom", "Spot"});
    window.SetNumberFixtures("5");
    window.SetFreeMemoryCaption("1023 KB");
    EXPECT_EQ(Shown(), QStringList({"Atom", "beam", "Spot", "Spot", "wash"}));
    EXPECT_EQ(Caption("NumberFixtures"), "5");
    EXPECT_EQ(Caption("Free_mem"), "1023 KB");

    window.ClearList();
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Caption("NumberFixtures"), "");
    EXPECT_EQ(Caption("Free_mem"), "");
}

TEST_F(FixturesWindowTest, ADeskNameShowsAsWindowsTextAndGoesBackAsTheSameBytes)
{
    const std::string deskName = "Caf\xE9 \x80\x81";
    ListNames({"Spot", deskName});
    const QString shown = QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC\xC2\x81");
    EXPECT_EQ(Shown(), QStringList({shown, "Spot"}));

    ClickItem(shown);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].what, "StartGetFixture");
    EXPECT_EQ(host.calls[0].name, deskName);
    EXPECT_EQ(window.SelectedFixtureName(), deskName);
}

TEST_F(FixturesWindowTest, ListHasNameMatchesWholeNamesInAnyLetterCase)
{
    ListNames({"Spot 575", "Caf\xE9"});
    const std::pair<std::string, bool> lookups[] = {
        {"Spot 575", true}, {"SPOT 575", true}, {"spot 575", true}, {"CAF\xC9", true},
        {"Spot", false},    {"Spot 5750", false}, {"Spot 575 ", false}, {"", false},
    };
    for (const auto& [name, listed] : lookups)
        EXPECT_EQ(window.ListHasName(name), listed) << testing::PrintToString(name);
}

TEST_F(FixturesWindowTest, EachAddedTextIsALineOfItsOwnAndEmptyTextsAddEmptyLines)
{
    window.AddDescriptionLine("");
    EXPECT_EQ(Memo()->toPlainText(), "\n");
    window.AddDescriptionLine("Moving head\r\n575 W");
    window.AddDescriptionLine("Gobo \xB0");
    EXPECT_EQ(Memo()->toPlainText(), QString::fromUtf8("\nMoving head\n575 W\nGobo \xC2\xB0\n"));
}

// A selection by mouse or by keyboard: the window is locked first, then the get is asked for.
TEST_F(FixturesWindowTest, SelectingANameLocksTheWindowThenAsksForItsDownload)
{
    struct Way {
        const char* name;
        std::function<void()> select;
        std::string expected;
    };
    const Way ways[] = {
        {"mouse", [this] { ClickItem("beam"); }, "beam"},
        {"keyboard", [this] { QTest::keyClick(List(), Qt::Key_End); }, "wash"},
    };
    ListNames({"wash", "beam", "Atom"});
    window.SetAddEnabled(true);
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Download("Atom");
        List()->setFocus();
        way.select();

        EXPECT_EQ(host.calls, std::vector<HostCall>({{"StartGetFixture", way.expected, false, 0, false}}));
        EXPECT_EQ(window.SelectedFixtureName(), way.expected);
        EXPECT_FALSE(window.isEnabled());
        EXPECT_FALSE(List()->isEnabledTo(&window));
        EXPECT_TRUE(Memo()->toPlainText().isEmpty());
        EXPECT_FALSE(ButtonOn("ButtonRemove"));
        EXPECT_FALSE(ButtonOn("ButtonSave"));
        EXPECT_TRUE(window.DownloadedFixture().empty());

        // The get has ended without a fixture: the window is usable, Add keeps its own state.
        window.UnlockAfterOperation();
        EXPECT_TRUE(window.isEnabled());
        EXPECT_TRUE(List()->isEnabled());
        EXPECT_TRUE(Button("ButtonAdd")->isEnabled());
        EXPECT_FALSE(Button("ButtonSave")->isEnabled());
        EXPECT_EQ(QApplication::focusWidget(), List());
    }
}

TEST_F(FixturesWindowTest, ASelectionWhileAnOperationRunsIsIgnoredAndTheWindowStaysUsable)
{
    ListNames({"Spot", "Wash"});
    Download("Spot");
    host.operationRunning = true;
    ClickItem("Wash");

    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(List()->isEnabled());
    EXPECT_EQ(window.SelectedFixtureName(), "Spot");
    EXPECT_EQ(window.DownloadedFixture(), OneRecordFixture());
    EXPECT_TRUE(Button("ButtonSave")->isEnabled());

    host.operationRunning = false;
    ClickItem("Spot");
    EXPECT_EQ(host.calls, std::vector<HostCall>({{"StartGetFixture", "Spot", false, 0, false}}));
}

// Emptying and refilling the list, names arriving around a selected one, and the focus the main
// window gives the list: none of them is a user's choice.
TEST_F(FixturesWindowTest, ChangesTheWindowMakesToTheListStartNothing)
{
    ListNames({"Spot", "Wash"});
    window.UnlockAfterOperation();
    Download("Wash");
    ListNames({"Atom", "Zoom"});
    EXPECT_EQ(Shown(), QStringList({"Atom", "Spot", "Wash", "Zoom"}));
    window.ClearList();
    window.UnlockAfterOperation();
    ListNames({"Spot", "Wash"});
    window.UnlockAfterOperation();

    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(window.DownloadedUnits(), 2);
}

TEST_F(FixturesWindowTest, ARefreshedListKeepsTheDownloadedFixtureReadyToSaveAndDelete)
{
    ListNames({"Spot", "Wash"});
    Download("Wash");
    RefreshList({"Spot", "Wash"});

    EXPECT_EQ(window.DownloadedFixture(), OneRecordFixture());
    EXPECT_EQ(window.DownloadedUnits(), 2);
    EXPECT_TRUE(Button("ButtonSave")->isEnabled());
    EXPECT_TRUE(Button("ButtonRemove")->isEnabled());
    EXPECT_EQ(Memo()->toPlainText(), "Moving head\n");

    Click("ButtonSave");
    EXPECT_EQ(host.calls, std::vector<HostCall>({{"SaveFixture", "", true, 2, false}}));
}

// Delete: the question is asked only with a fixture held, and only Yes on a selected name locks
// the window and asks for the removal.
struct RemoveCase {
    const char* name;
    bool downloaded;
    bool refreshedAfterDownload; // the list came again, so no name is selected
    std::deque<int> answers;
    bool asks;
    bool removes;
};

void PrintTo(const RemoveCase& value, std::ostream* out)
{
    *out << value.name;
}

class FixturesWindowRemoving : public FixturesWindowTest, public testing::WithParamInterface<RemoveCase> {};

TEST_P(FixturesWindowRemoving, AsksThenRemovesOnlyWhatItShould)
{
    const RemoveCase& remove = GetParam();
    ListNames({"Spot", "Wash"});
    if (remove.downloaded) {
        Download("Wash");
    } else {
        ClickItem("Wash");
        window.UnlockAfterOperation();
        window.SetRemoveAndSaveEnabled(true); // the button on, the fixture missing
        host.calls.clear();
    }
    if (remove.refreshedAfterDownload)
        RefreshList({"Spot", "Wash"});
    dialogs.answers = remove.answers;
    Click("ButtonRemove");

    EXPECT_EQ(dialogs.shown, remove.asks ? std::vector<std::string>{kRemoveQuestion} : std::vector<std::string>{});
    if (remove.removes) {
        EXPECT_EQ(host.calls, std::vector<HostCall>({{"StartRemoveFixture", "Wash", false, 0, false}}));
        EXPECT_EQ(window.SelectedFixtureName(), "Wash");
        EXPECT_FALSE(window.isEnabled());
        EXPECT_FALSE(List()->isEnabledTo(&window));
        EXPECT_TRUE(Memo()->toPlainText().isEmpty());
        EXPECT_FALSE(ButtonOn("ButtonRemove"));
        EXPECT_FALSE(ButtonOn("ButtonSave"));
        EXPECT_TRUE(window.DownloadedFixture().empty());
    } else {
        EXPECT_TRUE(host.calls.empty());
        EXPECT_TRUE(window.isEnabled());
        EXPECT_TRUE(List()->isEnabled());
        EXPECT_TRUE(Button("ButtonRemove")->isEnabled());
        EXPECT_EQ(window.DownloadedUnits(), remove.downloaded ? 2 : 0);
        EXPECT_EQ(Memo()->toPlainText(), remove.downloaded ? "Moving head\n" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    , FixturesWindowRemoving,
    testing::Values(RemoveCase{"NothingDownloaded", false, false, {kAnswerYes}, false, false},
                    RemoveCase{"AnsweredNo", true, false, {kAnswerNo}, true, false},
                    RemoveCase{"AnsweredYes", true, false, {kAnswerYes}, true, true},
                    RemoveCase{"DialogClosedCountsAsYes", true, false, {0}, true, true},
                    RemoveCase{"NoNameSelectedAfterARefresh", true, true, {kAnswerYes}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Add shows the main window, then notes the request before the Browse that may use it; a Browse
// the user cancels leaves the request standing for the next file chosen there.
TEST_F(FixturesWindowTest, AddRequestsTheNextFileChosenThroughTheMainWindowsBrowse)
{
    struct BrowseCase {
        const char* name;
        bool fileChosen; // the main window then clears the request and starts the add
        bool stillRequested;
    };
    const BrowseCase cases[] = {{"cancelled", false, true}, {"chosen", true, false}};
    window.SetAddEnabled(true);
    for (const BrowseCase& browse : cases) {
        SCOPED_TRACE(browse.name);
        window.ClearAddRequest();
        host.calls.clear();
        host.onBrowse = [this, chosen = browse.fileChosen] {
            if (chosen)
                window.ClearAddRequest();
        };
        Click("ButtonAdd");
        EXPECT_EQ(host.calls,
                  std::vector<HostCall>({{"ShowMainWindow", "", true, 0, false}, {"BrowseForFixtureToAdd", "", true, 0, true}}));
        EXPECT_EQ(window.AddRequested(), browse.stillRequested);
    }
}

TEST_F(FixturesWindowTest, RefreshChoosesTheOperationAgainAndHideGivesWayToTheMainWindow)
{
    Click("ButtonRefresh");
    EXPECT_EQ(host.calls, std::vector<HostCall>({{"ChooseOperationAgain", "", true, 0, false}}));
    EXPECT_TRUE(window.isVisible());

    host.calls.clear();
    Click("ButtonHide");
    EXPECT_EQ(host.calls, std::vector<HostCall>({{"ShowMainWindow", "", true, 0, false}}));
    EXPECT_FALSE(window.isVisible());

    window.ShowWindow();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(FixturesWindowTest, HoldsTheDownloadedFixtureAsWholeUnitsUntilFreed)
{
    window.HoldDownloadedFixture(OneRecordFixture());
    EXPECT_EQ(window.DownloadedFixture(), OneRecordFixture());
    EXPECT_EQ(window.DownloadedUnits(), 2);
    window.FreeDownloadedFixture();
    EXPECT_TRUE(window.DownloadedFixture().empty());
    EXPECT_EQ(window.DownloadedUnits(), 0);
}

} // namespace
} // namespace olk
