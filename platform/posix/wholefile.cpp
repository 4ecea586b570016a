#include "platform/wholefile.h"

#include "platform/filehandle.h"

#include <cerrno>
#include <sys/stat.h>

namespace olk {
namespace {

bool MakeParentDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string directory = path.substr(0, slash);
        if (::mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    if (!MakeParentDirectories(path))
        return false;
    std::string created;
    const int handle = file::CreateBeside(path, &created);
    if (handle == file::kNoHandle)
        return false;
    const bool whole = file::Write(handle, bytes.data(), bytes.size()) == static_cast<long long>(bytes.size());
    file::Close(handle);
    if (whole && file::Replace(created, path))
        return true;
    file::Delete(created);
    return false;
}

} // namespace olk
