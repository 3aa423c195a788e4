#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes)
{
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &m_saved), 0);
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_savedHandler);
}
