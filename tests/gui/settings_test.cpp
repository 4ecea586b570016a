// The settings the main window keeps between runs, and the desktop files that make it the
// handler of its file types, all in the private directories of the test's environment.
#include "app/mainmixer.h"
#include "app/workdirectory.h"
#include "descriptions/managedescription.h"
#include "platform/fileassociations.h"
#include "platform/settingsstore.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/wirebytes.h"
#include "tests/support/recordingdialogs.h"
#include "ui_mainmixer.h"

#include <QFile>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace olk {
namespace {

std::string Resource(const char* name)
{
    QFile file(name);
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}

std::string ThisProgram()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

class SettingsTest : public testing::Test {
protected:
    // Every COM name is listed without probing, so a stored port always has its item.
    std::unique_ptr<TOLKmixer> Open()
    {
        MainWindowStart start;
        start.dialogs = &dialogs;
        start.f12Held = [] { return true; };
        return std::make_unique<TOLKmixer>(start);
    }

    std::optional<std::string> Stored(const char* value, std::size_t limit = 4096) const
    {
        return SettingsStore::ForCurrentUser().Read("", value, limit);
    }

    void Store(const char* value, const std::string& text) { SettingsStore::ForCurrentUser().Write("", value, text); }

    std::string DataFile(const std::string& name) const { return environment.Directory() + "/data/" + name; }

