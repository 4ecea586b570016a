#include "app/qtviews.h"

#include "platform/ansitext.h"

#include <QApplication>
#include <QLabel>
#include <QMetaObject>

namespace olk {

void QtUiThread::Post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(target_, std::move(fn), Qt::QueuedConnection);
}

void LabelCaption::SetCaption(const std::string& text)
{
    label_->setText(QString::fromStdString(AnsiToUtf8(text)));
}

void MovingBar::SetTop(int top)
{
    bar_->move(bar_->x(), top);
}

void OverrideCursor::SetCursor(Cursor cursor)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (cursor == Cursor::HourGlass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (cursor == Cursor::AppStart)
        QApplication::setOverrideCursor(Qt::BusyCursor);
}

} // namespace olk
