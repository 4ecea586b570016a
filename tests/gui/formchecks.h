#pragma once
// Checks of a window's form shared by the window tests: its controls found by name, and its
// buttons' captions, hints and enabled states.
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <initializer_list>

namespace olk::test {

// The window's control of that name and type; a missing one fails the test.
template <typename Widget>
Widget* FindIn(const QWidget& window, const char* name)
{
    Widget* widget = window.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

struct ButtonCase {
    const char* name;
    const char* caption;
    const char* hint;
    bool enabled;
};

inline void ExpectButtons(const QWidget& window, std::initializer_list<ButtonCase> buttons)
{
    for (const ButtonCase& expected : buttons) {
        SCOPED_TRACE(expected.name);
        const QPushButton* button = FindIn<QPushButton>(window, expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), expected.caption);
        EXPECT_EQ(button->toolTip(), expected.hint);
        EXPECT_EQ(button->isEnabled(), expected.enabled);
    }
}

} // namespace olk::test
