#include "tests/gui/scriptedfiles.h"

namespace olk::test {

QString ScriptedFiles::ChooseToOpen(QWidget*, const FileDialogSettings& settings, const QString& directory)
{
    return Next(settings, directory);
}

QString ScriptedFiles::ChooseToSave(QWidget*, const FileDialogSettings& settings, const QString& directory)
{
    return Next(settings, directory);
}

QString ScriptedFiles::Next(const FileDialogSettings& settings, const QString& directory)
{
    asked.push_back(settings);
    directories << directory;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

} // namespace olk::test
