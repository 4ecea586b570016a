#pragma once
// The view interfaces over Qt: the user-interface thread as the application's event queue,
// captions of labels, the baud bar as a widget that moves, and the override cursor.
#include "link/uithread.h"
#include "link/views.h"

class QLabel;
class QObject;
class QWidget;

namespace olk {

// Routines run, in the order posted, by the event loop of the thread that owns target.
class QtUiThread : public UiThread {
public:
    explicit QtUiThread(QObject* target) : target_(target) {}
    void Post(std::function<void()> fn) override;

private:
    QObject* target_;
};

// A label's caption, shown as Windows-1252 text so every byte comes back unchanged.
class LabelCaption : public CaptionView {
public:
    explicit LabelCaption(QLabel* label) : label_(label) {}
    void SetCaption(const std::string& text) override;

private:
    QLabel* label_;
};

// A widget whose top edge moves inside its parent.
class MovingBar : public BaudBarView {
public:
    explicit MovingBar(QWidget* bar) : bar_(bar) {}
    void SetTop(int top) override;

private:
    QWidget* bar_;
};

// The application-wide cursor: the arrow is the normal cursor.
class OverrideCursor : public CursorView {
public:
    void SetCursor(Cursor cursor) override;
};

} // namespace olk
