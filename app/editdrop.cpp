#include "app/editdrop.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

namespace olk {
namespace {

bool HoldsLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

} // namespace

TEditDrop::TEditDrop(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(true);
}

// The path is taken as it comes: a folder, or a file that is gone, is for the change handler
// to find out about.
bool TEditDrop::DropFile(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (path == text())
            emit textChanged(path); // the same path again is still a drop to preview
        else
            setText(path);
        return true;
    }
    return false;
}

// Text dragged about is left to the edit box's own handling; files are taken here.
void TEditDrop::dragEnterEvent(QDragEnterEvent* event)
{
    if (HoldsLocalFile(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void TEditDrop::dragMoveEvent(QDragMoveEvent* event)
{
    if (HoldsLocalFile(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void TEditDrop::dropEvent(QDropEvent* event)
{
    if (HoldsLocalFile(event->mimeData()) && DropFile(event->mimeData()->urls()))
        event->acceptProposedAction();
    else
        QLineEdit::dropEvent(event);
}

} // namespace olk
