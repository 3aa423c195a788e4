#include "capture/CaptureGraph.h"

#include "capture/MediaObjects.h"
#include "devices/DeviceTable.h"
#include "devices/PreAllocation.h"
#include "filter/FramePipeline.h"
#include "filter/gst/VelaTransformFilter.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/RecordingLog.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <gst/app/gstappsink.h>
#include <gst/video/videooverlay.h>
#include <unistd.h>

namespace {

// A preview sample mapped for reading for as long as the frame lives.
class MappedPreviewFrame final : public PreviewFrame {
public:
    explicit MappedPreviewFrame(GstSample* sample)
        : m_sample(gst_sample_ref(sample))
    {
        GstVideoInfo info;
        if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))
            || !gst_video_frame_map(&m_frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
            return;
        m_mapped = true;
        switch (GST_VIDEO_INFO_FORMAT(&info)) {
        case GST_VIDEO_FORMAT_BGRx:
            layout = Layout::Rgb32;
            break;
        case GST_VIDEO_FORMAT_YUY2: {
            layout = Layout::Yuy2;
            gdouble kr = 0.299;
            gdouble kb = 0.114;
            if (!gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb)) {
                kr = 0.299; // an unknown matrix: the one of standard-definition video
                kb = 0.114;
            }
            yuv = MakeYuvToRgb(kr, kb, info.colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255);
            break;
        }
        default:
            return; // not a layout the window paints: no pixels
        }
        pixels = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&m_frame, 0));
        width = GST_VIDEO_FRAME_WIDTH(&m_frame);
        height = GST_VIDEO_FRAME_HEIGHT(&m_frame);
        stride = GST_VIDEO_FRAME_PLANE_STRIDE(&m_frame, 0);
    }
    ~MappedPreviewFrame() override
    {
        if (m_mapped)
            gst_video_frame_unmap(&m_frame);
        gst_sample_unref(m_sample);
    }
    MappedPreviewFrame(const MappedPreviewFrame&) = delete;
    MappedPreviewFrame& operator=(const MappedPreviewFrame&) = delete;

private:
    GstSample* m_sample;
    GstVideoFrame m_frame{};
    bool m_mapped = false;
};

constexpr GstClockTime kEndOfStreamWait = 10 * GST_SECOND;
constexpr GstClockTime kStartWait = 5 * GST_SECOND;
constexpr guint64 kCaptureQueueTime = 4 * GST_SECOND; // at least 2 s of video
constexpr guint kSpaceCheckMs = 250;
constexpr std::uint64_t kSpaceReserve = 8ull << 20; // the log, the headers, some slack

void Log(const QString& text)
{
    AppendUserMessage(text, true);
}

GstElement* Make(const char* factory, const char* name)
{
    return gst_element_factory_make(factory, name);
}

const CaptureDevice* CurrentDevice()
{
    const DeviceTable& t = Devices();
    if (t.currentDeviceIndex < 0 || t.currentDeviceIndex >= t.count)
        return nullptr;
    return &t.devices[static_cast<std::size_t>(t.currentDeviceIndex)];
}

const MediaFormat* SelectedFormat(const CaptureDevice& d)
{
    if (d.formats.isEmpty())
        return nullptr;
    const int i = d.selectedFormatIndex < 0 ? 0 : d.selectedFormatIndex;
    return i < d.formats.size() ? &d.formats[i] : nullptr;
}

bool AnalysableSubtype(VideoSubtype s)
{
    return s == VideoSubtype::YUY2 || s == VideoSubtype::RGB24 || s == VideoSubtype::ARGB32;
}

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void LogBusError(GstMessage* m)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(m, &error, &debug);
    Log(QStringLiteral("\r\nERROR -- %1: %2\r\n")
            .arg(QString::fromUtf8(GST_OBJECT_NAME(GST_MESSAGE_SRC(m))), QString::fromUtf8(error ? error->message : "")));
    g_clear_error(&error);
    g_free(debug);
}

