#include "platform/fileassociations.h"
#include "tests/support/linkenvironment.h"
#include "tests/support/wirebytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace olk {
namespace {

std::string ExecLine(const std::string& entry)
{
    const auto start = entry.find("\nExec=");
    return start == std::string::npos ? "" : entry.substr(start + 1, entry.find('\n', start + 1) - start - 1);
}

struct ProgramPath {
    const char* name;
    const char* path;
    const char* exec;
};

class ExecLineTest : public testing::TestWithParam<ProgramPath> {};

// The file manager must start the very program file, whatever characters its path holds.
TEST_P(ExecLineTest, QuotesTheProgramSoThePathComesThroughWhole)
{
    test::LinkEnvironment environment;
    const std::string data = environment.Directory() + "/data";
    FileAssociations associations(data, environment.Directory() + "/config", GetParam().path, {});
    associations.RegisterFileType({".wrk", "OLK User data", 3});
    associations.Publish();
    EXPECT_EQ(ExecLine(test::ReadText(data + "/applications/olkmixer.desktop")), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecLineTest,
    testing::Values(ProgramPath{"Plain", "/usr/bin/olkmixer", R"(Exec="/usr/bin/olkmixer" %f)"},
                    ProgramPath{"Blanks", "/opt/OLK mixer/olkmixer", R"(Exec="/opt/OLK mixer/olkmixer" %f)"},
                    ProgramPath{"Percent", "/opt/100%/olkmixer", R"(Exec="/opt/100%%/olkmixer" %f)"},
                    ProgramPath{"Reserved", "/opt/a\"b$c`d/olkmixer", R"(Exec="/opt/a\\"b\\$c\\`d/olkmixer" %f)"},
                    ProgramPath{"Backslash", "/opt/a\\b/olkmixer", R"(Exec="/opt/a\\\\b/olkmixer" %f)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileAssociationsTest, LocationsThatCannotBeWrittenAreLeftSilently)
{
    test::LinkEnvironment environment;
    const std::string plain = environment.Directory() + "/plain";
    std::ofstream(plain) << "not a directory";
    FileAssociations associations(plain + "/data", plain + "/config", "/usr/bin/olkmixer", {"icon"});
    associations.RegisterFileType({".hex", "OLK Firmware", 2});
    associations.Publish();
    EXPECT_EQ(test::ReadText(plain), "not a directory");
}

TEST(FileAssociationsTest, AnIconIndexWithoutAnImageWritesNoIcon)
{
    test::LinkEnvironment environment;
    const std::string data = environment.Directory() + "/data";
    FileAssociations associations(data, environment.Directory() + "/config", "/usr/bin/olkmixer", {"main"});
    associations.RegisterFileType({".fxt", "OLK Fixture", 7});
    associations.Publish();
    EXPECT_FALSE(std::filesystem::exists(data + "/icons/hicolor/32x32/mimetypes/application-x-olk-fxt.png"));
    EXPECT_EQ(test::ReadText(data + "/icons/hicolor/96x96/apps/olkmixer.png"), "main");
}

} // namespace
} // namespace olk
