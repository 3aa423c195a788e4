#include "common/ProcessDirectory.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Characters as the program's text counts them (UTF-16 units): every byte that starts a
// UTF-8 sequence, and one more for a character beyond 16 bits.
std::size_t CharacterCount(const std::string& utf8)
{
    std::size_t count = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            ++count;
        if (byte >= 0xF0)
            ++count;
    }
    return count;
}

} // namespace

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
    return dir;
}

std::string ProcessDirectoryProblem()
{
    const std::string dir = GetProcessDirectory();
    if (dir.empty())
        return std::string("the current directory cannot be read: ") + std::strerror(errno);
    const std::size_t length = CharacterCount(dir);
    if (length > kProcessDirectoryCapacity)
        return "the current directory is " + std::to_string(length) + " characters long, more than the "
               + std::to_string(kProcessDirectoryCapacity)
               + " (with the final \"/\") the program can hold; start it from a folder with a shorter path:\n  "
               + dir;
    return {};
}
