#include "common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool Fail(std::string* error, const char* what, int err)
{
    if (error)
        *error = std::string(what) + ": " + std::strerror(err);
    return false;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error)
{
    std::vector<char> temp(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    temp.insert(temp.end(), suffix, suffix + sizeof suffix); // with the terminating zero
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return Fail(error, "cannot create the file", errno);

    auto abandon = [&](const char* what, int err) {
        ::close(fd);
        ::unlink(temp.data());
        return Fail(error, what, err);
    };

    // A new file readable like one made by an ordinary open (mkostemp makes it 0600).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon("cannot write the file", errno);
        }
        if (n == 0)
            return abandon("cannot write the file", ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return abandon("cannot write the file to the disk", errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.data());
        return Fail(error, "cannot write the file to the disk", err);
    }
    if (::rename(temp.data(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.data());
        return Fail(error, "cannot replace the file", err);
    }
    return true;
}
