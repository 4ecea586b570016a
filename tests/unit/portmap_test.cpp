#include "platform/portmap.h"
#include "platform/settingsstore.h"
#include "tests/support/linkenvironment.h"

#include <gtest/gtest.h>

namespace olk {
namespace {

class PortMapTest : public testing::Test {
protected:
    test::LinkEnvironment environment;
    SettingsStore settings{environment.Directory() + "/ports.conf"};
};

TEST_F(PortMapTest, EnvironmentComesFirstThenSettingsThenDefaults)
{
    settings.Write(kPortMapGroup, "COM1", "/dev/from-settings1");
    settings.Write(kPortMapGroup, "COM2", "/dev/from-settings2");
    const PortMap map("COM1=/dev/pts/4;com3=/dev/pts/9", &settings, {"/dev/ttyUSB0", "/dev/ttyACM1"});

    EXPECT_EQ(map.Resolve("COM1"), "/dev/pts/4");
    EXPECT_EQ(map.Resolve("Com3"), "/dev/pts/9");
    EXPECT_EQ(map.Resolve("COM2"), "/dev/from-settings2");
    EXPECT_EQ(map.Resolve("COM4"), "/dev/ttyS3");
    EXPECT_EQ(map.Resolve("COM5"), "/dev/ttyUSB0");
    EXPECT_EQ(map.Resolve("COM6"), "/dev/ttyACM1");
    EXPECT_EQ(map.Resolve("COM7"), std::nullopt);
}

TEST_F(PortMapTest, AnEmptyEntryMapsToNoDeviceAndOverridesTheDefault)
{
    const PortMap map("COM1=;COM2=/dev/pts/3", nullptr, {});
    EXPECT_EQ(map.Resolve("COM1"), std::nullopt);
    EXPECT_EQ(map.Resolve("COM2"), "/dev/pts/3");
}

TEST_F(PortMapTest, PathsPassThroughAndOtherNamesResolveToNothing)
{
    const PortMap map("", nullptr, {});
    EXPECT_EQ(map.Resolve("/dev/pts/12"), "/dev/pts/12");
    EXPECT_EQ(map.Resolve("COM9"), std::nullopt);
    EXPECT_EQ(map.Resolve("COM0"), std::nullopt);
    EXPECT_EQ(map.Resolve("Ec1"), std::nullopt);
    EXPECT_EQ(map.Resolve(""), std::nullopt);
}

TEST_F(PortMapTest, TheProcessMapHonoursTheTestEnvironment)
{
    environment.MapPorts({{"COM2", "/dev/pts/77"}});
    const PortMap map = PortMap::ForCurrentProcess();
    EXPECT_EQ(map.Resolve("COM2"), "/dev/pts/77");
    for (const char* name : {"COM1", "COM3", "COM4", "COM5", "COM8"})
        EXPECT_EQ(map.Resolve(name), std::nullopt) << name;
}

} // namespace
} // namespace olk