// What the elements said while the graph failed to start (a camera that cannot be opened,
// a file that cannot be written), before the bus is flushed with the graph's teardown.
void ReportPendingErrors(GstElement* pipeline)
{
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
    while (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        LogBusError(m);
        gst_message_unref(m);
    }
    gst_object_unref(bus);
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

void ReportNotStarted(const QString& reason)
{
    Log(QStringLiteral("\r\nERROR -- The recording was not started: %1\r\n").arg(reason));
}

// A recording must have a file it can write and the room to begin; otherwise the build
// fails with the reason, before anything is made.
Status CheckRecordingTarget(const QString& fileName, const MediaFormat& f)
{
    if (fileName.isEmpty()) {
        ReportNotStarted(QStringLiteral("it has no file name."));
        return E_ABORT;
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
        ReportNotStarted(QStringLiteral("\"%1\" cannot be written (%2).  Check that its folder exists and may be "
                                        "written to.")
                             .arg(fileName, ErrorText(error)));
        return E_ABORT;
    }
    // Less than this and the first space check would end the recording at once.
    const std::uint64_t needed = kSpaceReserve + OneSecondOfVideo(f);
    const QString folder = QFileInfo(fileName).absolutePath();
    if (const std::optional<std::uint64_t> room = RoomForFile(folder, 0); room && *room < needed) {
        ReportNotStarted(QStringLiteral("there is room for only %1 MB in \"%2\", and it needs at least %3 MB.")
                             .arg(*room >> 20)
                             .arg(folder)
                             .arg((needed + (1u << 20) - 1) >> 20));
        return E_ABORT;
    }
    return S_OK;
}

} // namespace

// Counted on the streaming threads, read on the UI thread after the graph stopped.
struct CaptureGraph::Counters {
    std::atomic<std::uint64_t> delivered{0};  // frames the source pushed
    std::atomic<std::uint64_t> dropped{0};    // gaps in the source's sequence numbers
    std::atomic<std::uint64_t> recorded{0};   // frames that reached the AVI multiplexer
    std::atomic<std::uint64_t> fileEnd{0};    // highest byte the file writer was given
    std::uint64_t nextOffset = GST_BUFFER_OFFSET_NONE; // source thread only
    std::uint64_t writePosition = 0;                   // file writer thread only
};

struct CaptureGraph::Elements {
    GstElement* captureQueue = nullptr;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;
    GstElement* format = nullptr;
    GstElement* tee = nullptr;
    GstElement* previewQueue = nullptr;
    GstElement* colour = nullptr;
    GstElement* transform = nullptr;
    GstElement* renderer = nullptr;
    GstElement* mux = nullptr;
    GstElement* fileWriter = nullptr;
    GstElement* previewTail = nullptr; // the element the renderer's branch goes on from
};

int SliderToColourValue(int position)
{
    return position * 254 / 100 - 127;
}

double BrightnessFromValue(int value)
{
    return value / 127.0;
}

double ContrastFromValue(int value)
{
    return 1.0 + value / 127.0;
}

CaptureGraph::CaptureGraph(PreviewSink* preview, std::uintptr_t windowHandle)
    : m_preview(preview)
    , m_windowHandle(windowHandle)
    , m_e(std::make_unique<Elements>())
{
    EnsureMediaFramework();
    CreateColourControl();
}

CaptureGraph::~CaptureGraph()
{
    TearDownGraph();
}

std::uint64_t CaptureGraph::FramesDelivered() const
{
    return m_counters ? m_counters->delivered.load() : 0;
}

GstElement* CaptureGraph::Pipeline() const
{
    return m_e->pipeline;
}

void CaptureGraph::CreateColourControl()
{
    GstElementFactory* f = gst_element_factory_find("videobalance");
    m_colourControlAvailable = f != nullptr;
    if (f)
        gst_object_unref(f);
    else
        Log(QStringLiteral("\r\nThe DMO color control filter is not installed.  Brightness/contrast is not impemented."));
}

