#pragma once
// Files by low-level handle, in binary mode. A handle is a signed 32-bit value, -1 when none.
#include <cstddef>
#include <cstdint>
#include <string>

namespace olk::file {

inline constexpr int kNoHandle = -1;

enum class OpenMode {
    ReadOnly,      // an existing file, for reading
    ReadWrite,     // an existing file, for reading and writing
    CreateNew,     // a new file for reading and writing; fails when the path exists
    CreateAlways,  // a file for reading and writing, truncated when it exists
};

enum class Failure {
    None,
    WriteProtected, // the medium is read-only
    AccessDenied,
    Exists,
    Missing,
    Other,
};

// Opens the path; returns the handle, or kNoHandle with the reason in *failure.
int Open(const std::string& path, OpenMode mode, Failure* failure = nullptr);

// Reads up to count bytes, fewer only at the end of the file; -1 on an error.
long long Read(int handle, void* buffer, std::size_t count);

// Writes count bytes, fewer only when the medium refuses more (full, removed); -1 on an error
// before the first byte.
long long Write(int handle, const void* buffer, std::size_t count);

bool Seek(int handle, int64_t offset);

// The file's length in bytes, or -1.
int64_t Length(int handle);

void Close(int handle);

bool Delete(const std::string& path);

// Creates a new file, for reading and writing, with a name of its own in the directory of target;
// returns its handle and puts its path in *created, or kNoHandle with the reason in *failure.
int CreateBeside(const std::string& target, std::string* created, Failure* failure = nullptr);

// Puts the file at from in the place of the file at to, in one step: the old one is gone only
// when the new one stands there.
bool Replace(const std::string& from, const std::string& to);

// Whether the character cannot stand in a file name, as a separator or otherwise: '/' on Linux;
// on Windows also the backslash, ':' and the others the system refuses.
bool IsReservedInFileName(char c);

} // namespace olk::file
