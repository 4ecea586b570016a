// olkmixer-desktopfiles: writes the desktop entry, the MIME packages and the icons the package
// installs, the very files the program writes for each user at start, for the program at its
// installed path. Usage: olkmixer-desktopfiles OUTPUT_DIRECTORY PROGRAM_PATH ICON_DIRECTORY
#include "app/filetypes.h"

#include <cstdio>
#include <fstream>
#include <iterator>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: olkmixer-desktopfiles OUTPUT_DIRECTORY PROGRAM_PATH ICON_DIRECTORY\n");
        return 64;
    }
    const std::string output = argv[1];
    std::vector<std::string> icons;
    for (const char* name : olk::kOlkIconNames) {
        std::ifstream in(std::string(argv[3]) + "/" + name, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "olkmixer-desktopfiles: cannot read %s/%s\n", argv[3], name);
            return 1;
        }
        icons.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The default-handler list goes to a directory of its own, which the package leaves out: the
    // choice of handler stays each user's.
    olk::FileAssociations associations(output, output + "/.config", argv[2], std::move(icons));
    olk::RegisterOlkFileTypes(associations);
    return 0;
}
