#pragma once

#include "common/Clock.h"
#include "messages/UserMessageLog.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Every fuzz input is written into a scratch process directory, made once per process;
// the targets report into one silent log, emptied for each input, stamped by a standing clock.
struct FuzzScratch {
    FuzzScratch()
    {
        char pattern[] = "/tmp/vela-fuzz-XXXXXX";
        if (const char* dir = ::mkdtemp(pattern))
            std::filesystem::current_path(dir);
        log.SetEchoToStderr(false);
    }
    ManualClock clock{CalendarTime{2026, 3, 0, 15, 12, 0, 0, 0}};
    UserMessageLog log{clock};
};

inline FuzzScratch& EnterScratchProcessDirectory()
{
    static FuzzScratch scratch;
    scratch.log.Clear();
    return scratch;
}

inline void WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    std::ofstream(name, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
