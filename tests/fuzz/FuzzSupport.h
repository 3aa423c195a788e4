#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Every fuzz input is written into a scratch process directory, made once per process.
inline void EnterScratchProcessDirectory()
{
    static const bool entered = [] {
        char pattern[] = "/tmp/vela-fuzz-XXXXXX";
        if (const char* dir = ::mkdtemp(pattern))
            std::filesystem::current_path(dir);
        return true;
    }();
    (void)entered;
}

inline void WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
