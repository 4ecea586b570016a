#pragma once
// Readers that take a path get the fuzz input as a file: one directory a process, in memory
// where the system offers it, each file written over again for every input.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace olk::fuzz {

inline const std::string& ScratchDirectory()
{
    static const std::string directory = [] {
        std::string pattern = (::access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
                              "/olkfuzz-XXXXXX";
        return ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
    }();
    return directory;
}

inline std::string ScratchFile(const std::string& name, const uint8_t* data, std::size_t size)
{
    const std::string path = ScratchDirectory() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

} // namespace olk::fuzz
