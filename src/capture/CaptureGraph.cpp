#include "capture/CaptureGraph.h"

#include "capture/CaptureGraphInternals.h"
#include "capture/MediaObjects.h"
#include "capture/RecordingFile.h"
#include "devices/DeviceTable.h"
#include "filter/FramePipeline.h"
#include "filter/gst/VelaTransformFilter.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"

#include <QScopeGuard>
#include <gst/app/gstappsink.h>
#include <gst/video/videooverlay.h>
#include <vector>

namespace {

// The nearest of the matrices the conversion knows; an unknown one is that of
// standard-definition video.
YuvColours ColoursOf(const GstVideoColorimetry& c)
{
    YuvColours colours;
    colours.fullRange = c.range == GST_VIDEO_COLOR_RANGE_0_255;
    switch (c.matrix) {
    case GST_VIDEO_COLOR_MATRIX_BT709:
    case GST_VIDEO_COLOR_MATRIX_SMPTE240M: colours.matrix = YuvMatrix::Bt709; break;
    case GST_VIDEO_COLOR_MATRIX_BT2020: colours.matrix = YuvMatrix::Bt2020; break;
    default: colours.matrix = YuvMatrix::Bt601; break;
    }
    return colours;
}

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
        case GST_VIDEO_FORMAT_YUY2:
        case GST_VIDEO_FORMAT_UYVY:
            layout = GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_UYVY ? Layout::Uyvy : Layout::Yuy2;
            colours = ColoursOf(info.colorimetry);
            break;
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

const MediaFormat* SelectedFormat(const CaptureDevice& d)
{
    if (d.formats.isEmpty())
        return nullptr;
    const int i = d.selectedFormatIndex < 0 ? 0 : d.selectedFormatIndex;
    return i < d.formats.size() ? &d.formats[i] : nullptr;
}

bool AnalysableSubtype(VideoSubtype s)
{
    return s == VideoSubtype::YUY2 || s == VideoSubtype::UYVY || s == VideoSubtype::RGB24 || s == VideoSubtype::ARGB32;
}

RendererKind RendererKindOf(VideoRenderer choice)
{
    switch (choice) {
    case VideoRenderer::XVideoOverlay: return RendererKind::XVideoOverlay;
    case VideoRenderer::XOverlay: return RendererKind::XOverlay;
    default: return RendererKind::Window; // also a value no dialog offers
    }
}

// The video window's own renderer: an appsink whose frames go to the preview sink.
GstElement* MakeWindowRenderer(PreviewSink* preview)
{
    GstElement* sink = gst_element_factory_make("appsink", "Video Window");
    if (!sink)
        return nullptr;
    // The packed 4:2:2 layouts first, so a YUY2 or UYVY camera's pictures pass the
    // converter untouched and are converted once, while painted; RGB pictures become BGRx.
    GstCaps* caps =
        gst_caps_from_string("video/x-raw, format=(string){ YUY2, UYVY }; video/x-raw, format=(string)BGRx");
    g_object_set(sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "sync", FALSE, "qos", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* appsink, gpointer user) -> GstFlowReturn {
        GstSample* sample = gst_app_sink_pull_sample(appsink);
        if (!sample)
            return GST_FLOW_OK;
        if (auto* target = static_cast<PreviewSink*>(user)) {
            auto frame = std::make_shared<MappedPreviewFrame>(sample);
            if (frame->pixels)
                target->PresentFrame(std::move(frame));
        }
        gst_sample_unref(sample);
        return GST_FLOW_OK;
    };
    // Always pulled, also without a window: an appsink nobody empties holds back the
    // end of stream, and a recording would never be finished.
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, preview, nullptr);
    return sink;
}

// A slider position 0..100 maps to -127..127, truncated toward zero; brightness is
// value / 127 (-1..1), contrast 1 + value / 127 (0..2).
int ColourValue(int position)
{
    return position * 254 / 100 - 127;
}

