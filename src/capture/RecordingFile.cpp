#include "capture/RecordingFile.h"

#include "devices/DeviceTable.h"
#include "devices/PreAllocation.h"
#include "messages/UserMessageLog.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gst/gst.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t kSpaceReserve = 8ull << 20; // the log, the headers, some slack

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void ReportNotStarted(UserMessageLog& log, const QString& reason)
{
    log.Append(QStringLiteral("\r\nERROR -- The recording was not started: %1\r\n").arg(reason), true);
}

// Bytes a file in the folder may still grow by, holding fileSize now: the free space, or
// less when this process may not write files that large. Empty when the folder cannot be
// asked.
std::optional<std::uint64_t> RoomForFile(const QString& folder, std::uint64_t fileSize)
{
    struct statvfs vfs {};
    if (::statvfs(QFile::encodeName(folder).constData(), &vfs) != 0)
        return std::nullopt;
    std::uint64_t room = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        room = std::min<std::uint64_t>(room, limit.rlim_cur > fileSize ? limit.rlim_cur - fileSize : 0);
    return room;
}

// One second of the camera's video as it comes, the most any codec writes for it.
std::uint64_t OneSecondOfVideo(const MediaFormat& f)
{
    const std::uint64_t bytesPerPixel =
        f.subtype == VideoSubtype::ARGB32 ? 4 : f.subtype == VideoSubtype::RGB24 ? 3 : 2;
    const std::uint64_t fps = f.framesPerSecond > 0 ? f.framesPerSecond : 30;
    return static_cast<std::uint64_t>(std::max(f.width, 0)) * static_cast<std::uint64_t>(std::max(f.height, 0))
           * bytesPerPixel * fps;
}

} // namespace

Status RecordingFile::CheckTarget(const QString& fileName, const MediaFormat& format, UserMessageLog& log)
{
    if (fileName.isEmpty()) {
        ReportNotStarted(log, QStringLiteral("it has no file name."));
        return Status::Aborted;
    }
    // Tried, not judged from permission bits: a read-only file system, or a folder that
    // only looks writable, shows here. A file made for the trial is taken away again.
    const QByteArray path = QFile::encodeName(fileName);
    int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    int error = errno;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(path.constData());
    } else if (error == EEXIST) {
        // Replaced by the recording. Not blocking: a pipe of that name must not hang the window.
        fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        error = errno;
        if (fd >= 0)
            ::close(fd);
    }
    if (fd < 0) {
        ReportNotStarted(log, QStringLiteral("\"%1\" cannot be written (%2).  Check that its folder exists and "
                                             "may be written to.")
                                  .arg(fileName, ErrorText(error)));
        return Status::Aborted;
    }
    // Less than this and the first space check would end the recording at once.
    const std::uint64_t needed = kSpaceReserve + OneSecondOfVideo(format);
    const QString folder = QFileInfo(fileName).absolutePath();
    if (const std::optional<std::uint64_t> room = RoomForFile(folder, 0); room && *room < needed) {
        ReportNotStarted(log, QStringLiteral("there is room for only %1 MB in \"%2\", and it needs at least %3 MB.")
                                  .arg(*room >> 20)
                                  .arg(folder)
                                  .arg((needed + (1u << 20) - 1) >> 20));
        return Status::Aborted;
    }
    return Status::Ok;
}

RecordingFile::RecordingFile(const QString& fileName, UserMessageLog& log)
    : m_fileName(fileName)
    , m_log(log)
{
    struct stat before {};
    m_madeHere = ::lstat(QFile::encodeName(fileName).constData(), &before) != 0;
}

RecordingFile::~RecordingFile()
{
    CloseDescriptor();
}

void RecordingFile::CloseDescriptor()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

Status RecordingFile::Claim(const PreAllocationRequest& request, const PreAllocationCalls& calls)
{
    const PreAllocationOutcome allocation = PreAllocateRecordingFile(request, calls);
    if (allocation != PreAllocationOutcome::Claimed && allocation != PreAllocationOutcome::SizeOnly)
        return Status::Ok;
    // Written in place: the claimed blocks are kept, nothing truncates them on open.
    m_fd = ::open(QFile::encodeName(m_fileName).constData(), O_WRONLY | O_CLOEXEC);
    if (m_fd < 0) {
        // Never left to the writer's own descriptor, which is standard output.
        ReportNotStarted(m_log, QStringLiteral("the pre-allocated file \"%1\" cannot be opened (%2).")
                                    .arg(m_fileName, ErrorText(errno)));
        return Status::Aborted;
    }
    return Status::Ok;
}

GstElement* RecordingFile::MakeWriter() const
{
    GstElement* writer = gst_element_factory_make(m_fd >= 0 ? "fdsink" : "filesink", "File Writer");
    if (writer && m_fd >= 0)
        g_object_set(writer, "fd", m_fd, nullptr);
    else if (writer)
        g_object_set(writer, "location", QFile::encodeName(m_fileName).constData(), nullptr);
    return writer;
}

void RecordingFile::FollowWrites(GstElement* writer)
{
    GstPad* writerIn = gst_element_get_static_pad(writer, "sink");
    gst_pad_add_probe(
        writerIn, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        [](GstPad*, GstPadProbeInfo* info, gpointer user) -> GstPadProbeReturn {
            auto* file = static_cast<RecordingFile*>(user);
            if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
                file->m_writePosition += gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info));
                if (file->m_writePosition > file->m_fileEnd.load(std::memory_order_relaxed))
                    file->m_fileEnd.store(file->m_writePosition, std::memory_order_relaxed);
            } else if (GstEvent* e = GST_PAD_PROBE_INFO_EVENT(info); GST_EVENT_TYPE(e) == GST_EVENT_SEGMENT) {
                // The multiplexer goes back to write the header at the end.
                const GstSegment* segment = nullptr;
                gst_event_parse_segment(e, &segment);
                if (segment->format == GST_FORMAT_BYTES)
                    file->m_writePosition = segment->start;
            }
            return GST_PAD_PROBE_OK;
        },
        this, nullptr);
    gst_object_unref(writerIn);
}

bool RecordingFile::RoomRunsOut(std::uint64_t recordedFrames)
{
    const std::uint64_t written = m_fileEnd.load();
    const std::uint64_t step = written > m_lastFileEnd ? written - m_lastFileEnd : 0;
    m_lastFileEnd = written;
    const std::optional<std::uint64_t> room = RoomForFile(QFileInfo(m_fileName).absolutePath(), written);
    if (!room)
        return false;
    // The index takes 16 bytes a frame, and more for large files.
    return *room < kSpaceReserve + 4 * step + 64 * recordedFrames;
}

void RecordingFile::Finish(bool orderly)
{
    m_running = false;
    if (m_fd < 0)
        return;
    // Cut the claimed space back to what the recording holds.
    const auto end = static_cast<off_t>(m_fileEnd.load());
    if (orderly || end > 0)
        [[maybe_unused]] const int r = ::ftruncate(m_fd, end);
    CloseDescriptor();
}

void RecordingFile::Discard(bool holdsFrames)
{
    CloseDescriptor();
    if (!holdsFrames)
        ::unlink(QFile::encodeName(m_fileName).constData());
}
