#include "capture/RecordingRecovery.h"

#include "capture/MediaObjects.h"
#include "common/AtomicFile.h"
#include "common/Latin1Text.h"
#include "common/ProcessDirectory.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AviFileCheck.h"
#include "recording/RecordingLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gst/app/gstappsrc.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kReadBlock = std::int64_t{1} << 20;
// A rebuild that reads nothing for this long is given up, so that start-up goes on.
constexpr GstClockTime kStallLimit = 30 * GST_SECOND;
constexpr GstClockTime kBusPoll = GST_SECOND / 4;
constexpr double kMegabyte = 1024.0 * 1024.0;

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    // False with errno set when closing reports a late write error.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// The original as the splitter sees it: a random-access stream that ends with its last
// whole chunk, read where the splitter asks (on its streaming thread). The zeros after
// that end (claimed space of a pre-allocated file) are never offered: the splitter
// would search them for chunks, more than a minute for 600 MB of zeros.
struct Rebuild {
    int sourceFd = -1;
    std::int64_t end = 0;
    std::atomic<std::int64_t> offset{0};
    std::atomic<int> readError{0};
    std::atomic<std::int64_t> frames{0};
    GstElement* mux = nullptr;
};

void FeedSource(GstAppSrc* source, guint length, gpointer user)
{
    auto* r = static_cast<Rebuild*>(user);
    const std::int64_t offset = r->offset.load();
    const std::int64_t wanted = length == static_cast<guint>(-1) ? kReadBlock : std::int64_t{length};
    const std::int64_t size = std::min(wanted, r->end - offset);
    if (size <= 0) {
        gst_app_src_end_of_stream(source);
        return;
    }
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, static_cast<gsize>(size), nullptr);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        if (buffer)
            gst_buffer_unref(buffer);
        r->readError = ENOMEM;
        gst_app_src_end_of_stream(source);
        return;
    }
    ssize_t got;
    do
        got = ::pread(r->sourceFd, map.data, static_cast<size_t>(size), static_cast<off_t>(offset));
    while (got < 0 && errno == EINTR);
    const int error = got < 0 ? errno : EIO;
    gst_buffer_unmap(buffer, &map);
    if (got <= 0) {
        gst_buffer_unref(buffer);
        r->readError = error;
        gst_app_src_end_of_stream(source);
        return;
    }
    gst_buffer_set_size(buffer, got);
    GST_BUFFER_OFFSET(buffer) = static_cast<guint64>(offset);
    r->offset = offset + got;
    gst_app_src_push_buffer(source, buffer);
}

gboolean SeekSource(GstAppSrc*, guint64 offset, gpointer user)
{
    auto* r = static_cast<Rebuild*>(user);
    if (offset > static_cast<guint64>(r->end))
        return FALSE;
    r->offset = static_cast<std::int64_t>(offset);
    return TRUE;
}

void LinkStream(GstElement*, GstPad* pad, gpointer user)
{
    auto* r = static_cast<Rebuild*>(user);
    GstPad* muxPad = gst_element_get_compatible_pad(r->mux, pad, nullptr);
    if (!muxPad)
        return; // left unlinked: the splitter then reports the stream it cannot deliver
    // Only video frames are counted: they are what the log and the check speak of.
    const bool video = g_str_has_prefix(GST_PAD_NAME(pad), "video_");
    if (gst_pad_link(pad, muxPad) == GST_PAD_LINK_OK && video) {
        gst_pad_add_probe(
            pad, GST_PAD_PROBE_TYPE_BUFFER,
            [](GstPad*, GstPadProbeInfo*, gpointer counter) -> GstPadProbeReturn {
                static_cast<std::atomic<std::int64_t>*>(counter)->fetch_add(1);
                return GST_PAD_PROBE_OK;
            },
            &r->frames, nullptr);
    }
    gst_object_unref(muxPad);
}