Status CaptureGraph::SetBrightnessContrast(int brightness, int contrast)
{
    if (!m_colourControlAvailable)
        return S_FALSE;
    if (brightness >= 0)
        m_brightness = brightness;
    if (contrast >= 0)
        m_contrast = contrast;
    if (m_e->colour) {
        // Applied to the frames that follow while the preview runs.
        if (brightness >= 0)
            g_object_set(m_e->colour, "brightness", BrightnessFromValue(SliderToColourValue(brightness)), nullptr);
        if (contrast >= 0)
            g_object_set(m_e->colour, "contrast", ContrastFromValue(SliderToColourValue(contrast)), nullptr);
    }
    return S_OK;
}

void CaptureGraph::TearDownGraph()
{
    if (m_spaceWatch) {
        g_source_remove(m_spaceWatch);
        m_spaceWatch = 0;
    }
    if (m_busWatch) {
        g_source_remove(m_busWatch);
        m_busWatch = 0;
    }
    if (m_e->pipeline) {
        gst_element_set_state(m_e->pipeline, GST_STATE_NULL);
        gst_object_unref(m_e->pipeline);
    }
    *m_e = Elements{};
    if (m_preAllocatedFd >= 0) {
        ::close(m_preAllocatedFd);
        m_preAllocatedFd = -1;
    }
    m_state = GraphState::Idle;
}

Status CaptureGraph::CreateGraphBuilders()
{
    m_e->pipeline = gst_pipeline_new("VELA capture graph");
    if (!m_e->pipeline) {
        ReportGraphMessage(12);
        return E_FAIL;
    }
    gst_object_ref_sink(m_e->pipeline);
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_e->pipeline));
    m_busWatch = gst_bus_add_watch(bus, &CaptureGraph::OnBusMessage, this);
    gst_object_unref(bus);
    m_counters = std::make_shared<Counters>();
    m_state = GraphState::BuildersCreated;
    return S_OK;
}

Status CaptureGraph::SetCaptureFormat()
{
    const CaptureDevice* d = CurrentDevice();
    const MediaFormat* f = d ? SelectedFormat(*d) : nullptr;
    if (m_state != GraphState::SourceAdded || !f) {
        ReportGraphMessage(10);
        return E_ABORT;
    }
    m_e->format = Make("capsfilter", "Capture Format");
    if (!m_e->format || !f->caps) {
        ReportGraphMessage(11);
        return E_FAIL;
    }
    g_object_set(m_e->format, "caps", f->caps.get(), nullptr);
    gst_bin_add(GST_BIN(m_e->pipeline), m_e->format);
    return gst_element_link(m_e->source, m_e->format) ? S_OK : E_FAIL;
}

Status CaptureGraph::AddRenderer(bool recording)
{
    const AppState& app = TheAppState();
    const AppOptions& o = Options();
    RendererKind kind = static_cast<RendererKind>(o.DefaultRenderer);
    if ((o.DisplayOffWhileRecording && recording) || app.Analysis.driftMinutes > 0)
        kind = RendererKind::NullRenderer;
    m_renderer = kind;

    switch (kind) {
    case RendererKind::EVR: {
        GstElement* sink = Make("appsink", "EVR");
        if (!sink) {
            ReportGraphMessage(19);
            return E_ABORT;
        }
        // YUY2 first, so a YUY2 camera's pictures pass the converter untouched and are
        // converted once, while painted; RGB pictures become BGRx.
        GstCaps* caps = gst_caps_from_string("video/x-raw, format=(string)YUY2; video/x-raw, format=(string)BGRx");
        g_object_set(sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "sync", FALSE, "qos", FALSE, nullptr);
        gst_caps_unref(caps);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = [](GstAppSink* appsink, gpointer user) -> GstFlowReturn {
            GstSample* sample = gst_app_sink_pull_sample(appsink);
            if (!sample)
                return GST_FLOW_OK;
            if (auto* preview = static_cast<PreviewSink*>(user)) {
                auto frame = std::make_shared<MappedPreviewFrame>(sample);
                if (frame->pixels)
                    preview->PresentFrame(std::move(frame));
            }
            gst_sample_unref(sample);
            return GST_FLOW_OK;
        };
        // Always pulled, also without a window: an appsink nobody empties holds back the
        // end of stream, and a recording would never be finished.
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, m_preview, nullptr);
        m_e->renderer = sink;
        break;
    }
    case RendererKind::VMR9:
    case RendererKind::VMR7: {
        const bool nine = kind == RendererKind::VMR9;
        GstElement* sink = Make(nine ? "xvimagesink" : "ximagesink", nine ? "VMR9" : "VMR7");
        if (!sink) {
            ReportGraphMessage(nine ? 34 : 35);
            return S_OK; // no renderer: the build ends in an orderly failure at the renderer pin
        }
        g_object_set(sink, "force-aspect-ratio", TRUE, "sync", FALSE, nullptr);
        if (m_windowHandle)
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), m_windowHandle);
        m_e->renderer = sink;
        break;
    }
    case RendererKind::NullRenderer: {
        GstElement* sink = Make("fakesink", "Null Renderer");
        if (!sink) {
            ReportGraphMessage(36);
            return S_OK;
        }
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
        m_e->renderer = sink;
        break;
    }
    default:
        return E_FAIL;
    }
    gst_bin_add(GST_BIN(m_e->pipeline), m_e->renderer);
    return S_OK;
}

