// The real message boxes and the about box.
#include "app/formaboutbox.h"
#include "app/messagedialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace olk {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    QStringList buttons;
};

// Shows one message, notes what the box looked like and presses the button with this caption.
int ShowAndPress(DialogKind kind, DialogButtons buttons, const QString& press, BoxSeen* seen)
{
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen->title = box->windowTitle();
        seen->text = box->text();
        for (QAbstractButton* button : box->buttons())
            seen->buttons << button->text();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == press)
                button->click();
    });
    return QtMessageDialogs().Show("Line one\n\xE9t\xE9", kind, buttons);
}

TEST(MessageDialogs, QuestionsAnswerSixForYesAndSevenForNo)
{
    BoxSeen seen;
    EXPECT_EQ(ShowAndPress(DialogKind::Confirmation, DialogButtons::YesNo, "&No", &seen), kAnswerNo);
    EXPECT_EQ(seen.title, "Confirm");
    EXPECT_EQ(seen.text, QString::fromUtf8("Line one\n\xC3\xA9t\xC3\xA9"));
    EXPECT_TRUE(seen.buttons.contains("&Yes") && seen.buttons.contains("&No"));
    EXPECT_EQ(ShowAndPress(DialogKind::Confirmation, DialogButtons::YesNo, "&Yes", &seen), kAnswerYes);
}

TEST(MessageDialogs, EachKindHasItsCaptionAndAnOkButton)
{
    const std::pair<DialogKind, const char*> kinds[] = {
        {DialogKind::Warning, "Warning"}, {DialogKind::Error, "Error"}, {DialogKind::Information, "Information"}};
    for (const auto& [kind, caption] : kinds) {
        BoxSeen seen;
        EXPECT_EQ(ShowAndPress(kind, DialogButtons::Ok, "OK", &seen), kAnswerOk);
        EXPECT_EQ(seen.title, caption);
        EXPECT_EQ(seen.buttons, QStringList{"OK"});
    }
    BoxSeen seen;
    EXPECT_EQ(ShowAndPress(DialogKind::Confirmation, DialogButtons::Yes, "&Yes", &seen), kAnswerYes);
    EXPECT_EQ(seen.buttons, QStringList{"&Yes"});
}

TEST(AboutBox, NamesTheProgramAndWhereHelpIs)
{
    TAboutBox about;
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.size(), QSize(298, 108));
    EXPECT_EQ(about.findChild<QLabel*>("Label1")->text(), "OLKmixer from OLK:");
    EXPECT_EQ(about.findChild<QLabel*>("Label5")->text(), "For technical problems refer to:");
    EXPECT_EQ(about.findChild<QLabel*>("Label3")->text(), "E-mail:");
    for (const char* name : {"Edit1", "Edit3"}) {
        auto* link = about.findChild<QLineEdit*>(name);
        EXPECT_TRUE(link->isReadOnly());
        EXPECT_FALSE(link->text().isEmpty());
    }
}

} // namespace
} // namespace olk
