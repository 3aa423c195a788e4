#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// What the RIFF structure of an AVI file says about how its writing ended. The writer
// (avimux) puts a header with 0 frames and no index at the start and fills both in only
// when the recording ends, so a killed program or a power cut leaves a file whose
// frames are all there but which readers that trust the header see as empty.
enum class AviFileVerdict {
    Complete,        // header, index and RIFF sizes agree with the file
    Interrupted,     // frames readable by scanning, header or index missing
    Empty,           // 0 bytes
    NotAvi,          // not a RIFF "AVI " file
    TruncatedHeader, // ends before its first frames could begin
};

struct AviFileCheck {
    AviFileVerdict verdict = AviFileVerdict::NotAvi;
    // End of the last whole chunk: the bytes worth reading. Zeros after it (claimed
    // blocks of a pre-allocated file, or pages lost in a power cut) are not part of it.
    std::int64_t dataEnd = 0;
    std::int64_t headerFrames = 0; // the main header's total-frames field
    std::int64_t videoChunks = 0;  // whole video frame chunks found
    bool hasIndex = false;         // an 'idx1' chunk
};

// Reads up to n bytes at offset into to; returns the number read.
using AviReadAt = std::function<std::size_t(std::int64_t offset, void* to, std::size_t n)>;

using FourCc = std::array<char, 4>;

struct AviChunk {
    FourCc id{};
    FourCc listType{};       // RIFF and LIST only: "AVI ", "movi" ...
    std::int64_t offset = 0; // of the chunk's header; its data starts 8 bytes later
    std::uint32_t size = 0;  // of the data, as its header says
    bool IsList() const;     // RIFF or LIST: the walk goes on into its chunks
};

// Hands each chunk header to visit in file order, stepping into RIFF and LIST and over
// every other chunk (one small read per chunk, never the data). Stops at a header that
// is no chunk id (zeros, noise) or whose data runs past the end; returns the end of the
// last whole chunk.
std::int64_t WalkAviChunks(std::int64_t fileSize, const AviReadAt& read, const std::function<void(const AviChunk&)>& visit);

AviFileCheck CheckAviFile(std::int64_t fileSize, const AviReadAt& read);

// The same for a file on disk; a file that cannot be opened or read counts as NotAvi.
AviFileCheck CheckAviFile(int fd);

// The first video stream of an AVI file: its format and where each of its frames lies.
struct AviVideoStream {
    bool found = false;
    FourCc compression{}; // the format's code: "YUY2", "UYVY", "MJPG"; zeros for RGB
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative for a bottom-up RGB picture stored top-down
    std::uint32_t rate = 0;   // frames per second: rate / scale
    std::uint32_t scale = 0;
    struct Frame {
        std::int64_t offset = 0; // of the frame's bytes
        std::uint32_t size = 0;
    };
    std::vector<Frame> frames; // in file order, OpenDML extensions included
};

AviVideoStream ReadAviVideoStream(std::int64_t fileSize, const AviReadAt& read);
// The same for a file on disk; nothing found when it cannot be read.
AviVideoStream ReadAviVideoStream(int fd);
