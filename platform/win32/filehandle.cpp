#include "platform/filehandle.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace olk::file {
namespace {

// A single ReadFile or WriteFile moves at most this much, well inside a DWORD.
constexpr std::size_t kLargestCall = 1u << 30;

struct Disposition {
    DWORD access;
    DWORD creation;
};

Disposition DispositionOf(OpenMode mode)
{
    switch (mode) {
    case OpenMode::ReadOnly: return {GENERIC_READ, OPEN_EXISTING};
    case OpenMode::ReadWrite: return {GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING};
    case OpenMode::CreateNew: return {GENERIC_READ | GENERIC_WRITE, CREATE_NEW};
    case OpenMode::CreateAlways: return {GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS};
    }
    return {GENERIC_READ, OPEN_EXISTING};
}

Failure FailureOf(DWORD error)
{
    switch (error) {
    case ERROR_WRITE_PROTECT: return Failure::WriteProtected;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return Failure::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return Failure::Exists;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Failure::Missing;
    default: return Failure::Other;
    }
}

void Report(Failure* failure, Failure reason)
{
    if (failure)
        *failure = reason;
}

// The system's handle behind one of ours: the C runtime keeps the table, so our handles stay
// small non-negative numbers as on every platform.
HANDLE SystemHandle(int handle)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(handle));
}

int Adopt(HANDLE system)
{
    const int handle = _open_osfhandle(reinterpret_cast<intptr_t>(system), _O_BINARY);
    if (handle < 0)
        CloseHandle(system);
    return handle < 0 ? kNoHandle : handle;
}

// Others may read the file meanwhile; and it may be renamed while open, as a backup is put in
// place before its description is written through the same handle.
int OpenSystem(const std::string& path, Disposition disposition, Failure* failure)
{
    const HANDLE system = CreateFileA(path.c_str(), disposition.access, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      disposition.creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (system == INVALID_HANDLE_VALUE) {
        Report(failure, FailureOf(GetLastError()));
        return kNoHandle;
    }
    const int handle = Adopt(system);
    Report(failure, handle == kNoHandle ? Failure::Other : Failure::None);
    return handle;
}

std::string DirectoryOf(const std::string& path)
{
    const auto separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? "." : path.substr(0, separator + 1);
}

} // namespace

int Open(const std::string& path, OpenMode mode, Failure* failure)
{
    return OpenSystem(path, DispositionOf(mode), failure);
}

long long Read(int handle, void* buffer, std::size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD ask = static_cast<DWORD>(std::min(count - done, kLargestCall));
        if (!ReadFile(SystemHandle(handle), bytes + done, ask, &got, nullptr))
            return done > 0 ? static_cast<long long>(done) : -1;
        if (got == 0)
            break;
        done += got;
    }
    return static_cast<long long>(done);
}

long long Write(int handle, const void* buffer, std::size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        DWORD put = 0;
        const DWORD ask = static_cast<DWORD>(std::min(count - done, kLargestCall));
        if (!WriteFile(SystemHandle(handle), bytes + done, ask, &put, nullptr) || put == 0)
            return done > 0 ? static_cast<long long>(done) : -1;
        done += put;
    }
    return static_cast<long long>(done);
}

bool Seek(int handle, int64_t offset)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(SystemHandle(handle), distance, nullptr, FILE_BEGIN) != 0;
}

int64_t Length(int handle)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(SystemHandle(handle), &size))
        return -1;
    return size.QuadPart;
}

void Close(int handle)
{
    if (handle != kNoHandle)
        _close(handle);
}

bool Delete(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

int CreateBeside(const std::string& target, std::string* created, Failure* failure)
{
    const std::string directory = DirectoryOf(target);
    char name[MAX_PATH];
    // GetTempFileNameA makes the file, so the name is ours; it is then opened for writing.
    if (directory.size() >= MAX_PATH - 14 || GetTempFileNameA(directory.c_str(), "olk", 0, name) == 0) {
        Report(failure, FailureOf(GetLastError()));
        return kNoHandle;
    }
    const int handle = OpenSystem(name, {GENERIC_READ | GENERIC_WRITE, TRUNCATE_EXISTING}, failure);
    if (handle == kNoHandle) {
        DeleteFileA(name);
        return kNoHandle;
    }
    *created = name;
    return handle;
}

bool Replace(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool IsReservedInFileName(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

} // namespace olk::file