Status CaptureGraph::AddRecordingBranch(const QString& fileName)
{
    const CaptureDevice* d = CurrentDevice();
    const MediaFormat* f = SelectedFormat(*d);
    const int codecIndex = d->chosenCodecIndex < 0 ? 0 : d->chosenCodecIndex;
    const QString codecName = codecIndex < d->codecNames.size() ? d->codecNames[codecIndex] : QStringLiteral("NONE");

    const PreAllocationOutcome allocation =
        PreAllocateRecordingFile(MakePreAllocationRequest(fileName, codecName, TheAppState().EventDurationMs));

    GstElement* queue = Make("queue", "Capture");
    m_e->captureQueue = queue;
    m_e->mux = Make("avimux", "AVI Mux");
    const QByteArray path = QFile::encodeName(fileName);
    if (allocation == PreAllocationOutcome::Claimed || allocation == PreAllocationOutcome::SizeOnly) {
        // Written in place: the claimed blocks are kept, nothing truncates them on open.
        m_preAllocatedFd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        if (m_preAllocatedFd < 0) {
            // Never left to the writer's own descriptor, which is standard output.
            ReportNotStarted(QStringLiteral("the pre-allocated file \"%1\" cannot be opened (%2).")
                                 .arg(fileName, ErrorText(errno)));
            ReportGraphMessage(24);
            return E_ABORT;
        }
        m_e->fileWriter = Make("fdsink", "File Writer");
        if (m_e->fileWriter)
            g_object_set(m_e->fileWriter, "fd", m_preAllocatedFd, nullptr);
    } else {
        m_e->fileWriter = Make("filesink", "File Writer");
        if (m_e->fileWriter)
            g_object_set(m_e->fileWriter, "location", path.constData(), nullptr);
    }
    if (!queue || !m_e->mux || !m_e->fileWriter) {
        ReportGraphMessage(24);
        return E_ABORT;
    }
    g_object_set(queue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time", kCaptureQueueTime, nullptr);
    gst_bin_add_many(GST_BIN(m_e->pipeline), queue, m_e->mux, m_e->fileWriter, nullptr);
    if (!gst_element_link(m_e->tee, queue) || !gst_element_link(m_e->mux, m_e->fileWriter)) {
        ReportGraphMessage(24);
        return E_ABORT;
    }

    bool linked = false;
    if (codecIndex > 0 && codecIndex < d->codecFilters.size() && d->codecFilters[codecIndex]) {
        GstElement* codec = gst_element_factory_create(d->codecFilters[codecIndex].get(), nullptr);
        if (!codec) {
            ReportGraphMessage(25);
            return E_ABORT;
        }
        gst_object_set_name(GST_OBJECT(codec), codecName.toUtf8().constData());
        gst_bin_add(GST_BIN(m_e->pipeline), codec);
        GstElement* decoder = f->subtype == VideoSubtype::MJPG ? Make("jpegdec", "Capture Decoder") : nullptr;
        if (decoder)
            gst_bin_add(GST_BIN(m_e->pipeline), decoder);
        linked = decoder ? gst_element_link_many(queue, decoder, codec, m_e->mux, nullptr)
                         : gst_element_link_many(queue, codec, m_e->mux, nullptr);
        if (linked) {
            Log(codecName + QStringLiteral(" is used in filter graph\r\n"));
        } else {
            for (GstElement* e : {codec, decoder}) {
                if (e) {
                    gst_element_unlink(queue, e);
                    gst_bin_remove(GST_BIN(m_e->pipeline), e);
                }
            }
            if (!gst_element_link(queue, m_e->mux)) {
                ReportGraphMessage(26);
                return E_ABORT;
            }
            Log(codecName + QStringLiteral(" is NOT used in filter graph\r\n"));
            linked = true;
        }
    } else if (gst_element_link(queue, m_e->mux)) {
        linked = true;
    } else {
        // The camera's stream needs converting before the multiplexer takes it.
        GstElement* convert = Make("videoconvert", "Capture Converter");
        if (convert) {
            gst_bin_add(GST_BIN(m_e->pipeline), convert);
            linked = gst_element_link_many(queue, convert, m_e->mux, nullptr);
        }
        if (!linked) {
            Log(QStringLiteral("\r\nNONE does not work for this camera.  Try a named codec.\r\n"));
            return E_ABORT;
        }
        Log(QStringLiteral("\r\nNONE has inserted at least one filter between Smart Tee and AVI Mux\r\n"));
    }

    // Frames that reach the multiplexer are the frames in the file.
    GstPad* muxIn = gst_element_get_static_pad(queue, "src");
    gst_pad_add_probe(
        muxIn, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer user) -> GstPadProbeReturn {
            static_cast<Counters*>(user)->recorded.fetch_add(1, std::memory_order_relaxed);
            return GST_PAD_PROBE_OK;
        },
        m_counters.get(), nullptr);
    gst_object_unref(muxIn);

    // The highest byte written, so a pre-allocated file can be cut to what it holds.
    GstPad* writerIn = gst_element_get_static_pad(m_e->fileWriter, "sink");
    gst_pad_add_probe(
        writerIn, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        [](GstPad*, GstPadProbeInfo* info, gpointer user) -> GstPadProbeReturn {
            auto* c = static_cast<Counters*>(user);
            if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
                c->writePosition += gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info));
                if (c->writePosition > c->fileEnd.load(std::memory_order_relaxed))
                    c->fileEnd.store(c->writePosition, std::memory_order_relaxed);
            } else if (GstEvent* e = GST_PAD_PROBE_INFO_EVENT(info); GST_EVENT_TYPE(e) == GST_EVENT_SEGMENT) {
                const GstSegment* segment = nullptr;
                gst_event_parse_segment(e, &segment);
                if (segment->format == GST_FORMAT_BYTES)
                    c->writePosition = segment->start;
            }
            return GST_PAD_PROBE_OK;
        },
        m_counters.get(), nullptr);
    gst_object_unref(writerIn);

    // A disk that fills ends the recording while there is still room for the file's
    // header and index, instead of leaving a file no player can read.
    g_object_set(m_e->tee, "allow-not-linked", TRUE, nullptr);
    m_lastFileEnd = 0;
    m_recordingBranchEnded = false;
    m_spaceWatch = g_timeout_add(kSpaceCheckMs, &CaptureGraph::CheckFreeSpace, this);
    return S_OK;
}

