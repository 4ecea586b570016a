#pragma once
// A file chooser for the window tests: it answers each dialog from a script and records what
// each dialog was asked with.
#include "app/filedialogs.h"

#include <QStringList>
#include <vector>

namespace olk::test {

class ScriptedFiles : public FileChooser {
public:
    QString ChooseToOpen(QWidget* parent, const FileDialogSettings& settings, const QString& directory) override;
    QString ChooseToSave(QWidget* parent, const FileDialogSettings& settings, const QString& directory) override;

    QStringList answers; // an empty text cancels
    std::vector<FileDialogSettings> asked;
    QStringList directories; // the initial directory of each dialog

private:
    QString Next(const FileDialogSettings& settings, const QString& directory);
};

} // namespace olk::test