double BrightnessAt(int position)
{
    return ColourValue(position) / 127.0;
}

double ContrastAt(int position)
{
    return 1.0 + ColourValue(position) / 127.0;
}

} // namespace

CaptureGraph::CaptureGraph(const CaptureGraphParts& parts, PreviewSink* preview, std::uintptr_t windowHandle)
    : m_parts(parts)
    , m_preview(preview)
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

void CaptureGraph::Log(const QString& text) const
{
    m_parts.log.Append(text, true);
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
        return Status::Partial;
    if (brightness >= 0)
        m_brightness = brightness;
    if (contrast >= 0)
        m_contrast = contrast;
    if (m_e->colour) {
        // Applied to the frames that follow while the preview runs.
        if (brightness >= 0)
            g_object_set(m_e->colour, "brightness", BrightnessAt(brightness), nullptr);
        if (contrast >= 0)
            g_object_set(m_e->colour, "contrast", ContrastAt(contrast), nullptr);
    }
    return Status::Ok;
}

Status CaptureGraph::BuildGraph(const QString* fileName, bool defaultFolder)
{
    // The Brightness and Contrast window is never open while recording.
    if (m_parts.app.BrightnessContrastShown && fileName)
        return Status::Aborted;
    const CaptureDevice* d = AttachedDevice(m_parts.devices, m_parts.devices.currentDeviceIndex);
    const MediaFormat* f = d ? SelectedFormat(*d) : nullptr;
    if (!f)
        return Status::InvalidArgument;
    m_defaultFolder = defaultFolder;
    const bool recording = fileName != nullptr;
    if (const Status s = PrepareFrameAnalysis(recording, *d, *f); Failed(s))
        return s;

    TearDownGraph();
    if (recording) {
        if (const Status s = RecordingFile::CheckTarget(*fileName, *f, m_parts.log); Failed(s))
            return s;
        m_file = std::make_unique<RecordingFile>(*fileName, m_parts.log);
        m_recordedSubtype = f->subtype;
    }
    const auto discard = qScopeGuard([this] {
        if (m_state != GraphState::Running)
            DiscardUnusedFile();
    });
    if (const Status s = CreateGraphBuilders(); Failed(s))
        return s;
    if (const Status s = AddSource(*d); Failed(s))
        return s;
    if (Failed(SetCaptureFormat(*f))) {
        ReportGraphMessage(m_parts.log, 2);
        return Status::Aborted;
    }
    if (const Status s = AddRenderer(recording); Failed(s))
        return s;
    if (Failed(RenderStreams(*d, *f, recording))) {
        ReportGraphMessage(m_parts.log, 4);
        return Status::Aborted;
    }
    if (Failed(RunGraph())) {
        ReportGraphMessage(m_parts.log, 5);
        return Status::Aborted;
    }
    if (m_file)
        m_file->Begin();
    return Status::Ok;
}

// The analyses run on previews only, and on the layouts they read.
Status CaptureGraph::PrepareFrameAnalysis(bool recording, const CaptureDevice& d, const MediaFormat& f)
{
    const RequestedAnalysis& a = m_parts.app.Analysis;
    m_pixelAnalysisRequested =
        !recording && (a.saturationThreshold >= 0 || a.driftMinutes > 0 || a.integrationFrames > 1);
    if (!m_pixelAnalysisRequested)
        return Status::Ok;
    if (!AnalysableSubtype(f.subtype)) {
        m_pixelAnalysisRequested = false;
        Log(QStringLiteral("Pixel analysis not supported for selected device and format with name \"") + d.name
            + QStringLiteral("\"\r\nExpecting an analog video device with a supported format\r\n"));
        return Status::NotImplemented;
    }
    const std::size_t accumulator =
        a.integrationFrames > 1 ? static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height) * 4 : 0;
    if (Failed(m_parts.frames.ApplySettings(a, accumulator))) {
        // No memory for the integration buffer: the preview goes on without the analyses.
        Log(QStringLiteral("\r\nWARNING: not enough memory to integrate frames; the frame analysis is off.\r\n"));
        return Status::NotImplemented;
    }
    m_parts.frames.ResetAnalysis(f.framesPerSecond);
    return Status::Ok;
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
    m_file.reset(); // after the writer has let go of it
    m_state = GraphState::Idle;
}