int CaptureGraph::CheckFreeSpace(void* self)
{
    auto* graph = static_cast<CaptureGraph*>(self);
    if (graph->m_outputFileName.isEmpty() || graph->m_recordingBranchEnded) {
        graph->m_spaceWatch = 0;
        return FALSE;
    }
    const std::uint64_t written = graph->m_counters->fileEnd.load();
    const std::uint64_t step = written > graph->m_lastFileEnd ? written - graph->m_lastFileEnd : 0;
    graph->m_lastFileEnd = written;
    const std::optional<std::uint64_t> room = RoomForFile(QFileInfo(graph->m_outputFileName).absolutePath(), written);
    if (!room)
        return TRUE;
    const std::uint64_t available = *room;
    // Room for a few more checks' worth of video, the index (16 bytes a frame, and more
    // for large files) and the log.
    const std::uint64_t needed = kSpaceReserve + 4 * step + 64 * graph->m_counters->recorded.load();
    if (available >= needed)
        return TRUE;
    AppendUserMessage(QStringLiteral("\r\nERROR -- The disk holding \"%1\" is full.  The recording was ended to keep "
                                     "the file readable; the preview goes on.\r\n")
                          .arg(graph->m_outputFileName),
                      true);
    graph->EndRecordingBranch();
    graph->m_spaceWatch = 0;
    return FALSE;
}

