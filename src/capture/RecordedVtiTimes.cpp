#include "capture/RecordedVtiTimes.h"

#include "capture/MediaObjects.h"
#include "recording/AviFileCheck.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gst/app/gstappsink.h>
#include <gst/video/video.h>
#include <unistd.h>

namespace {

constexpr GstClockTime kPullWait = 100 * GST_MSECOND;

// The file's frames as YUY2, whatever the recording holds (MJPG, RGB, a codec's).
constexpr char kReader[] =
    "filesrc name=file ! decodebin ! videoconvert ! video/x-raw,format=YUY2 ! appsink name=frames sync=false";

// The packed 4:2:2 layouts read in place, by the byte their first luma sample is at.
struct Packed422Layout {
    const char* fourCc;
    int lumaOffset;
};
constexpr Packed422Layout kPacked422[] = {{"YUY2", 0}, {"YUYV", 0}, {"UYVY", 1}};

const Packed422Layout* Packed422LayoutOf(const FourCc& compression)
{
    for (const Packed422Layout& l : kPacked422)
        if (std::memcmp(compression.data(), l.fourCc, 4) == 0)
            return &l;
    return nullptr;
}

// What the layout search tries: the frames of a time line that starts late are unreadable
// whatever the layout.
constexpr std::size_t kLayoutSearchFrames = 50;
constexpr OcrLayout kLayouts[] = {{kRowBasePlain, false}, {kRowBasePlain, true}, {kRowBaseTvSafe, false},
                                  {kRowBaseTvSafe, true}};
constexpr int kLineRows = 31; // rowBase itself and the 30 rows of the cells below it

bool Cancelled(const RecordedVtiTimesRequest& request)
{
    return request.cancel && request.cancel->load(std::memory_order_relaxed);
}

QString FormatName(const FourCc& code)
{
    for (const char c : code)
        if (c < 0x20 || c > 0x7e)
            return QStringLiteral("uncompressed RGB");
    return QString::fromLatin1(code.data(), 4).trimmed();
}

// Reads the time line's rows of each frame straight from the file: a few percent of
// each frame, so the disk, not the reader, sets the pace.
class Packed422File {
public:
    Packed422File(int fd, const AviVideoStream& stream, int lumaOffset, const CharacterSetList& sets)
        : m_fd(fd)
        , m_stream(stream)
        , m_lumaOffset(lumaOffset)
        , m_sets(sets)
        , m_stride(StrideFor(16, stream.width))
        , m_rows(static_cast<std::size_t>(m_stride) * kLineRows)
    {
    }

    VtiFrameTime Read(std::size_t frame, const OcrLayout& layout)
    {
        const AviVideoStream::Frame& f = m_stream.frames[frame];
        const std::int64_t height = m_stream.height < 0 ? -m_stream.height : m_stream.height;
        const std::int64_t start = static_cast<std::int64_t>(layout.rowBase) * m_stride;
        if (layout.rowBase + kLineRows > height || static_cast<std::int64_t>(f.size) < height * m_stride
            || ::pread(m_fd, m_rows.data(), m_rows.size(), static_cast<off_t>(f.offset + start))
                   != static_cast<ssize_t>(m_rows.size()))
            return {};
        const FrameGeometry rows = MakeFrameGeometry(FrameSubtype::YUY2, m_stream.width, kLineRows, m_stride);
        return ReadVtiFrameTime(m_rows.data() + m_lumaOffset, rows, {0, layout.cameraAttached}, m_sets);
    }

    OcrLayout FindLayout()
    {
        for (std::size_t frame = 0; frame < std::min(kLayoutSearchFrames, m_stream.frames.size()); ++frame)
            for (const OcrLayout& layout : kLayouts)
                if (Read(frame, layout).readable)
                    return layout;
        return kLayouts[0];
    }

private:
    int m_fd;
    const AviVideoStream& m_stream;
    int m_lumaOffset;
    const CharacterSetList& m_sets;
    std::int32_t m_stride;
    std::vector<std::uint8_t> m_rows; // the line's rows of one frame, reused for every frame
};

// The uncompressed 4:2:2 path; false when the file holds another format.
bool ReadPacked422(const QString& aviPath, int fd, const CharacterSetList& sets, const RecordedVtiTimesRequest& request,
                   RecordedVtiTimes& result)
{
    const AviVideoStream stream = ReadAviVideoStream(fd);
    if (!stream.found) {
        result.error = QStringLiteral("%1 is not an AVI recording").arg(aviPath);
        return true;
    }
    const Packed422Layout* packed = Packed422LayoutOf(stream.compression);
    if (!packed) {
        if (request.packed422Only)
            result.error = QStringLiteral("%1 holds %2 video; VTI times are read from uncompressed YUY2 or UYVY "
                                          "recordings only")
                               .arg(aviPath, FormatName(stream.compression));
        return request.packed422Only;
    }
    if (stream.width <= 0 || stream.height == 0 || stream.rate == 0 || stream.scale == 0) {
        result.error = QStringLiteral("%1 has no frame size or frame rate in its header").arg(aviPath);
        return true;
    }
    result.framePeriod = 10'000.0 * stream.scale / stream.rate;
    // Only the rows asked for: read-ahead would fetch whole frames from the disk.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    Packed422File file(fd, stream, packed->lumaOffset, sets);
    const OcrLayout layout = request.layout ? *request.layout : file.FindLayout();
    const std::size_t frames = request.maxFrames == 0 ? stream.frames.size()
                                                      : std::min<std::size_t>(stream.frames.size(), request.maxFrames);
    result.frames.reserve(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        if (Cancelled(request)) {
            result.error = QStringLiteral("%1: reading was stopped").arg(aviPath);
            break;
        }
        result.frames.push_back(file.Read(i, layout));
    }
    return true;
}

VtiFrameTime ReadFrame(GstSample* sample, const OcrLayout& layout, const CharacterSetList& sets)
{
    GstVideoInfo info;
    GstVideoFrame frame;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))
        || !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
        return {};
    const auto* pixels = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const FrameGeometry geometry = MakeFrameGeometry(FrameSubtype::YUY2, GST_VIDEO_FRAME_WIDTH(&frame),
                                                     GST_VIDEO_FRAME_HEIGHT(&frame),
                                                     GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
    const VtiFrameTime t = ReadVtiFrameTime(pixels, geometry, layout, sets);
    gst_video_frame_unmap(&frame);
    return t;
}