// "File Writer: Could not write to resource (... No space left on device)": the
// element, its message and the last line of the details, which holds the system's reason.
QString ErrorText(GstMessage* m)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(m, &error, &debug);
    QString text = QString::fromUtf8(error ? error->message : "unknown error");
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (const QString detail = QString::fromUtf8(debug).section(QLatin1Char('\n'), -1); !detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    g_clear_error(&error);
    g_free(debug);
    return QString::fromUtf8(GST_OBJECT_NAME(GST_MESSAGE_SRC(m))) + QStringLiteral(": ") + text;
}

// Until the rebuild's end of stream: empty then, else why it failed or was given up.
QString WaitForRebuild(GstPipeline* pipeline, const Rebuild& r)
{
    GstBus* bus = gst_pipeline_get_bus(pipeline);
    QString why;
    std::int64_t lastOffset = -1;
    GstClockTime quiet = 0;
    while (why.isEmpty()) {
        GstMessage* m = gst_bus_timed_pop_filtered(bus, kBusPoll,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (m) {
            const bool done = GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
            if (!done)
                why = ErrorText(m);
            gst_message_unref(m);
            if (done)
                break;
            continue;
        }
        const std::int64_t offset = r.offset.load();
        quiet = offset == lastOffset ? quiet + kBusPoll : 0;
        lastOffset = offset;
        if (quiet >= kStallLimit)
            why = QStringLiteral("the rebuild stopped making progress");
    }
    gst_object_unref(bus);
    return why;
}

// Splits the original's chunks and multiplexes them again into targetFd: the same
// frames, now with header, frame count and index. Empty result on success, else why not.
QString RebuildAvi(int sourceFd, std::int64_t dataEnd, int targetFd, std::int64_t* frames)
{
    if (!EnsureMediaFramework())
        return QStringLiteral("GStreamer cannot start");
    ElementPtr pipeline(gst_pipeline_new("Recording Recovery"));
    GstElement* source = gst_element_factory_make("appsrc", "Interrupted Recording");
    GstElement* demux = gst_element_factory_make("avidemux", "AVI Splitter");
    GstElement* mux = gst_element_factory_make("avimux", "AVI Mux");
    GstElement* sink = gst_element_factory_make("fdsink", "File Writer");
    if (!pipeline || !source || !demux || !mux || !sink) {
        for (GstElement* e : {source, demux, mux, sink})
            if (e)
                gst_object_unref(e);
        return QStringLiteral("the AVI splitter or multiplexer of GStreamer is not installed");
    }
    gst_bin_add_many(GST_BIN(pipeline.get()), source, demux, mux, sink, nullptr);
    if (!gst_element_link(source, demux) || !gst_element_link(mux, sink))
        return QStringLiteral("the rebuilding pipeline cannot be linked");

    Rebuild r;
    r.sourceFd = sourceFd;
    r.end = dataEnd;
    r.mux = mux;
    CapsPtr caps(gst_caps_new_empty_simple("video/x-msvideo"));
    g_object_set(source, "caps", caps.get(), "format", GST_FORMAT_BYTES, "size", static_cast<gint64>(dataEnd),
                 "stream-type", GST_APP_STREAM_TYPE_RANDOM_ACCESS, nullptr);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &FeedSource;
    callbacks.seek_data = &SeekSource;
    gst_app_src_set_callbacks(GST_APP_SRC(source), &callbacks, &r, nullptr);
    g_signal_connect(demux, "pad-added", G_CALLBACK(&LinkStream), &r);
    g_object_set(sink, "fd", targetFd, nullptr);

    QString why = gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
                      ? QStringLiteral("the rebuilding pipeline cannot start")
                      : WaitForRebuild(GST_PIPELINE(pipeline.get()), r);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (why.isEmpty() && r.readError != 0)
        why = QStringLiteral("reading it failed (%1)").arg(SystemError(r.readError));
    *frames = r.frames.load();
    return why;
}

QString RecoveredLogText(const QString& recovered, const QString& original, bool defaultFolder,
                         std::int64_t frames, const QDateTime& lastWritten)
{
    const QString folder = defaultFolder ? QString::fromStdString(GetProcessDirectory()) : QString();
    return QStringLiteral("Recording interrupted; recovered %1 frames\r\n").arg(frames)
         + QStringLiteral("Last written at %1 (UTC)\r\n").arg(lastWritten.toUTC().toString(QStringLiteral("HH:mm:ss")))
         + QStringLiteral("Video file:  ") + folder + recovered + QStringLiteral("\r\n")
         + QStringLiteral("Number of recorded frames:  %1\r\n").arg(frames)
         + QStringLiteral("Number of dropped frames:  unknown\r\n")
         + QStringLiteral("Interrupted file:  ") + folder + original + QStringLiteral("\r\n");
}

bool WriteRecoveredLog(UserMessageLog& log, const QString& logName, const QString& text)
{
    bool substituted = false;
    const std::string bytes = EncodeLatin1(text.toStdU16String(), &substituted);
    if (substituted)
        log.Append(QStringLiteral("\r\n\r\nNOTE -- wide character buffer has unexpected bad character.\r\n"), true);
    std::string why;
    if (WriteFileAtomically(QFile::encodeName(logName).toStdString(), bytes, &why))
        return true;
    log.Append(QStringLiteral("\r\nERROR -- the recording log \"%1\" was not written: %2.  It reads:\r\n%3")
                   .arg(logName, QString::fromStdString(why), text),
               true);
    return false;
}

// Empty when the folder holding path has room for bytes more, else why not.
QString RoomFor(const QString& path, std::int64_t bytes)
{
    struct statvfs fs {};
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::statvfs(folder.constData(), &fs) != 0)
        return {};
    const auto available = static_cast<std::int64_t>(fs.f_bavail) * static_cast<std::int64_t>(fs.f_frsize);
    if (available >= bytes)
        return {};
    return QStringLiteral("the disk has %1 MB free and the rebuilt file needs about %2 MB")
        .arg(static_cast<double>(available) / kMegabyte, 0, 'f', 0)
        .arg(static_cast<double>(bytes) / kMegabyte, 0, 'f', 0);
}

