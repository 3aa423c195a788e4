#include "recording/AviFileCheck.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FourCc = std::array<char, 4>;

bool Is(const FourCc& id, const char* text)
{
    return std::memcmp(id.data(), text, 4) == 0;
}

// Chunk ids are four printable characters; zeros or noise end the walk.
bool IsChunkId(const FourCc& id)
{
    for (const char c : id)
        if (c < 0x20 || c > 0x7e)
            return false;
    return true;
}

// "00db", "01dc": a frame of a video stream.
bool IsVideoFrame(const FourCc& id)
{
    return id[0] >= '0' && id[0] <= '9' && id[1] >= '0' && id[1] <= '9' && id[2] == 'd'
        && (id[3] == 'b' || id[3] == 'c');
}

std::uint32_t LittleEndian32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
         | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::int64_t kTotalFramesOffset = 16; // in the 'avih' data

} // namespace

AviFileCheck CheckAviFile(std::int64_t fileSize, const AviReadAt& read)
{
    AviFileCheck r;
    if (fileSize <= 0) {
        r.verdict = AviFileVerdict::Empty;
        return r;
    }
    unsigned char head[12] = {};
    const std::size_t got = read(0, head, sizeof head);
    if (std::memcmp(head, "RIFF", std::min<std::size_t>(got, 4)) != 0)
        return r;
    if (got < sizeof head) {
        r.verdict = AviFileVerdict::TruncatedHeader;
        return r;
    }
    if (std::memcmp(head + 8, "AVI ", 4) != 0)
        return r;

    // One walk through the whole file: RIFF and LIST headers are stepped into, every
    // other chunk over. The top-level RIFFs ("AVI " and any OpenDML "AVIX") must follow
    // each other exactly up to the end of the file, as the writer's closing leaves them.
    bool riffsTile = true;
    std::int64_t nextRiff = 0;
    bool moviSeen = false;
    bool headerRead = false;
    std::int64_t pos = 0;
    while (pos + 8 <= fileSize) {
        unsigned char h[12] = {};
        if (read(pos, h, 8) < 8)
            break;
        FourCc id;
        std::memcpy(id.data(), h, 4);
        const std::int64_t size = LittleEndian32(h + 4);
        if (Is(id, "RIFF") || Is(id, "LIST")) {
            if (pos + 12 > fileSize || read(pos + 8, h + 8, 4) < 4)
                break;
            if (Is(id, "RIFF")) {
                riffsTile = riffsTile && pos == nextRiff;
                nextRiff = pos + 8 + size + (size & 1);
            } else if (std::memcmp(h + 8, "movi", 4) == 0) {
                moviSeen = true;
            }
            pos += 12;
            r.dataEnd = pos;
            continue;
        }
        if (!IsChunkId(id) || pos + 8 + size > fileSize)
            break;
        if (Is(id, "avih") && !headerRead && size >= kTotalFramesOffset + 4) {
            unsigned char frames[4] = {};
            if (read(pos + 8 + kTotalFramesOffset, frames, 4) == 4)
                r.headerFrames = LittleEndian32(frames);
            headerRead = true;
        } else if (Is(id, "idx1")) {
            r.hasIndex = true;
        } else if (moviSeen && IsVideoFrame(id)) {
            ++r.videoChunks;
        }
        pos = std::min(pos + 8 + size + (size & 1), fileSize);
        r.dataEnd = pos;
    }

    if (!moviSeen) {
        r.verdict = AviFileVerdict::TruncatedHeader;
        return r;
    }
    const bool complete = r.dataEnd == fileSize && riffsTile && nextRiff == fileSize && r.hasIndex
                       && (r.headerFrames > 0 || r.videoChunks == 0);
    r.verdict = complete ? AviFileVerdict::Complete : AviFileVerdict::Interrupted;
    return r;
}

AviFileCheck CheckAviFile(int fd)
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return CheckAviFile(st.st_size, [fd](std::int64_t offset, void* to, std::size_t n) -> std::size_t {
        const ssize_t got = ::pread(fd, to, n, static_cast<off_t>(offset));
        return got < 0 ? 0 : static_cast<std::size_t>(got);
    });
}
