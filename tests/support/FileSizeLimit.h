#pragma once

#include <csignal>
#include <sys/resource.h>

// A full disk, as far as this process can tell: while the object lives, no file can
// grow beyond the given size (a write that would fails with EFBIG). Keep the scope
// short; the test's own output is written to files too.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};
