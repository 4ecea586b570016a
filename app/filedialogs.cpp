#include "app/filedialogs.h"

#include <QFileDialog>

namespace olk {
namespace {

QString AnyCasePatterns(const QString& pattern)
{
    if (pattern == "*.*")
        return "*";
    const QString lower = pattern.toLower();
    return lower == pattern ? pattern : pattern + " " + lower;
}

QString Choose(QWidget* parent, const FileDialogSettings& settings, const QString& directory,
               QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, settings.title, directory);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The operation that writes the file asks before it replaces one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = NameFilters(settings.filter);
    dialog.setNameFilters(filters);
    if (settings.filterIndex >= 1 && settings.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[settings.filterIndex - 1]);
    dialog.setDefaultSuffix(settings.defaultExtension);
    dialog.selectFile(settings.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

QStringList NameFilters(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString display = parts[i];
        display.truncate(display.indexOf('(') < 0 ? display.size() : display.indexOf('('));
        filters << display.trimmed() + " (" + AnyCasePatterns(parts[i + 1]) + ")";
    }
    return filters;
}

QString QtFileChooser::ChooseToOpen(QWidget* parent, const FileDialogSettings& settings, const QString& directory)
{
    return Choose(parent, settings, directory, QFileDialog::AcceptOpen);
}

QString QtFileChooser::ChooseToSave(QWidget* parent, const FileDialogSettings& settings, const QString& directory)
{
    return Choose(parent, settings, directory, QFileDialog::AcceptSave);
}

} // namespace olk
