#include "common/ResourceLocator.h"

#include "common/ProcessDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#ifndef VELA_DATA_DIR
#define VELA_DATA_DIR "/usr/local/share/vela-video"
#endif

namespace {
bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}
} // namespace

// <prefix>/bin/vela-video finds <prefix>/share/vela-video, installed anywhere; the build
// tree is laid out the same way, so a program run from the build finds its resources.
std::string BesideExecutable(const std::string& relativePath)
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    std::string exe(buf, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    if (slash == std::string::npos)
        return {};
    return exe.substr(0, slash) + "/../share/vela-video/" + relativePath;
}

std::string ResourcePath(const std::string& relativePath)
{
    const std::string local = GetProcessDirectory() + relativePath;
    if (Exists(local))
        return local;
    for (const std::string& candidate : {BesideExecutable(relativePath), std::string(VELA_DATA_DIR) + "/" + relativePath})
        if (!candidate.empty() && Exists(candidate))
            return candidate;
    return local;
}
