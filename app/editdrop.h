#pragma once
// A one-line edit box that also takes a file dropped on it from the desktop: the first dropped
// file's full path replaces the text, and the box's change handler runs once for the drop.
#include <QLineEdit>
#include <QList>
#include <QUrl>

namespace olk {

class TEditDrop : public QLineEdit {
    Q_OBJECT
public:
    explicit TEditDrop(QWidget* parent = nullptr);

    // Puts the first local file of the drop into the box; false when the drop holds none.
    bool DropFile(const QList<QUrl>& urls);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace olk
