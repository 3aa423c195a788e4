#pragma once

#include "common/Status.h"

// A process exit status keeps only 8 bits, so the 32-bit result of Run is mapped:
// success 0, other failure 1, bad command line 2 (decided before Run),
// E_ABORT (another copy running, or start-up aborted) 3, E_OUTOFMEMORY 4.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitAborted = 3;

inline int ExitStatusFor(Status s)
{
    if (Succeeded(s))
        return 0;
    if (s == E_ABORT)
        return kExitAborted;
    if (s == E_OUTOFMEMORY)
        return 4;
    return 1;
}