void CaptureGraph::EndRecordingBranch()
{
    if (!m_e->captureQueue || m_recordingBranchEnded)
        return;
    m_recordingBranchEnded = true;
    GstPad* queueIn = gst_element_get_static_pad(m_e->captureQueue, "sink");
    GstPad* teeOut = gst_pad_get_peer(queueIn);
    if (!teeOut) {
        gst_object_unref(queueIn);
        return;
    }
    // Between two buffers: unhook the branch, then let the end of stream run down it.
    gst_pad_add_probe(
        teeOut, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM,
        [](GstPad* pad, GstPadProbeInfo*, gpointer user) -> GstPadProbeReturn {
            auto* sink = static_cast<GstPad*>(user);
            gst_pad_unlink(pad, sink);
            gst_pad_send_event(sink, gst_event_new_eos());
            return GST_PAD_PROBE_REMOVE;
        },
        queueIn, gst_object_unref);
    gst_object_unref(teeOut);
}

Status CaptureGraph::RenderStreams(const QString* fileName)
{
    const CaptureDevice* d = CurrentDevice();
    const MediaFormat* f = SelectedFormat(*d);
    const bool recording = fileName && !fileName->isEmpty();

    m_e->tee = Make("tee", "Smart Tee");
    m_e->previewQueue = Make("queue", "Preview");
    if (!m_e->tee || !m_e->previewQueue) {
        ReportGraphMessage(23);
        return E_ABORT;
    }
    // A slow preview drops preview frames; the capture branch never does.
    g_object_set(m_e->previewQueue, "leaky", 2 /* downstream */, "max-size-buffers", 2u, "max-size-bytes", 0u,
                 "max-size-time", guint64{0}, nullptr);
    gst_bin_add_many(GST_BIN(m_e->pipeline), m_e->tee, m_e->previewQueue, nullptr);
    if (!gst_element_link_many(m_e->format, m_e->tee, m_e->previewQueue, nullptr)) {
        ReportGraphMessage(23);
        return E_ABORT;
    }

    if (recording) {
        const Status s = AddRecordingBranch(*fileName);
        if (Failed(s))
            return s;
    }

    if (!m_e->renderer) {
        ReportGraphMessage(39);
        return E_ABORT;
    }

    std::vector<GstElement*> chain;
    if (f->subtype == VideoSubtype::MJPG)
        chain.push_back(Make("jpegdec", "MJPG Decoder"));
    if (m_pixelAnalysisRequested) {
        m_e->transform = gst_element_factory_make(kTransformElementName, kTransformFilterName);
        if (!m_e->transform)
            return E_ABORT;
        chain.push_back(m_e->transform);
    }
    if (TheAppState().BrightnessContrastShown && m_colourControlAvailable && !recording) {
        m_e->colour = Make("videobalance", "Color Control");
        if (!m_e->colour) {
            Log(QStringLiteral("\r\nCannot add color control filter to filter graph.  Brightness/contrast is not impemented."));
        } else {
            g_object_set(m_e->colour, "brightness", BrightnessFromValue(SliderToColourValue(m_brightness)), "contrast",
                         ContrastFromValue(SliderToColourValue(m_contrast)), nullptr);
            chain.push_back(m_e->colour);
        }
    }
    chain.push_back(Make("videoconvert", "Preview Converter"));
    GstElement* previous = m_e->previewQueue;
    for (GstElement* e : chain) {
        if (!e) {
            ReportGraphMessage(23);
            return E_ABORT;
        }
        gst_bin_add(GST_BIN(m_e->pipeline), e);
        if (!gst_element_link(previous, e)) {
            ReportGraphMessage(23);
            return E_ABORT;
        }
        previous = e;
    }
    if (!gst_element_link(previous, m_e->renderer)) {
        ReportGraphMessage(40);
        return E_ABORT;
    }
    m_state = GraphState::StreamsBuilt;
    return S_OK;
}

