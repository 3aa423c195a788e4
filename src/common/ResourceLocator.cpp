#include "common/ResourceLocator.h"

#include "common/ProcessDirectory.h"

#include <sys/stat.h>

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

std::string ResourcePath(const std::string& relativePath)
{
    const std::string local = GetProcessDirectory() + relativePath;
    if (Exists(local))
        return local;
    const std::string installed = std::string(VELA_DATA_DIR) + "/" + relativePath;
    return Exists(installed) ? installed : local;
}
