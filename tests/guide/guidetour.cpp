// olkmixer-guidetour: takes the user guide's pictures from the real windows. It plays a short
// session against the desk simulator, in a private settings and data directory, and saves each
// window as it shows into DIRECTORY/NAME.png. Usage: olkmixer-guidetour DIRECTORY
#include "app/appearance.h"
#include "app/mainmixer.h"
#include "app/workdirectory.h"
#include "descriptions/managedescription.h"
#include "desk/desksimulator.h"
#include "fixtures/elencofixture.h"
#include "link/progressbar.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/testimages.h"
#include "tests/support/wirebytes.h"
#include "ui_mainmixer.h"
#include "userdata/datafile.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
#include <unistd.h>

namespace {

using namespace olk;

// Saves every modal window that comes up and closes it as the user would: a question is
// answered with its first button (Yes), a message with OK, a dialog by its own rejection.
class ModalCatcher : public QObject {
public:
    ModalCatcher(QString directory, std::map<QString, QString> names)
        : directory_(std::move(directory)), names_(std::move(names))
    {
        connect(&timer_, &QTimer::timeout, this, [this] { Catch(); });
        timer_.start(150);
    }

private:
    void Catch()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->isHidden())
            return;
        const QString key = NameOf(modal);
        modal->grab().save(directory_ + "/" + key + ".png");
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            AnswerYesOrOk(*box);
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
    }

    static void AnswerYesOrOk(QMessageBox& box)
    {
        const QList<QAbstractButton*> buttons = box.buttons();
        for (QAbstractButton* button : buttons)
            if (button->text() == "&Yes") {
                button->click();
                return;
            }
        buttons.front()->click();
    }

    QString NameOf(QWidget* modal) const
    {
        const auto* box = qobject_cast<QMessageBox*>(modal);
        const QString text = box ? box->text() : QString(modal->metaObject()->className());
        for (const auto& [start, name] : names_)
            if (text.startsWith(start))
                return name;
        return "message-" + QString::number(qHash(text), 16);
    }

    QString directory_;
    std::map<QString, QString> names_;
    QTimer timer_;
};

bool WaitUntil(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 30000);
}

void Save(QWidget* window, const QString& directory, const QString& name)
{
    QTest::qWait(300); // let it paint
    window->grab().save(directory + "/" + name + ".png");
}

std::vector<uint8_t> DescribedWorkFile(const std::string& description)
{
    std::vector<uint8_t> image = desk::test::WorkFile(16, 4);
    image[datafile::kModelCodeOffset] = 0x0C;
    const std::string release = "2.10";
    std::copy(release.begin(), release.end(), image.begin() + datafile::kReleaseOffset);
    image[datafile::kReleaseOffset + release.size()] = 0;
    std::copy(description.begin(), description.end(), image.begin() + datafile::kDescriptionOffset);
    desk::test::Seal(image);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: olkmixer-guidetour DIRECTORY\n");
        return 64;
    }
    const QString pictures = QString::fromLocal8Bit(argv[1]);
    std::filesystem::create_directories(argv[1]);
    // Settings, desktop files and every COM name stay private to this run.
    test::LinkEnvironment environment;
    const std::string shows = environment.Directory() + "/shows";
    std::filesystem::create_directories(shows);
    test::WriteFile(shows + "/Spring tour.WRK", DescribedWorkFile("Spring tour 2026\r\nfront truss, 24 heads"));
    test::WriteFile(shows + "/Wash 575.FXT", desk::test::FixtureFile("WASH575", 300));

    desk::DeskConfig config;
    config.userData = DescribedWorkFile("Theatre rig");
    config.fixtures = desk::test::Library(6);
    config.pace = true;
    desk::DeskSimulator desk(config);
    desk::DeskConfig silent;
    silent.faults.silent = true;
    desk::DeskSimulator silentDesk(silent);
    environment.MapPorts({{"COM1", desk.DevicePath()}, {"COM2", silentDesk.DevicePath()}});

    QApplication application(argc, argv);
    ApplyAppearance(application);
    ModalCatcher catcher(pictures, {{"Would you Edit", "message-edit-description"},
                                    {"The Backup process", "message-backup-done"},
                                    {"Mixer not responding", "message-not-responding"},
                                    {"olk::TEditDescription", "description-editor"},
                                    {"olk::TAboutBox", "about"}});
    MainWindowStart start;
    start.f12Held = [] { return false; };
    TOLKmixer window(start);
    window.show();
    const auto idle = [&window] { return window.CurrentOperation() == nullptr; };

    window.ButtonInfoClick();
    WaitUntil(idle);
    Save(&window, pictures, "main-window");

    window.SelectOperation(TOLKmixer::kBackupUserData);
    window.Form().ReceiveFileEdit->setText(QString::fromStdString(shows + "/Backup.WRK"));
    window.StartClick();
    WaitUntil([&window] { return window.Progress()->isVisible() && window.Progress()->Position() >= 30; });
    Save(window.Progress(), pictures, "progress");
    WaitUntil(idle);

    window.SelectOperation(TOLKmixer::kFixtures);
    WaitUntil(idle);
    auto* list = window.FixturesWindow()->findChild<QListWidget*>("ListFixtures");
    list->setCurrentRow(1);
    WaitUntil(idle);
    Save(window.FixturesWindow(), pictures, "fixtures-manager");
    window.FixturesWindow()->hide();

    // The lists of the description manager start where the program was started.
    [[maybe_unused]] const int moved = ::chdir(shows.c_str());
    window.ManageDescriptionClick();
    auto* files = window.DescriptionManager()->findChild<QListWidget*>("FileListBox");
    WaitUntil([files] { return files->count() > 0; });
    files->setCurrentRow(0);
    Save(window.DescriptionManager(), pictures, "description-manager");
    window.DescriptionManager()->hide();

    window.SetDefaultDirectory(QString::fromStdString(shows));
    window.DefaultDirectoryClick();
    Save(window.ChooseDirectory(), pictures, "default-directory");
    window.ChooseDirectory()->hide();

    QTimer::singleShot(0, &window, [&window] { window.About1Click(); });
    QTest::qWait(1000);

    window.Form().ListaCOM->setCurrentText("COM2");
    window.ButtonInfoClick();
    WaitUntil(idle);
    QTest::qWait(500);
    return 0;
}
