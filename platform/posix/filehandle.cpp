#include "platform/filehandle.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olk::file {
namespace {

constexpr mode_t kReadWritePermission = 0666; // narrowed by the user's umask

int Flags(OpenMode mode)
{
    switch (mode) {
    case OpenMode::ReadOnly: return O_RDONLY;
    case OpenMode::ReadWrite: return O_RDWR;
    case OpenMode::CreateNew: return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::CreateAlways: return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

Failure FailureOf(int error)
{
    switch (error) {
    case EROFS: return Failure::WriteProtected;
    case EACCES:
    case EPERM: return Failure::AccessDenied;
    case EEXIST: return Failure::Exists;
    case ENOENT: return Failure::Missing;
    default: return Failure::Other;
    }
}

// A file that grants nobody write permission is a read-only file to the user, even for root,
// whom the system lets write it anyway: updating it in place must be refused as it would be on a
// read-only file elsewhere.
bool GrantsNoWrite(int handle)
{
    struct stat status{};
    return ::fstat(handle, &status) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

int Open(const std::string& path, OpenMode mode, Failure* failure)
{
    int handle;
    do
        handle = ::open(path.c_str(), Flags(mode) | O_CLOEXEC, kReadWritePermission);
    while (handle < 0 && errno == EINTR);
    Failure reason = handle < 0 ? FailureOf(errno) : Failure::None;
    if (handle >= 0 && mode == OpenMode::ReadWrite && GrantsNoWrite(handle)) {
        ::close(handle);
        handle = -1;
        reason = Failure::AccessDenied;
    }
    if (failure)
        *failure = reason;
    return handle < 0 ? kNoHandle : handle;
}

long long Read(int handle, void* buffer, std::size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(handle, bytes + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return done > 0 ? static_cast<long long>(done) : -1;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

long long Write(int handle, const void* buffer, std::size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(handle, bytes + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return done > 0 ? static_cast<long long>(done) : -1;
        done += static_cast<std::size_t>(put);
    }
    return static_cast<long long>(done);
}

bool Seek(int handle, int64_t offset)
{
    return ::lseek(handle, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

int64_t Length(int handle)
{
    struct stat status{};
    if (::fstat(handle, &status) != 0)
        return -1;
    return static_cast<int64_t>(status.st_size);
}

void Close(int handle)
{
    if (handle != kNoHandle)
        ::close(handle);
}

bool Delete(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

int CreateBeside(const std::string& target, std::string* created, Failure* failure)
{
    const auto slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string pattern = (slash == std::string::npos ? "./" : directory) + ".olkmixer-XXXXXX";
    const int handle = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (failure)
        *failure = handle < 0 ? FailureOf(errno) : Failure::None;
    if (handle < 0)
        return kNoHandle;
    *created = pattern;
    return handle;
}

// The permissions a file created by open would have had.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return kReadWritePermission & ~mask;
}

bool Replace(const std::string& from, const std::string& to)
{
    // The new file takes the old one's permissions, or those of a newly created file.
    struct stat old{};
    const mode_t mode = ::stat(to.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    ::chmod(from.c_str(), mode);
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool IsReservedInFileName(char c)
{
    return c == '/' || c == '\0';
}

} // namespace olk::file
