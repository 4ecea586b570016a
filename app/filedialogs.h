#pragma once
// The Open and Save dialogs of the main window: their settings, which follow the chosen
// operation, and the chooser that shows them (tests give one that answers from a script).
#include <QString>

class QWidget;

namespace olk {

struct FileDialogSettings {
    QString title;
    // Pairs of a display text and a pattern, separated by vertical bars.
    QString filter;
    int filterIndex = 1; // counted from 1
    QString defaultExtension;
    QString fileName;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path, or an empty text when the dialog was cancelled. directory is where the
    // dialog starts; empty lets the system choose.
    virtual QString ChooseToOpen(QWidget* parent, const FileDialogSettings& settings, const QString& directory) = 0;
    virtual QString ChooseToSave(QWidget* parent, const FileDialogSettings& settings, const QString& directory) = 0;
};

class QtFileChooser : public FileChooser {
public:
    QString ChooseToOpen(QWidget* parent, const FileDialogSettings& settings, const QString& directory) override;
    QString ChooseToSave(QWidget* parent, const FileDialogSettings& settings, const QString& directory) override;
};

// The Qt name filters for a filter of display texts and patterns: every pattern matches its
// extension in any letter case, and "*.*" matches every file.
QStringList NameFilters(const QString& filter);

} // namespace olk
