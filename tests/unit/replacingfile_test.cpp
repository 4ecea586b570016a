#include "tests/support/linkenvironment.h"
#include "tests/support/wirebytes.h"
#include "userdata/replacingfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>

namespace olk {
namespace {

using test::Bytes;
using Opening = ReplacingFile::Opening;

class ReplacingFileTest : public testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return environment.Directory() + "/" + name; }
    std::vector<std::string> Files() const { return environment.FileNames(); }
    static void Put(ReplacingFile& file, const Bytes& bytes)
    {
        ASSERT_EQ(file::Write(file.Handle(), bytes.data(), bytes.size()), static_cast<long long>(bytes.size()));
    }

    test::LinkEnvironment environment;
};

TEST_F(ReplacingFileTest, ANewNameIsWrittenInPlaceAndDiscardingLeavesNothing)
{
    ReplacingFile file(PathOf("new.fxt"));
    ASSERT_EQ(file.Create(), Opening::Created);
    Put(file, Bytes(10, 1));
    file.Discard();
    EXPECT_TRUE(Files().empty());
}

TEST_F(ReplacingFileTest, AnExistingFileStaysUntilTheNewOneIsCommitted)
{
    const std::string path = PathOf("show.wrk");
    test::WriteFile(path, Bytes(5, 9));
    chmod(path.c_str(), 0640);
    ReplacingFile file(path);
    ASSERT_EQ(file.Create(), Opening::Exists);
    ASSERT_EQ(file.CreateBeside(), Opening::Created);
    Put(file, Bytes(7, 2));
    EXPECT_EQ(test::ReadFile(path), Bytes(5, 9));
    file.Close();
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(test::ReadFile(path), Bytes(7, 2));
    EXPECT_EQ(Files(), std::vector<std::string>{"show.wrk"});
    struct stat status{};
    stat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0640u); // the replacement keeps the old file's permissions
}

TEST_F(ReplacingFileTest, ADiscardedReplacementLeavesTheOldFileByteForByte)
{
    const std::string path = PathOf("show.wrk");
    test::WriteFile(path, Bytes(5, 9));
    ReplacingFile file(path);
    ASSERT_EQ(file.Create(), Opening::Exists);
    ASSERT_EQ(file.CreateBeside(), Opening::Created);
    Put(file, Bytes(700, 3));
    file.Discard();
    EXPECT_EQ(test::ReadFile(path), Bytes(5, 9));
    EXPECT_EQ(Files(), std::vector<std::string>{"show.wrk"});
}

TEST_F(ReplacingFileTest, APathThatCannotHoldAFileCannotBeCreated)
{
    test::WriteFile(PathOf("plain"), Bytes(1, 0));
    EXPECT_EQ(ReplacingFile(PathOf("plain/x.fxt")).Create(), Opening::CannotCreate);
    EXPECT_EQ(ReplacingFile(PathOf("none/x.fxt")).Create(), Opening::CannotCreate);
}

// A read-only medium is told apart from other failures; it needs a read-only mount, which only
// some machines allow a test to make.
TEST_F(ReplacingFileTest, AReadOnlyMediumIsWriteProtected)
{
    const std::string mountPoint = PathOf("readonly");
    std::filesystem::create_directory(mountPoint);
    if (mount("olktest", mountPoint.c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0)
        GTEST_SKIP() << "no read-only mount on this machine";
    EXPECT_EQ(ReplacingFile(mountPoint + "/x.fxt").Create(), Opening::WriteProtected);
    umount(mountPoint.c_str());
}

} // namespace
} // namespace olk
