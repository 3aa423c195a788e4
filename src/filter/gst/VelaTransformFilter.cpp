#include "filter/gst/VelaTransformFilter.h"

#include "capture/sim/GTypeDefine.h"
#include "filter/FramePipeline.h"

#include <gst/video/gstvideofilter.h>
#include <gst/video/video.h>

// The graph that creates the element hands it the program's pipeline before the element
// starts; GStreamer's C callbacks find it here.
struct VelaTransformFilter {
    GstVideoFilter parent;
    FramePipeline* pipeline;
};

struct VelaTransformFilterClass {
    GstVideoFilterClass parent;
};

// process-wide: GStreamer registers an element type once per process.
VELA_DEFINE_TYPE(VelaTransformFilter, vela_transform_filter, GST_TYPE_VIDEO_FILTER)

namespace {

constexpr const char* kCaps = "video/x-raw, format=(string){ YUY2, UYVY, BGR, BGRA }, width=(int)[1, 32767], "
                              "height=(int)[1, 32767], framerate=(fraction)[0/1, 2147483647/1]";

FrameSubtype SubtypeOf(GstVideoFormat f)
{
    switch (f) {
    case GST_VIDEO_FORMAT_YUY2: return FrameSubtype::YUY2;
    case GST_VIDEO_FORMAT_UYVY: return FrameSubtype::UYVY;
    case GST_VIDEO_FORMAT_BGR: return FrameSubtype::RGB24;
    case GST_VIDEO_FORMAT_BGRA: return FrameSubtype::ARGB32;
    default: return FrameSubtype::None;
    }
}

FramePipeline* PipelineOf(GstVideoFilter* filter)
{
    return static_cast<VelaTransformFilter*>(static_cast<void*>(filter))->pipeline;
}

gboolean SetInfo(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in, GstCaps*, GstVideoInfo* out)
{
    FramePipeline* pipeline = PipelineOf(filter);
    if (!pipeline) {
        GST_ELEMENT_ERROR(filter, CORE, STATE_CHANGE, ("The frame analysis was not connected"), (nullptr));
        return FALSE;
    }
    if (GST_VIDEO_INFO_PLANE_STRIDE(in, 0) != GST_VIDEO_INFO_PLANE_STRIDE(out, 0))
        return FALSE;
    const FrameGeometry g = MakeFrameGeometry(SubtypeOf(GST_VIDEO_INFO_FORMAT(in)), GST_VIDEO_INFO_WIDTH(in),
                                              GST_VIDEO_INFO_HEIGHT(in), GST_VIDEO_INFO_PLANE_STRIDE(in, 0));
    if (Failed(pipeline->SetFrameGeometry(g))) {
        GST_ELEMENT_ERROR(filter, STREAM, FORMAT, ("Frame layout not supported by the frame analysis"), (nullptr));
        return FALSE;
    }
    return TRUE;
}

GstFlowReturn TransformFrame(GstVideoFilter* filter, GstVideoFrame* in, GstVideoFrame* out)
{
    const auto* src = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(in, 0));
    auto* dst = static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(out, 0));
    const std::size_t len = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(in, 0))
        * static_cast<std::size_t>(GST_VIDEO_FRAME_HEIGHT(in));
    // Times and flags travel on the buffers themselves; the base class copies them. The
    // pipeline was checked when the caps were set, before any frame.
    // The camera's frame number (the driver's sequence, kept through the queues) places each
    // drift sample even when a queue in front of the analysis had to drop frames.
    const GstBuffer* buffer = in->buffer;
    const Status s = PipelineOf(filter)->Transform(
        src, dst, len, GST_BUFFER_OFFSET_IS_VALID(buffer) ? GST_BUFFER_OFFSET(buffer) : kNoFrameNumber);
    if (s == Status::Ok)
        return GST_FLOW_OK;
    if (s == Status::Partial || s == Status::Aborted) // dropped, or the measurement has finished
        return GST_BASE_TRANSFORM_FLOW_DROPPED;
    GST_ELEMENT_ERROR(filter, STREAM, FAILED, ("Frame analysis failed"), ("status 0x%08x", static_cast<unsigned>(s)));
    return GST_FLOW_ERROR;
}

} // namespace

static void vela_transform_filter_class_init(VelaTransformFilterClass* klass)
{
    auto* element = GST_ELEMENT_CLASS(klass);
    auto* video = GST_VIDEO_FILTER_CLASS(klass);
    GstCaps* caps = gst_caps_from_string(kCaps);
    gst_element_class_add_pad_template(element, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS, caps));
    gst_element_class_add_pad_template(element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
    gst_caps_unref(caps);
    gst_element_class_set_static_metadata(element, kTransformFilterName, "Filter/Analyzer/Video",
                                          "Reads the VTI time, integrates frames and marks saturated pixels",
                                          "VELA Video");
    video->set_info = SetInfo;
    video->transform_frame = TransformFrame;
}

static void vela_transform_filter_init(VelaTransformFilter* self)
{
    self->pipeline = nullptr;
}

GType VelaTransformFilterGetType()
{
    return vela_transform_filter_get_type();
}

void VelaTransformFilterSetPipeline(GstElement* element, FramePipeline* pipeline)
{
    if (element && g_type_check_instance_is_a(static_cast<GTypeInstance*>(static_cast<void*>(element)),
                                              vela_transform_filter_get_type()))
        static_cast<VelaTransformFilter*>(static_cast<void*>(element))->pipeline = pipeline;
}