// The rebuilt file goes to a scratch name first and gets its final name only once it
// is whole and its log is written, so a power cut during recovery leaves nothing that
// the next start would take for done.
QString RecoverInto(int sourceFd, const AviFileCheck& check, const QString& target, std::int64_t* frames)
{
    if (QString room = RoomFor(target, check.dataEnd); !room.isEmpty())
        return room;
    const QString scratch = target + QStringLiteral(".part");
    const QByteArray scratchPath = QFile::encodeName(scratch);
    ::unlink(scratchPath.constData()); // left by a recovery that was itself cut short
    FileDescriptor out(::open(scratchPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.Get() < 0)
        return QStringLiteral("\"%1\" cannot be written (%2)").arg(target, SystemError(errno));

    QString why = RebuildAvi(sourceFd, check.dataEnd, out.Get(), frames);
    if (why.isEmpty() && (::fsync(out.Get()) != 0 || !out.Close()))
        why = QStringLiteral("writing \"%1\" failed (%2)").arg(scratch, SystemError(errno));
    if (why.isEmpty()) {
        const FileDescriptor written(::open(scratchPath.constData(), O_RDONLY | O_CLOEXEC));
        const AviFileCheck result = CheckAviFile(written.Get());
        if (result.verdict != AviFileVerdict::Complete || result.videoChunks != *frames || *frames == 0)
            why = QStringLiteral("the rebuilt file came out incomplete (%1 of %2 frames)")
                      .arg(result.videoChunks)
                      .arg(check.videoChunks);
    }
    if (!why.isEmpty())
        ::unlink(scratchPath.constData());
    return why;
}

// "VideoFiles/x.avi" -> "VideoFiles/x_recovered.avi": sorts right after its original.
QString RecoveredRecordingFileName(const QString& recordingFileName)
{
    return RecordingBaseName(recordingFileName) + QStringLiteral("_recovered.avi");
}

// Why a file without a log cannot be recovered; empty when it can, or needs not be.
QString Unrecoverable(const AviFileCheck& check)
{
    switch (check.verdict) {
    case AviFileVerdict::Empty:
        return QStringLiteral("is empty (0 bytes)");
    case AviFileVerdict::NotAvi:
        return QStringLiteral("is not an AVI file");
    case AviFileVerdict::TruncatedHeader:
        return QStringLiteral("ends inside its AVI header, before any frame");
    case AviFileVerdict::Interrupted:
        return check.videoChunks == 0 ? QStringLiteral("was interrupted before its first frame") : QString();
    case AviFileVerdict::Complete:
        break;
    }
    return {};
}

void ReportLeftAlone(UserMessageLog& log, const QString& path, const QString& why)
{
    log.Append(QStringLiteral("\r\nWARNING: \"%1\" has no recording log and %2.  Nothing can be recovered from "
                              "it; it is left as it is.\r\n")
                   .arg(path, why),
               true);
}

bool RecoverRecording(UserMessageLog& log, const QString& path, bool defaultFolder)
{
    const QByteArray encoded = QFile::encodeName(path);
    const FileDescriptor in(::open(encoded.constData(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        ReportLeftAlone(log, path, QStringLiteral("cannot be read (%1)").arg(SystemError(errno)));
        return false;
    }
    const AviFileCheck check = CheckAviFile(in.Get());
    if (check.verdict == AviFileVerdict::Complete)
        return false;
    if (const QString why = Unrecoverable(check); !why.isEmpty()) {
        ReportLeftAlone(log, path, why);
        return false;
    }

    const QString target = RecoveredRecordingFileName(path);
    std::int64_t frames = 0;
    if (const QString why = RecoverInto(in.Get(), check, target, &frames); !why.isEmpty()) {
        log.Append(QStringLiteral("\r\nERROR -- the interrupted recording \"%1\" could not be recovered: %2.  "
                                  "It is left as it is.\r\n")
                       .arg(path, why),
                   true);
        return false;
    }
    // The log first: a rebuilt file under its final name always has its log.
    WriteRecoveredLog(log, RecordingLogFileName(target),
                      RecoveredLogText(target, path, defaultFolder, frames, QFileInfo(path).lastModified()));
    const QByteArray scratchPath = QFile::encodeName(target + QStringLiteral(".part"));
    if (::rename(scratchPath.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        ::unlink(scratchPath.constData());
        log.Append(QStringLiteral("\r\nERROR -- the interrupted recording \"%1\" could not be recovered: "
                                  "\"%2\" cannot be written (%3).  It is left as it is.\r\n")
                       .arg(path, target, SystemError(error)),
                   true);
        return false;
    }
    log.Append(QStringLiteral("\r\nNOTE -- the recording \"%1\" was interrupted before it was closed.  "
                              "Recovered %2 frames into \"%3\"; the original is kept as it was.\r\n")
                   .arg(path)
                   .arg(frames)
                   .arg(target),
               true);
    return true;
}

} // namespace

QStringList RecoverInterruptedRecordings(const AppOptions& options, UserMessageLog& log)
{
    QStringList recovered;
    const QString option = options.VideoDirectory;
    const bool defaultFolder = option.isEmpty();
    const QString folder = defaultFolder ? QStringLiteral("VideoFiles/") : option;
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return recovered; // nothing recorded there yet
    if (!folderInfo.isReadable()) {
        log.Append(QStringLiteral("\r\nWARNING: the video folder \"%1\" cannot be read, so interrupted "
                                  "recordings in it cannot be recovered.\r\n")
                       .arg(folder),
                   true);
        return recovered;
    }
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.avi")},
                                                     QDir::Files | QDir::CaseSensitive, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder + name;
        if (!name.endsWith(QStringLiteral("_recovered.avi")) && !QFileInfo::exists(RecordingLogFileName(path))
            && !QFileInfo::exists(RecoveredRecordingFileName(path)) && RecoverRecording(log, path, defaultFolder))
            recovered << RecoveredRecordingFileName(path);
    }
    return recovered;
}
