#include "app/directorylist.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QStyledItemDelegate>

namespace olk {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndent = 10;

// Draws each entry moved right by its depth, as the folder chain reads as a tree.
class IndentingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + kIndent * index.data(kDepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new IndentingDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { SetDirectory(item->data(kPathRole).toString()); });
    connect(this, &QListWidget::itemClicked, this, &DirectoryList::Clicked);
    SetDirectory(QDir::currentPath());
}

bool DirectoryList::SetDirectory(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    const QString directory = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = directory != directory_;
    directory_ = directory;
    // Refilled even when it stays, so that folders made meanwhile show.
    Fill();
    if (changed)
        emit Changed();
    return true;
}

void DirectoryList::Fill()
{
    clear();
    const QStringList names = directory_.split('/', Qt::SkipEmptyParts);
    QString path = QStringLiteral("/");
    AddEntry(path, path, 0, true);
    for (int depth = 0; depth < names.size(); ++depth) {
        path = QDir::cleanPath(path + '/' + names[depth]);
        AddEntry(names[depth], path, depth + 1, true);
    }
    setCurrentRow(count() - 1);
    const QDir current(directory_);
    const QStringList children =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children)
        AddEntry(child, current.filePath(child), static_cast<int>(names.size()) + 1, false);
}

void DirectoryList::AddEntry(const QString& caption, const QString& path, int depth, bool open)
{
    auto* item = new QListWidgetItem(style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
                                     caption, this);
    item->setData(kPathRole, path);
    item->setData(kDepthRole, depth);
}

} // namespace olk
