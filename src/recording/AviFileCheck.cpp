#include "recording/AviFileCheck.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// The verdict of a file that is not a whole RIFF "AVI " head; nothing for one whose
// chunks are to be walked.
std::optional<AviFileVerdict> HeadVerdict(std::int64_t fileSize, const AviReadAt& read)
{
    if (fileSize <= 0)
        return AviFileVerdict::Empty;
    unsigned char head[12] = {};
    const std::size_t got = read(0, head, sizeof head);
    if (std::memcmp(head, "RIFF", std::min<std::size_t>(got, 4)) != 0)
        return AviFileVerdict::NotAvi;
    if (got < sizeof head)
        return AviFileVerdict::TruncatedHeader;
    if (std::memcmp(head + 8, "AVI ", 4) != 0)
        return AviFileVerdict::NotAvi;
    return std::nullopt;
}

// What the walk found besides the counts it leaves in the check.
struct ChunkWalk {
    bool riffsTile = true; // the top-level RIFFs follow each other exactly
    std::int64_t nextRiff = 0;
    bool moviSeen = false;
};

// One walk through the whole file. The top-level RIFFs ("AVI " and any OpenDML "AVIX")
// must follow each other exactly up to the end of the file, as the writer's closing
// leaves them.
ChunkWalk WalkChunks(std::int64_t fileSize, const AviReadAt& read, AviFileCheck& r)
{
    ChunkWalk walk;
    bool headerRead = false;
    r.dataEnd = WalkAviChunks(fileSize, read, [&](const AviChunk& c) {
        if (Is(c.id, "RIFF")) {
            walk.riffsTile = walk.riffsTile && c.offset == walk.nextRiff;
            walk.nextRiff = c.offset + 8 + c.size + (c.size & 1);
        } else if (c.IsList()) {
            walk.moviSeen = walk.moviSeen || Is(c.listType, "movi");
        } else if (Is(c.id, "avih") && !headerRead && c.size >= kTotalFramesOffset + 4) {
            unsigned char frames[4] = {};
            if (read(c.offset + 8 + kTotalFramesOffset, frames, 4) == 4)
                r.headerFrames = LittleEndian32(frames);
            headerRead = true;
        } else if (Is(c.id, "idx1")) {
            r.hasIndex = true;
        } else if (walk.moviSeen && IsVideoFrame(c.id)) {
            ++r.videoChunks;
        }
    });
    return walk;
}

} // namespace

bool AviChunk::IsList() const
{
    return Is(id, "RIFF") || Is(id, "LIST");
}

std::int64_t WalkAviChunks(std::int64_t fileSize, const AviReadAt& read, const std::function<void(const AviChunk&)>& visit)
{
    std::int64_t pos = 0;
    std::int64_t end = 0;
    while (pos + 8 <= fileSize) {
        unsigned char h[8] = {};
        if (read(pos, h, 8) < 8)
            break;
        AviChunk c;
        std::memcpy(c.id.data(), h, 4);
        c.offset = pos;
        c.size = LittleEndian32(h + 4);
        if (c.IsList()) {
            if (pos + 12 > fileSize || read(pos + 8, c.listType.data(), 4) < 4)
                break;
            visit(c);
            pos += 12;
        } else {
            if (!IsChunkId(c.id) || pos + 8 + c.size > fileSize)
                break;
            visit(c);
            pos = std::min<std::int64_t>(pos + 8 + c.size + (c.size & 1), fileSize);
        }
        end = pos;
    }
    return end;
}

AviFileCheck CheckAviFile(std::int64_t fileSize, const AviReadAt& read)
{
    AviFileCheck r;
    if (const std::optional<AviFileVerdict> verdict = HeadVerdict(fileSize, read)) {
        r.verdict = *verdict;
        return r;
    }
    const ChunkWalk walk = WalkChunks(fileSize, read, r);
    if (!walk.moviSeen) {
        r.verdict = AviFileVerdict::TruncatedHeader;
        return r;
    }
    const bool complete = r.dataEnd == fileSize && walk.riffsTile && walk.nextRiff == fileSize && r.hasIndex
                       && (r.headerFrames > 0 || r.videoChunks == 0);
    r.verdict = complete ? AviFileVerdict::Complete : AviFileVerdict::Interrupted;
    return r;
}

namespace {

// The file's size and reads from it; false when it cannot be looked at.
bool FileReader(int fd, std::int64_t& size, AviReadAt& read)
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return false;
    size = st.st_size;
    read = [fd](std::int64_t offset, void* to, std::size_t n) -> std::size_t {
        const ssize_t got = ::pread(fd, to, n, static_cast<off_t>(offset));
        return got < 0 ? 0 : static_cast<std::size_t>(got);
    };
    return true;
}

std::int32_t LittleEndianInt32(const unsigned char* p)
{
    return static_cast<std::int32_t>(LittleEndian32(p));
}

// strh: type at 0, scale at 20, rate at 24; strf of video (a bitmap header): width at 4,
// height at 8, compression at 16.
constexpr std::uint32_t kStreamHeaderBytes = 28;
constexpr std::uint32_t kBitmapHeaderBytes = 20;

} // namespace

AviFileCheck CheckAviFile(int fd)
{
    std::int64_t size = 0;
    AviReadAt read;
    return FileReader(fd, size, read) ? CheckAviFile(size, read) : AviFileCheck{};
}

AviVideoStream ReadAviVideoStream(std::int64_t fileSize, const AviReadAt& read)
{
    AviVideoStream v;
    int streams = 0;        // stream headers seen
    int videoStream = -1;   // the number of the first video stream
    bool inVideoStream = false;
    bool moviSeen = false;
    char frameId[2] = {};   // "00": the stream number its frame chunks begin with
    WalkAviChunks(fileSize, read, [&](const AviChunk& c) {
        unsigned char d[kStreamHeaderBytes] = {};
        if (c.IsList()) {
            moviSeen = moviSeen || Is(c.listType, "movi");
        } else if (Is(c.id, "strh")) {
            inVideoStream = false;
            if (videoStream < 0 && c.size >= kStreamHeaderBytes && read(c.offset + 8, d, sizeof d) == sizeof d
                && std::memcmp(d, "vids", 4) == 0) {
                videoStream = streams;
                inVideoStream = true;
                v.scale = LittleEndian32(d + 20);
                v.rate = LittleEndian32(d + 24);
                frameId[0] = static_cast<char>('0' + videoStream / 10 % 10);
                frameId[1] = static_cast<char>('0' + videoStream % 10);
            }
            ++streams;
        } else if (Is(c.id, "strf") && inVideoStream && c.size >= kBitmapHeaderBytes
                   && read(c.offset + 8, d, kBitmapHeaderBytes) == kBitmapHeaderBytes) {
            v.found = true;
            v.width = LittleEndianInt32(d + 4);
            v.height = LittleEndianInt32(d + 8);
            std::memcpy(v.compression.data(), d + 16, 4);
            inVideoStream = false;
        } else if (moviSeen && v.found && IsVideoFrame(c.id) && c.id[0] == frameId[0] && c.id[1] == frameId[1]) {
            v.frames.push_back({c.offset + 8, c.size});
        }
    });
    return v;
}

AviVideoStream ReadAviVideoStream(int fd)
{
    std::int64_t size = 0;
    AviReadAt read;
    return FileReader(fd, size, read) ? ReadAviVideoStream(size, read) : AviVideoStream{};
}