Status CaptureGraph::CreateGraphBuilders()
{
    m_e->pipeline = gst_pipeline_new("VELA capture graph");
    if (!m_e->pipeline) {
        ReportGraphMessage(m_parts.log, 12);
        return Status::Failed;
    }
    gst_object_ref_sink(m_e->pipeline);
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_e->pipeline));
    m_busWatch = gst_bus_add_watch(bus, &CaptureGraph::OnBusMessage, this);
    gst_object_unref(bus);
    m_counters = std::make_shared<Counters>();
    m_state = GraphState::BuildersCreated;
    return Status::Ok;
}

Status CaptureGraph::AddSource(const CaptureDevice& d)
{
    // Under the device's name, so that its errors name the camera.
    m_e->source =
        d.sourceDevice ? gst_device_create_element(d.sourceDevice.get(), d.name.toUtf8().constData()) : nullptr;
    if (m_e->source && m_sourceSetup)
        m_sourceSetup(m_e->source);
    if (!m_e->source || !gst_bin_add(GST_BIN(m_e->pipeline), m_e->source)) {
        ReportGraphMessage(m_parts.log, 1);
        return Status::Aborted;
    }
    m_state = GraphState::SourceAdded;
    CountDeliveredFrames();
    return Status::Ok;
}

// Frames delivered, and frames lost as gaps in the source's sequence numbers.
void CaptureGraph::CountDeliveredFrames()
{
    GstPad* out = gst_element_get_static_pad(m_e->source, "src");
    if (!out)
        return;
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

Status CaptureGraph::SetCaptureFormat(const MediaFormat& f)
{
    if (m_state != GraphState::SourceAdded) {
        ReportGraphMessage(m_parts.log, 10);
        return Status::Aborted;
    }
    m_e->format = gst_element_factory_make("capsfilter", "Capture Format");
    if (!m_e->format || !f.caps) {
        ReportGraphMessage(m_parts.log, 11);
        return Status::Failed;
    }
    g_object_set(m_e->format, "caps", f.caps.get(), nullptr);
    gst_bin_add(GST_BIN(m_e->pipeline), m_e->format);
    return gst_element_link(m_e->source, m_e->format) ? Status::Ok : Status::Failed;
}

Status CaptureGraph::AddRenderer(bool recording)
{
    const AppOptions& o = m_parts.options;
    m_renderer = m_noDisplay || (o.DisplayOffWhileRecording && recording) || m_parts.app.Analysis.driftMinutes > 0
                     ? RendererKind::None
                     : RendererKindOf(o.DefaultRenderer);
    switch (m_renderer) {
    case RendererKind::Window:
        m_e->renderer = MakeWindowRenderer(m_preview);
        if (!m_e->renderer) {
            ReportGraphMessage(m_parts.log, 19);
            return Status::Aborted;
        }
        break;
    case RendererKind::XVideoOverlay:
    case RendererKind::XOverlay: {
        const bool xv = m_renderer == RendererKind::XVideoOverlay;
        // Named with the dialog's word: an overlay's errors (no XVideo port, no display)
        // reach User Messages under this name, and the user knows the choice by it.
        GstElement* sink = gst_element_factory_make(xv ? "xvimagesink" : "ximagesink", xv ? "VMR9" : "VMR7");
        if (!sink) {
            ReportGraphMessage(m_parts.log, xv ? 34 : 35);
            return Status::Ok; // no renderer: the build ends in an orderly failure at the renderer pin
        }
        g_object_set(sink, "force-aspect-ratio", TRUE, "sync", FALSE, nullptr);
        if (m_windowHandle)
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), m_windowHandle);
        m_e->renderer = sink;
        break;
    }
    case RendererKind::None: {
        GstElement* sink = gst_element_factory_make("fakesink", "No Picture");
        if (!sink) {
            ReportGraphMessage(m_parts.log, 36);
            return Status::Ok;
        }
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
        m_e->renderer = sink;
        break;
    }
    }
    gst_bin_add(GST_BIN(m_e->pipeline), m_e->renderer);
    return Status::Ok;
}