Status CaptureGraph::RunGraph()
{
    if (m_state == GraphState::Idle)
        return Status::NotRunning;
    if (m_state == GraphState::Running)
        return S_OK;
    if (gst_element_set_state(m_e->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return E_FAIL;
    if (gst_element_get_state(m_e->pipeline, nullptr, nullptr, kStartWait) == GST_STATE_CHANGE_FAILURE)
        return E_FAIL;
    m_state = GraphState::Running;
    return S_OK;
}

Status CaptureGraph::BuildGraph(const QString* fileName, bool defaultFolder)
{
    AppState& app = TheAppState();
    if (app.BrightnessContrastShown && fileName)
        return E_ABORT;
    const CaptureDevice* d = CurrentDevice();
    if (!d)
        return Status::InvalidArgument;
    const MediaFormat* f = SelectedFormat(*d);
    if (!f)
        return Status::InvalidArgument;
    m_defaultFolder = defaultFolder;

    const RequestedAnalysis& a = app.Analysis;
    m_pixelAnalysisRequested =
        !fileName && (a.saturationThreshold >= 0 || a.driftMinutes > 0 || a.integrationFrames > 1);
    if (m_pixelAnalysisRequested) {
        if (!AnalysableSubtype(f->subtype)) {
            m_pixelAnalysisRequested = false;
            Log(QStringLiteral("Pixel analysis not supported for selected device and format with name \"") + d->name
                + QStringLiteral("\"\r\nExpecting an analog video device with a supported format\r\n"));
            return E_NOTIMPL;
        }
        const std::size_t accumulator =
            a.integrationFrames > 1 ? static_cast<std::size_t>(f->width) * static_cast<std::size_t>(f->height) * 4 : 0;
        if (Failed(TheFramePipeline().ApplySettings(a, accumulator))) {
            // No memory for the integration buffer: the preview goes on without the analyses.
            Log(QStringLiteral("\r\nWARNING: not enough memory to integrate frames; the frame analysis is off.\r\n"));
            return E_NOTIMPL;
        }
        TheFramePipeline().ResetAnalysis(f->framesPerSecond);
    }

    TearDownGraph();
    if (fileName) {
        if (const Status s = CheckRecordingTarget(*fileName, *f); Failed(s))
            return s;
    }
    // A recording file this build makes (claimed or opened by the writer) holds no frames
    // when the build fails: it goes again. One that was there before stays.
    struct stat before {};
    const bool madeHere = fileName && ::lstat(QFile::encodeName(*fileName).constData(), &before) != 0;
    bool built = false;
    const auto discard = qScopeGuard([&] {
        if (madeHere && !built)
            DiscardUnusedFile(*fileName);
    });
    if (const Status s = CreateGraphBuilders(); Failed(s))
        return s;

    // Under the device's name, so that its errors name the camera.
    m_e->source =
        d->sourceDevice ? gst_device_create_element(d->sourceDevice.get(), d->name.toUtf8().constData()) : nullptr;
    if (m_e->source && m_sourceSetup)
        m_sourceSetup(m_e->source);
    if (!m_e->source || !gst_bin_add(GST_BIN(m_e->pipeline), m_e->source)) {
        ReportGraphMessage(1);
        return E_ABORT;
    }
    m_state = GraphState::SourceAdded;
    // Frames delivered, and frames lost as gaps in the source's sequence numbers.
    GstPad* out = gst_element_get_static_pad(m_e->source, "src");
    if (out) {
        gst_pad_add_probe(
            out, GST_PAD_PROBE_TYPE_BUFFER,
            [](GstPad*, GstPadProbeInfo* info, gpointer user) -> GstPadProbeReturn {
                auto* c = static_cast<Counters*>(user);
                const guint64 offset = GST_BUFFER_OFFSET(GST_PAD_PROBE_INFO_BUFFER(info));
                if (offset != GST_BUFFER_OFFSET_NONE) {
                    if (c->nextOffset != GST_BUFFER_OFFSET_NONE && offset > c->nextOffset)
                        c->dropped.fetch_add(offset - c->nextOffset, std::memory_order_relaxed);
                    c->nextOffset = offset + 1;
                }
                c->delivered.fetch_add(1, std::memory_order_relaxed);
                return GST_PAD_PROBE_OK;
            },
            m_counters.get(), nullptr);
        gst_object_unref(out);
    }

    if (Failed(SetCaptureFormat())) {
        ReportGraphMessage(2);
        return E_ABORT;
    }
    const bool recording = fileName && !fileName->isEmpty();
    if (const Status s = AddRenderer(fileName != nullptr); Failed(s))
        return s;
    if (Failed(RenderStreams(fileName))) {
        ReportGraphMessage(4);
        return E_ABORT;
    }
    if (Failed(RunGraph())) {
        ReportPendingErrors(m_e->pipeline);
        ReportGraphMessage(5);
        return E_ABORT;
    }
    if (recording)
        m_outputFileName = *fileName;
    built = true;
    return S_OK;
}

void CaptureGraph::DiscardUnusedFile(const QString& fileName)
{
    // The writer lets go of the file first.
    if (m_e->pipeline)
        gst_element_set_state(m_e->pipeline, GST_STATE_NULL);
    if (m_preAllocatedFd >= 0) {
        ::close(m_preAllocatedFd);
        m_preAllocatedFd = -1;
    }
    if (m_counters && m_counters->recorded.load() > 0)
        return;
    ::unlink(QFile::encodeName(fileName).constData());
}

void CaptureGraph::FinishRecording(bool orderly)
{
    if (m_outputFileName.isEmpty())
        return;
    if (m_preAllocatedFd >= 0) {
        // Cut the claimed space back to what the recording holds.
        const auto end = static_cast<off_t>(m_counters->fileEnd.load());
        if (orderly || end > 0)
            [[maybe_unused]] const int r = ::ftruncate(m_preAllocatedFd, end);
        ::close(m_preAllocatedFd);
        m_preAllocatedFd = -1;
    }
    const AppState& app = TheAppState();
    WriteRecordingLog(m_outputFileName, app.StartRecordingText, app.StopRecordingText, m_defaultFolder,
                      m_counters->recorded.load(), m_counters->dropped.load());
    m_outputFileName.clear();
}

Status CaptureGraph::StopGraph()
{
    // Nothing built yet (the first build was refused before it began): nothing to stop.
    // Failing here would leave the program without a preview for good.
    if (!m_e->pipeline)
        return S_OK;
    bool orderly = true;
    if (!m_outputFileName.isEmpty()) {
        // End of stream through the file writer, so the AVI gets its header and index.
        gst_element_send_event(m_e->pipeline, gst_event_new_eos());
        GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_e->pipeline));
        GstMessage* m = gst_bus_timed_pop_filtered(bus, kEndOfStreamWait,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        orderly = m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
        if (m)
            gst_message_unref(m);
        gst_object_unref(bus);
    }
    if (gst_element_set_state(m_e->pipeline, GST_STATE_NULL) == GST_STATE_CHANGE_FAILURE)
        ReportGraphMessage(8);
    TheFramePipeline().ReleaseIntegrationBuffer();
    FinishRecording(orderly);
    return S_OK;
}

int CaptureGraph::OnBusMessage(GstBus*, GstMessage* m, void* self)
{
    auto* graph = static_cast<CaptureGraph*>(self);
    if (GST_MESSAGE_TYPE(m) != GST_MESSAGE_ERROR)
        return TRUE;
    LogBusError(m);
    // Only a graph that was running is started again: a build that fails reports its own
    // failure, and restarting it would only fail again.
    if (graph->m_state == GraphState::Running && graph->m_failureHandler) {
        graph->m_state = GraphState::StreamsBuilt;
        graph->m_failureHandler();
    }
    return TRUE;
}
