#pragma once

#include "common/Status.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>

typedef struct _GstElement GstElement;
struct MediaFormat;
struct PreAllocationCalls;
struct PreAllocationRequest;
class UserMessageLog;

// The file a recording graph writes. Checked before the graph is built; claimed when the
// options ask for pre-allocation, and then written in place through a descriptor of its
// own; watched for free space while it grows; cut to the bytes written when it is
// finished. A file that the build made goes again when the build fails before it holds
// frames. UI thread, except the count of bytes written, which the writer's thread keeps.
class RecordingFile final {
public:
    // Whether a recording into fileName can begin: a name, a file that can be written and
    // room for the start. Otherwise the reason goes to User Messages and Status::Aborted
    // comes back, before anything is made.
    static Status CheckTarget(const QString& fileName, const MediaFormat& format, UserMessageLog& log);

    // Notes whether the file is there before the build; reports to log.
    RecordingFile(const QString& fileName, UserMessageLog& log);
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    const QString& FileName() const { return m_fileName; }

    // Pre-allocates the file as the request asks. Status::Aborted (reported) when a
    // claimed file cannot be opened to write.
    Status Claim(const PreAllocationRequest& request, const PreAllocationCalls& calls);
    // The graph's file writer: into the claimed file, else making the file by name.
    GstElement* MakeWriter() const;
    // Follows the highest byte the writer is given, so that a claimed file can be cut to it.
    void FollowWrites(GstElement* writer);

    // The build succeeded: the file is being recorded until Finish.
    void Begin() { m_running = true; }
    bool Running() const { return m_running; }

    // Asked every few hundred milliseconds while recording: true when the folder no longer
    // holds room for a few more checks' worth of video, the index and the log.
    bool RoomRunsOut(std::uint64_t recordedFrames);

    // Once the writer has stopped: a claimed file is cut to the bytes written (after a
    // disorderly stop only once anything was written).
    void Finish(bool orderly);

    // After a failed build: true for a file that this build made.
    bool MadeByThisBuild() const { return m_madeHere; }
    // Once the writer has let go of it: removes the file unless it holds frames.
    void Discard(bool holdsFrames);

private:
    void CloseDescriptor();

    QString m_fileName;
    UserMessageLog& m_log;
    bool m_madeHere = false;
    bool m_running = false;
    int m_fd = -1;                           // of a claimed file
    std::uint64_t m_lastFileEnd = 0;         // at the previous space check
    std::atomic<std::uint64_t> m_fileEnd{0}; // highest byte the writer was given
    std::uint64_t m_writePosition = 0;       // writer thread only
};
