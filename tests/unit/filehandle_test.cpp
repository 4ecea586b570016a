// Opening files for update: a file that grants nobody write permission is refused as access
// denied, whoever runs the program, and can still be read.
#include "platform/filehandle.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/wirebytes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace olk::file {
namespace {

struct PermissionCase {
    mode_t mode;
    bool opensForUpdate;
};

TEST(FileHandle, OpeningForUpdateNeedsAWritePermissionBit)
{
    test::LinkEnvironment environment;
    const std::string path = environment.Directory() + "/rig.WRK";
    test::WriteFile(path, test::Bytes(256, 1));
    const PermissionCase cases[] = {{0644, true}, {0600, true}, {0444, false}, {0400, false}};
    for (const PermissionCase& permission : cases) {
        SCOPED_TRACE(permission.mode);
        ASSERT_EQ(::chmod(path.c_str(), permission.mode), 0);
        Failure failure = Failure::Other;
        const int handle = Open(path, OpenMode::ReadWrite, &failure);
        EXPECT_EQ(handle != kNoHandle, permission.opensForUpdate);
        EXPECT_EQ(failure, permission.opensForUpdate ? Failure::None : Failure::AccessDenied);
        Close(handle);

        const int reading = Open(path, OpenMode::ReadOnly, &failure);
        EXPECT_NE(reading, kNoHandle);
        EXPECT_EQ(failure, Failure::None);
        Close(reading);
    }
}

} // namespace
} // namespace olk::file
