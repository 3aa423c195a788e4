#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <sys/types.h>

inline constexpr const char* kLagarithCodecName = "Lagarith Lossless Codec";
inline constexpr std::int64_t kAllocationGigabyte = std::int64_t{1} << 30;

// Everything that decides the pre-allocation of one recording file.
struct PreAllocationRequest {
    QString FileName;                    // empty for a preview build
    QString CodecName;                   // "NONE" included
    bool FilePreAllocation = false;
    std::uint32_t ManualAllocationGB = 0;
    std::uint32_t EventAllocationGB = 0; // per 10 minutes of Event
    bool RecordingActive = false;
    std::chrono::milliseconds EventDuration{0}; // 0 for a manual recording
};

struct AppOptions;

// The request of a recording build, from the options and whether a recording is active.
PreAllocationRequest MakePreAllocationRequest(const AppOptions& options, bool recordingActive, const QString& fileName,
                                              const QString& codecName, std::chrono::milliseconds eventDuration);

// Bytes to claim; 0 when nothing is to be pre-allocated. An Event gets its gigabytes per
// 10 minutes pro rata to the millisecond, truncated; the lossless codec's quarter.
std::int64_t PreAllocationSize(const PreAllocationRequest& request);

enum class PreAllocationOutcome {
    NotAsked,   // off, no recording, no file name or no size
    NotCreated, // the file exists already or cannot be created: left alone
    Claimed,    // the blocks are allocated and the file has the size
    SizeOnly,   // the file system cannot claim space: the file only has the size
    Failed,     // the space cannot be had: the new file is left empty
};

// The system calls, so that a test can make them fail.
struct PreAllocationCalls {
    int (*Open)(const char* path, int flags, mode_t mode);
    int (*Fallocate)(int fd, int mode, off_t offset, off_t length);
    int (*Ftruncate)(int fd, off_t length);
    int (*Close)(int fd);
};
extern const PreAllocationCalls kSystemPreAllocationCalls;

// Creates the file exclusively and claims its space with fallocate, without writing
// data. Never stops the build and logs nothing; the outcome is for callers and tests.
PreAllocationOutcome PreAllocateRecordingFile(const PreAllocationRequest& request,
                                              const PreAllocationCalls& calls = kSystemPreAllocationCalls);