    test::LinkEnvironment environment;
    test::RecordingDialogs dialogs;
};

TEST_F(SettingsTest, TheFirstRunCreatesTheStoreAndKeepsTheWindowsOwnDefaults)
{
    const std::string path = SettingsStore::ForCurrentUser().Path();
    ASSERT_FALSE(std::filesystem::exists(path));
    auto window = Open();
    const auto& form = window->Form();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(form.AlwaysBackup->isChecked());
    EXPECT_TRUE(form.AlwaysBackup->isEnabled());
    EXPECT_FALSE(form.Always->isChecked());
    EXPECT_FALSE(form.Never->isChecked());
    EXPECT_FALSE(form.DefaultDirectory1->isChecked());
    EXPECT_EQ(window->DefaultDirectory(), "");
    EXPECT_EQ(form.ListaCOM->currentText(), "COM1");
    EXPECT_TRUE(dialogs.shown.empty());
}

struct StoredPolicy {
    const char* name;
    const char* stored;
    bool boxChecked;
    bool boxEnabled;
    bool always;
    bool never;
};

class StoredPolicyTest : public SettingsTest, public testing::WithParamInterface<StoredPolicy> {};

TEST_P(StoredPolicyTest, SetsTheBoxAndTheMenuAtStart)
{
    Store(kBackupSetting, GetParam().stored);
    auto window = Open();
    const auto& form = window->Form();
    EXPECT_EQ(form.AlwaysBackup->isChecked(), GetParam().boxChecked);
    EXPECT_EQ(form.AlwaysBackup->isEnabled(), GetParam().boxEnabled);
    EXPECT_EQ(form.Always->isChecked(), GetParam().always);
    EXPECT_EQ(form.Never->isChecked(), GetParam().never);
}

INSTANTIATE_TEST_SUITE_P(
    Policies, StoredPolicyTest,
    testing::Values(StoredPolicy{"Always", "A", true, false, true, false},
                    StoredPolicy{"Never", "N", false, false, false, true},
                    StoredPolicy{"NoFixedPolicy", "?", true, true, false, false},
                    StoredPolicy{"Unknown", "x", true, true, false, false},
                    // Two characters do not fit the reader's two bytes with the terminator.
                    StoredPolicy{"TooLong", "AN", true, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, AlwaysClickedTwiceStoresAThenAQuestionMarkAndKeepsTheBoxChecked)
{
    auto window = Open();
    auto& form = window->Form();
    form.AlwaysBackup->setChecked(false);

    form.Always->trigger();
    EXPECT_EQ(Stored(kBackupSetting), "A");
    EXPECT_TRUE(form.Always->isChecked());
    EXPECT_TRUE(form.AlwaysBackup->isChecked());
    EXPECT_FALSE(form.AlwaysBackup->isEnabled());

    form.Always->trigger();
    EXPECT_EQ(Stored(kBackupSetting), "?");
    EXPECT_FALSE(form.Always->isChecked());
    EXPECT_TRUE(form.AlwaysBackup->isChecked());
    EXPECT_TRUE(form.AlwaysBackup->isEnabled());
}

TEST_F(SettingsTest, NeverWhileAlwaysIsCheckedStoresNAndLeavesOnlyNeverChecked)
{
    Store(kBackupSetting, "A");
    auto window = Open();
    auto& form = window->Form();

    form.Never->trigger();
    EXPECT_EQ(Stored(kBackupSetting), "N");
    EXPECT_TRUE(form.Never->isChecked());
    EXPECT_FALSE(form.Always->isChecked());
    EXPECT_FALSE(form.AlwaysBackup->isChecked());
    EXPECT_FALSE(form.AlwaysBackup->isEnabled());

    form.Never->trigger();
    EXPECT_EQ(Stored(kBackupSetting), "?");
    EXPECT_FALSE(form.Never->isChecked());
    EXPECT_TRUE(form.AlwaysBackup->isEnabled());
}

TEST_F(SettingsTest, ThePolicyReachesARestoreThroughTheBox)
{
    auto window = Open();
    auto& form = window->Form();
    window->SelectOperation(TOLKmixer::kRestoreUserData);
    form.Never->trigger();
    EXPECT_FALSE(form.ReceiveFileEdit->isEnabled());
    form.Always->trigger();
    EXPECT_TRUE(form.ReceiveFileEdit->isEnabled());
}

struct StoredPort {
    const char* name;
    const char* stored;
    const char* selected;
};

class StoredPortTest : public SettingsTest, public testing::WithParamInterface<StoredPort> {};

TEST_P(StoredPortTest, SelectsTheFoundPortOrNone)
{
    Store(kComSetting, GetParam().stored);
    auto window = Open();
    EXPECT_EQ(window->Form().ListaCOM->currentText(), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, StoredPortTest,
    testing::Values(StoredPort{"Found", "COM3", "COM3"}, StoredPort{"LowerCase", "com3", "COM3"},
                    StoredPort{"NotFound", "COM9", ""}, StoredPort{"EmptyAtLastExit", "", ""},
                    // Six bytes hold five characters and the terminator; more reads as absent.
                    StoredPort{"TooLong", "COM123", "COM1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, ExitStoresThePortAndTheCloseBoxKeepsThePreviousOne)
{
    Store(kComSetting, "COM2");
    {
        auto window = Open();
        window->Form().ListaCOM->setCurrentText("COM5");
        window->close();
    }
    EXPECT_EQ(Stored(kComSetting), "COM2");
    auto window = Open();
    window->Form().ListaCOM->setCurrentText("COM5");
    window->ByeClick();
    EXPECT_EQ(Stored(kComSetting), "COM5");
}

TEST_F(SettingsTest, AStoredDirectoryIsTheDefaultAndChecksItsMenuItem)
{
    const std::string directory = environment.Directory() + "/shows, 2026";
    Store(kDirectorySetting, directory);
    auto window = Open();
    EXPECT_EQ(window->DefaultDirectory().toStdString(), directory);
    EXPECT_TRUE(window->Form().DefaultDirectory1->isChecked());
}

TEST_F(SettingsTest, ADirectoryLongerThanTheReaderTakesCountsAsNone)
{
    Store(kDirectorySetting, "/" + std::string(255, 'd'));
    auto window = Open();
    EXPECT_EQ(window->DefaultDirectory(), "");
    EXPECT_FALSE(window->Form().DefaultDirectory1->isChecked());
}

TEST_F(SettingsTest, SettingAndClearingTheDefaultDirectoryStoresAndDeletesTheValue)
{
    auto window = Open();
    window->SetDefaultDirectory("/srv/shows");
    EXPECT_EQ(Stored(kDirectorySetting), "/srv/shows");
    EXPECT_TRUE(window->Form().DefaultDirectory1->isChecked());

    window->SetDefaultDirectory("");
    EXPECT_EQ(Stored(kDirectorySetting), std::nullopt);
    EXPECT_EQ(window->DefaultDirectory(), "");
    EXPECT_FALSE(window->Form().DefaultDirectory1->isChecked());
}

TEST_F(SettingsTest, TheDirectoryDialogOpensAtTheDefaultAndOkStoresWhatItShows)
{
    const std::string directory = environment.Directory() + "/shows";
    std::filesystem::create_directory(directory);
    Store(kDirectorySetting, directory);
    auto window = Open();
    window->Form().DefaultDirectory1->trigger();
    ASSERT_TRUE(window->ChooseDirectory()->isVisible());
    EXPECT_TRUE(window->Form().DefaultDirectory1->isChecked()); // the click does not turn the mark over
    EXPECT_EQ(window->ChooseDirectory()->ShownDirectory().toStdString(), directory);

    window->ChooseDirectory()->OkClick();
    EXPECT_FALSE(window->ChooseDirectory()->isVisible());
    EXPECT_EQ(Stored(kDirectorySetting), directory);
}

TEST_F(SettingsTest, NoneDeletesTheDirectoryAndOkAfterwardsStoresWhereTheListStood)
{
    const std::string directory = environment.Directory() + "/shows";
    std::filesystem::create_directory(directory);
    Store(kDirectorySetting, directory);
    auto window = Open();
    window->Form().DefaultDirectory1->trigger();
    window->ChooseDirectory()->NoneClick();
    EXPECT_EQ(Stored(kDirectorySetting), std::nullopt);
    EXPECT_FALSE(window->Form().DefaultDirectory1->isChecked());
    EXPECT_EQ(window->DefaultDirectory(), "");

    window->Form().DefaultDirectory1->trigger();
    EXPECT_FALSE(window->Form().DefaultDirectory1->isChecked());
    window->ChooseDirectory()->OkClick();
    EXPECT_EQ(Stored(kDirectorySetting), directory);
    EXPECT_TRUE(window->Form().DefaultDirectory1->isChecked());
}

TEST_F(SettingsTest, TheDescriptionManagerIsMadeOnceKeptWhileHiddenAndGoneAtExit)
{
    auto window = Open();
    EXPECT_EQ(window->DescriptionManager(), nullptr);
    window->Form().ManageDescription->click();
    TDescriptionManager* manager = window->DescriptionManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->isVisible());
    manager->hide();
    window->Form().ManageDescription->click();
    EXPECT_EQ(window->DescriptionManager(), manager);
    EXPECT_TRUE(manager->isVisible());

    window->ByeClick();
    EXPECT_EQ(window->DescriptionManager(), nullptr);
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenLeavesTheDefaultsWithoutAMessage)
{
    const std::string plainFile = environment.Directory() + "/plain";
    std::ofstream(plainFile) << "not a directory";
    setenv("XDG_CONFIG_HOME", (plainFile + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (plainFile + "/data").c_str(), 1);
    auto window = Open();
    auto& form = window->Form();
    form.Always->trigger();
    window->SetDefaultDirectory("/srv/shows");
    window->ByeClick();
    EXPECT_TRUE(form.Always->isChecked());
    EXPECT_FALSE(form.AlwaysBackup->isEnabled());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Stored(kBackupSetting), std::nullopt);
}

TEST_F(SettingsTest, TheAssociationsNameTheProgramThePatternsAndTheDescriptions)
{
    auto window = Open();
    const struct {
        const char* extension;
        const char* description;
        const char* icon;
    } types[] = {{".hex", "OLK Firmware", ":/images/hex.png"},
                 {".fxt", "OLK Fixture", ":/images/fxt.png"},
                 {".wrk", "OLK User data", ":/images/wrk.png"}};
    const std::string entry = test::ReadText(DataFile("applications/olkmixer.desktop"));
    const std::string defaults = test::ReadText(environment.Directory() + "/config/mimeapps.list");
    EXPECT_NE(entry.find("Exec=\"" + ThisProgram() + "\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-olk-hex;application/x-olk-fxt;application/x-olk-wrk;\n"),
              std::string::npos)
        << entry;
    EXPECT_EQ(test::ReadText(DataFile("icons/hicolor/96x96/apps/olkmixer.png")), Resource(":/images/olkmixer.png"));
    for (const auto& type : types) {
        const std::string mimeType = FileAssociations::MimeType(type.extension);
        const std::string package =
            test::ReadText(DataFile("mime/packages/" + FileAssociations::TypeKey(type.extension) + ".xml"));
        EXPECT_NE(package.find("<mime-type type=\"" + mimeType + "\">"), std::string::npos) << package;
        EXPECT_NE(package.find(std::string("<comment>") + type.description + "</comment>"), std::string::npos);
        EXPECT_NE(package.find(std::string("<glob pattern=\"*") + type.extension + "\" weight=\"80\" case-sensitive=\"false\"/>"),
                  std::string::npos);
        std::string iconName = mimeType;
        iconName[iconName.find('/')] = '-';
        EXPECT_EQ(test::ReadText(DataFile("icons/hicolor/32x32/mimetypes/" + iconName + ".png")), Resource(type.icon));
        EXPECT_NE(defaults.find(mimeType + "=olkmixer.desktop\n"), std::string::npos) << defaults;
    }
}

TEST_F(SettingsTest, EveryStartTakesTheFileTypesBackAndKeepsTheUsersOtherDefaults)
{
    const std::string defaults = environment.Directory() + "/config/mimeapps.list";
    const std::string package = DataFile("mime/packages/Olk.wrk.xml");
    std::filesystem::create_directories(environment.Directory() + "/config");
    std::filesystem::create_directories(DataFile("mime/packages"));
    std::ofstream(defaults) << "[Default Applications]\ntext/plain=editor.desktop\n"
                               "application/x-olk-wrk=other.desktop\n";
    std::ofstream(package) << "<mime-info>taken by another program</mime-info>\n";

    Open();
    EXPECT_EQ(test::ReadText(defaults), "[Default Applications]\ntext/plain=editor.desktop\n"
                                  "application/x-olk-wrk=olkmixer.desktop\n"
                                  "application/x-olk-hex=olkmixer.desktop\n"
                                  "application/x-olk-fxt=olkmixer.desktop\n"
                                  "\n[Added Associations]\n"
                                  "application/x-olk-hex=olkmixer.desktop;\n"
                                  "application/x-olk-fxt=olkmixer.desktop;\n"
                                  "application/x-olk-wrk=olkmixer.desktop;\n");
    EXPECT_NE(test::ReadText(package).find("OLK User data"), std::string::npos);
}

} // namespace
} // namespace olk