Status CaptureGraph::RenderStreams(const CaptureDevice& d, const MediaFormat& f, bool recording)
{
    m_e->tee = gst_element_factory_make("tee", "Smart Tee");
    m_e->previewQueue = gst_element_factory_make("queue", "Preview");
    if (!m_e->tee || !m_e->previewQueue) {
        ReportGraphMessage(m_parts.log, 23);
        return Status::Aborted;
    }
    // A slow preview drops preview frames; the capture branch never does.
    g_object_set(m_e->previewQueue, "leaky", 2 /* downstream */, "max-size-buffers", 2u, "max-size-bytes", 0u,
                 "max-size-time", guint64{0}, nullptr);
    gst_bin_add_many(GST_BIN(m_e->pipeline), m_e->tee, m_e->previewQueue, nullptr);
    if (!gst_element_link_many(m_e->format, m_e->tee, m_e->previewQueue, nullptr)) {
        ReportGraphMessage(m_parts.log, 23);
        return Status::Aborted;
    }
    if (recording) {
        if (const Status s = AddRecordingBranch(d, f); Failed(s))
            return s;
    }
    if (!m_e->renderer) {
        ReportGraphMessage(m_parts.log, 39);
        return Status::Aborted;
    }
    if (const Status s = AddPreviewChain(f, recording); Failed(s))
        return s;
    m_state = GraphState::StreamsBuilt;
    return Status::Ok;
}

// Preview queue ! [jpegdec] ! [frame analysis] ! [colour control] ! videoconvert ! renderer
Status CaptureGraph::AddPreviewChain(const MediaFormat& f, bool recording)
{
    std::vector<GstElement*> chain;
    if (f.subtype == VideoSubtype::MJPG)
        chain.push_back(gst_element_factory_make("jpegdec", "MJPG Decoder"));
    if (m_pixelAnalysisRequested) {
        m_e->transform = gst_element_factory_make(kTransformElementName, kTransformFilterName);
        if (!m_e->transform)
            return Status::Aborted;
        VelaTransformFilterSetPipeline(m_e->transform, &m_parts.frames);
        chain.push_back(m_e->transform);
    }
    if (m_parts.app.BrightnessContrastShown && m_colourControlAvailable && !recording) {
        m_e->colour = gst_element_factory_make("videobalance", "Color Control");
        if (!m_e->colour) {
            Log(QStringLiteral("\r\nCannot add color control filter to filter graph.  Brightness/contrast is not impemented."));
        } else {
            g_object_set(m_e->colour, "brightness", BrightnessAt(m_brightness), "contrast", ContrastAt(m_contrast),
                         nullptr);
            chain.push_back(m_e->colour);
        }
    }
    chain.push_back(gst_element_factory_make("videoconvert", "Preview Converter"));
    GstElement* previous = m_e->previewQueue;
    for (GstElement* e : chain) {
        if (!e) {
            ReportGraphMessage(m_parts.log, 23);
            return Status::Aborted;
        }
        gst_bin_add(GST_BIN(m_e->pipeline), e);
        if (!gst_element_link(previous, e)) {
            ReportGraphMessage(m_parts.log, 23);
            return Status::Aborted;
        }
        previous = e;
    }
    if (!gst_element_link(previous, m_e->renderer)) {
        ReportGraphMessage(m_parts.log, 40);
        return Status::Aborted;
    }
    return Status::Ok;
}
