#pragma once

#include "common/Status.h"

// A process exit status keeps only 8 bits, so the 32-bit result of Run is mapped:
// success 0, other failure 1, bad command line 2 (decided before Run),
// Status::Aborted (another copy running, or start-up aborted) 3, Status::OutOfMemory 4.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitAborted = 3;

inline int ExitStatusFor(Status s)
{
    if (Succeeded(s))
        return 0;
    if (s == Status::Aborted)
        return kExitAborted;
    if (s == Status::OutOfMemory)
        return 4;
    return 1;
}
