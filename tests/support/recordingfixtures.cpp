#include "tests/support/recordingfixtures.h"

#include <algorithm>
#include <cctype>

namespace olk::test {

void RecordingFixtures::AddListedName(const std::string& name)
{
    names.push_back(name);
    views_.Record("fixtures.name=" + name);
}

bool RecordingFixtures::ListHasName(const std::string& name) const
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& listed) {
        return listed.size() == name.size() &&
               std::equal(listed.begin(), listed.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    });
}

void RecordingFixtures::FreeDownloadedFixture()
{
    downloaded.clear();
    views_.Record("fixtures.free");
}

} // namespace olk::test
