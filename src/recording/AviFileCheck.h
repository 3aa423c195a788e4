#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

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

// Walks the chunk headers only (one small read per chunk), never the frame data.
AviFileCheck CheckAviFile(std::int64_t fileSize, const AviReadAt& read);

// The same for a file on disk; a file that cannot be opened or read counts as NotAvi.
AviFileCheck CheckAviFile(int fd);
