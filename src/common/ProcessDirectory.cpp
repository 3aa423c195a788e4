#include "common/ProcessDirectory.h"

#include <cerrno>
#include <climits>
#include <unistd.h>
#include <vector>

std::string GetProcessDirectory()
{
    std::vector<char> buf(PATH_MAX + 1);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buf.resize(buf.size() * 2);
    }
    std::string dir(buf.data());
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    if (dir.size() > 511)
        dir.resize(511);
    return dir;
}
