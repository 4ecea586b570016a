#include "platform/settingsstore.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/wirebytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace olk {
namespace {

class SettingsStoreTest : public testing::Test {
protected:
    test::LinkEnvironment environment;
    std::string path = environment.Directory() + "/OLK/settings.conf";
    SettingsStore store{path};
};

TEST_F(SettingsStoreTest, ValuesRoundTripInTheIniLayout)
{
    EXPECT_TRUE(store.Write("", "Backup", "A"));
    EXPECT_TRUE(store.Write("", "Directory", "/home/tech/shows, old; \"best\""));
    EXPECT_TRUE(store.Write("Ports", "COM2", "/dev/ttyACM0"));
    EXPECT_TRUE(store.Write("", "Backup", "N"));

    EXPECT_EQ(store.Read("", "Backup", 2), "N");
    EXPECT_EQ(store.Read("", "Directory", 256), "/home/tech/shows, old; \"best\"");
    EXPECT_EQ(store.Read("Ports", "COM2", 4096), "/dev/ttyACM0");
    EXPECT_EQ(store.Read("Ports", "COM3", 4096), std::nullopt);
    EXPECT_EQ(test::ReadText(path), "[General]\nBackup=N\nDirectory=\"/home/tech/shows, old; \\\"best\\\"\"\n\n"
                              "[Ports]\nCOM2=/dev/ttyACM0\n");
}

TEST_F(SettingsStoreTest, AValueThatDoesNotFitTheReaderCountsAsAbsent)
{
    store.Write("", "COM", "COM12");
    EXPECT_EQ(store.Read("", "COM", 6), "COM12");
    store.Write("", "COM", "COM123");
    EXPECT_EQ(store.Read("", "COM", 6), std::nullopt);
}

TEST_F(SettingsStoreTest, RemoveDeletesOnlyThatValue)
{
    store.Write("", "Directory", "/x");
    store.Write("", "COM", "COM1");
    EXPECT_TRUE(store.Remove("", "Directory"));
    EXPECT_EQ(store.Read("", "Directory", 256), std::nullopt);
    EXPECT_EQ(store.Read("", "COM", 6), "COM1");
}

TEST_F(SettingsStoreTest, ReadsWhatQSettingsWrites)
{
    const std::string qsettingsPath = environment.Directory() + "/q.conf";
    {
        std::ofstream out(qsettingsPath);
        out << "[General]\nCOM=COM3\nDirectory=\"/a b/c,d\"\nBackup=@@x\n";
    }
    const SettingsStore written(qsettingsPath);
    EXPECT_EQ(written.Read("", "COM", 6), "COM3");
    EXPECT_EQ(written.Read("", "Directory", 256), "/a b/c,d");
    EXPECT_EQ(written.Read("", "Backup", 3), "@x");
}

TEST_F(SettingsStoreTest, AnUnwritableLocationFailsQuietly)
{
    const SettingsStore nowhere("/proc/olk-cannot-exist/settings.conf");
    SettingsStore copy = nowhere;
    EXPECT_FALSE(copy.Write("", "COM", "COM1"));
    EXPECT_EQ(copy.Read("", "COM", 6), std::nullopt);
}

} // namespace
} // namespace olk