// Ten-thousandths of a second per frame from the decoded caps; 0 when they do not say.
double FramePeriod(GstSample* sample)
{
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) || info.fps_n <= 0 || info.fps_d <= 0)
        return 0;
    return 10'000.0 * info.fps_d / info.fps_n;
}

QString ErrorText(GstMessage* message)
{
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    QString text = QString::fromUtf8(error ? error->message : "unknown error");
    g_clear_error(&error);
    return text;
}

void ReadDecoded(const QString& aviPath, const CharacterSetList& sets, const RecordedVtiTimesRequest& request,
                 RecordedVtiTimes& result)
{
    if (!EnsureMediaFramework()) {
        result.error = QStringLiteral("the media framework cannot start");
        return;
    }
    ElementPtr pipeline(gst_parse_launch(kReader, nullptr));
    if (!pipeline) {
        result.error = QStringLiteral("the decoder elements are missing");
        return;
    }
    gst_object_ref_sink(pipeline.get());
    ElementPtr file(gst_bin_get_by_name(GST_BIN(pipeline.get()), "file"));
    ElementPtr sinkElement(gst_bin_get_by_name(GST_BIN(pipeline.get()), "frames"));
    g_object_set(file.get(), "location", QFile::encodeName(aviPath).constData(), nullptr);
    std::unique_ptr<GstBus, ObjectUnref> bus(gst_element_get_bus(pipeline.get()));
    auto* sink = GST_APP_SINK(sinkElement.get());
    const OcrLayout layout = request.layout.value_or(OcrLayout{});

    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    while ((request.maxFrames == 0 || result.frames.size() < request.maxFrames) && !Cancelled(request)) {
        if (GstSample* sample = gst_app_sink_try_pull_sample(sink, kPullWait)) {
            if (result.frames.empty())
                result.framePeriod = FramePeriod(sample);
            result.frames.push_back(ReadFrame(sample, layout, sets));
            gst_sample_unref(sample);
            continue;
        }
        if (gst_app_sink_is_eos(sink))
            break;
        // No frame and no end: a file that cannot be read says why on the bus.
        if (GstMessage* m = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)) {
            result.error = QStringLiteral("%1: %2").arg(aviPath, ErrorText(m));
            gst_message_unref(m);
            break;
        }
    }
    if (Cancelled(request))
        result.error = QStringLiteral("%1: reading was stopped").arg(aviPath);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
}

} // namespace

RecordedVtiTimes ReadRecordedVtiTimes(const QString& aviPath, const CharacterSetList& sets,
                                      const RecordedVtiTimesRequest& request)
{
    RecordedVtiTimes result;
    if (!sets.Complete()) {
        result.error = QStringLiteral("%1: the character recognition sets %2 and %3 are not loaded")
                           .arg(aviPath, QLatin1String(kEvenCharacterSetFile), QLatin1String(kOddCharacterSetFile));
        return result;
    }
    if (!QFileInfo(aviPath).isFile()) {
        result.error = QStringLiteral("%1: no such file").arg(aviPath);
        return result;
    }
    const int fd = ::open(QFile::encodeName(aviPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = QStringLiteral("%1 cannot be opened: %2").arg(aviPath, QString::fromLocal8Bit(std::strerror(errno)));
        return result;
    }
    const bool read = ReadPacked422(aviPath, fd, sets, request, result);
    ::close(fd);
    if (!read)
        ReadDecoded(aviPath, sets, request, result);
    return result;
}

bool HoldsPacked422Video(const QString& aviPath)
{
    const int fd = ::open(QFile::encodeName(aviPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const AviVideoStream stream = ReadAviVideoStream(fd);
    ::close(fd);
    return stream.found && Packed422LayoutOf(stream.compression) != nullptr;
}
