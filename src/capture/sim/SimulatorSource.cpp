#include "capture/sim/SimulatorSource.h"

#include "capture/sim/GTypeDefine.h"
#include "capture/sim/SimulatorFormats.h"
#include "capture/sim/SimulatorJpegStage.h"
#include "capture/sim/SimulatorScene.h"
#include "capture/sim/SimulatorSettings.h"
#include "common/Clock.h"

#include <gst/base/gstpushsrc.h>
#include <gst/video/video.h>

#include <memory>
#include <string>
#include <unistd.h>

namespace {

enum Property : guint {
    kPropIsLive = 1,
    kPropOffset,
    kPropDrift,
    kPropDropEvery,
    kPropRowBase,
    kPropCameraAttached,
    kPropUnplugFile,
    kPropUtcClock
};

constexpr auto kParamFlags = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS);
constexpr GstClockTime kNanosecondsPerTick = 100;
// The simulated VTI's time source unless a test hands the element another clock.
const SystemClock kComputerClock;

struct Settings {
    SimulatedVtiClock clock;
    guint dropEvery = 0;
    OcrLayout layout;
};

// What the negotiated format needs while streaming.
struct Stream {
    GstVideoInfo rawInfo{}; // the frames drawn; YUY2 for the MJPG format
    std::shared_ptr<const SimulatorScene> scene;
    SimulatorJpegStage jpeg;
    GstBufferPool* pool = nullptr; // raw frames are recycled: fresh allocations cost page faults each frame
    bool encode = false;
    guint64 nextSequence = 0;
    GstClockTime firstPts = GST_CLOCK_TIME_NONE;
    FileTimeTicks startUtc = 0;
};

struct Private {
    Settings settings; // under the object lock: properties may change while frames flow
    std::string unplugFile; // likewise; kept apart so the per-frame copy of the settings allocates nothing
    const Clock* utcClock = &kComputerClock; // likewise
    Stream stream;     // streaming thread, and the state changes that precede it
};

} // namespace

struct VelaVtiSim {
    GstPushSrc parent;
    Private* priv;
};

struct VelaVtiSimClass {
    GstPushSrcClass parent;
};

VELA_DEFINE_TYPE(VelaVtiSim, vela_vti_sim, GST_TYPE_PUSH_SRC)

namespace {

VelaVtiSim* Self(gpointer object)
{
    return static_cast<VelaVtiSim*>(object);
}

// UTC now from the element's clock. Takes the object lock.
FileTimeTicks UtcTicksNow(VelaVtiSim* self)
{
    GST_OBJECT_LOCK(self);
    const Clock* clock = self->priv->utcClock;
    GST_OBJECT_UNLOCK(self);
    // A clock only hands out valid times.
    return CalendarToTicks(clock->UtcNow()).value_or(0);
}

GstClockTime FrameTime(const GstVideoInfo& info, guint64 frames)
{
    return gst_util_uint64_scale(frames, GST_SECOND * static_cast<guint64>(info.fps_d), static_cast<guint64>(info.fps_n));
}

GstClockTime RunningTimeNow(GstElement* element)
{
    GstClock* clock = gst_element_get_clock(element);
    if (clock == nullptr)
        return 0;
    const GstClockTime now = gst_clock_get_time(clock);
    const GstClockTime base = gst_element_get_base_time(element);
    gst_object_unref(clock);
    return now > base ? now - base : 0;
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* paramInfo)
{
    VelaVtiSim* self = Self(object);
    if (id == kPropIsLive) {
        gst_base_src_set_live(GST_BASE_SRC(object), g_value_get_boolean(value));
        return;
    }
    GST_OBJECT_LOCK(object);
    Settings& s = self->priv->settings;
    switch (id) {
    case kPropOffset: s.clock.offsetMilliseconds = g_value_get_int64(value); break;
    case kPropDrift: s.clock.driftMillisecondsPerMinute = g_value_get_double(value); break;
    case kPropDropEvery: s.dropEvery = g_value_get_uint(value); break;
    case kPropRowBase: s.layout.rowBase = g_value_get_int(value); break;
    case kPropCameraAttached: s.layout.cameraAttached = g_value_get_boolean(value); break;
    case kPropUnplugFile: {
        const gchar* file = g_value_get_string(value);
        self->priv->unplugFile = file ? file : "";
        break;
    }
    case kPropUtcClock: {
        const auto* clock = static_cast<const Clock*>(g_value_get_pointer(value));
        self->priv->utcClock = clock ? clock : &kComputerClock;
        break;
    }
    default: G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, paramInfo); break;
    }
    GST_OBJECT_UNLOCK(object);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* paramInfo)
{
    VelaVtiSim* self = Self(object);
    if (id == kPropIsLive) {
        g_value_set_boolean(value, gst_base_src_is_live(GST_BASE_SRC(object)));
        return;
    }
    GST_OBJECT_LOCK(object);
    const Settings& s = self->priv->settings;
    switch (id) {
    case kPropOffset: g_value_set_int64(value, s.clock.offsetMilliseconds); break;
    case kPropDrift: g_value_set_double(value, s.clock.driftMillisecondsPerMinute); break;
    case kPropDropEvery: g_value_set_uint(value, s.dropEvery); break;
    case kPropRowBase: g_value_set_int(value, s.layout.rowBase); break;
    case kPropCameraAttached: g_value_set_boolean(value, s.layout.cameraAttached); break;
    case kPropUnplugFile: g_value_set_string(value, self->priv->unplugFile.c_str()); break;
    case kPropUtcClock: g_value_set_pointer(value, const_cast<Clock*>(self->priv->utcClock)); break;
    default: G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, paramInfo); break;
    }
    GST_OBJECT_UNLOCK(object);
}

void Finalize(GObject* object)
{
    delete Self(object)->priv;
    G_OBJECT_CLASS(vela_vti_sim_parent_class)->finalize(object);
}

// Whether the camera is pulled out: its unplug file exists. Takes the object lock.
bool Unplugged(VelaVtiSim* self, std::string* file = nullptr)
{
    GST_OBJECT_LOCK(self);
    const std::string& name = self->priv->unplugFile;
    const bool unplugged = !name.empty() && ::access(name.c_str(), F_OK) == 0;
    if (unplugged && file)
        *file = name;
    GST_OBJECT_UNLOCK(self);
    return unplugged;
}

gboolean Start(GstBaseSrc* src)
{
    // What a capture device whose node has gone reports when it is opened.
    if (std::string file; Unplugged(Self(src), &file)) {
        GST_ELEMENT_ERROR(src, RESOURCE, NOT_FOUND, ("Cannot identify device '%s'.", kSimulatorDeviceName),
                          ("The simulated camera is unplugged while %s exists.", file.c_str()));
        return FALSE;
    }
    Stream& st = Self(src)->priv->stream;
    st.nextSequence = 0;
    st.firstPts = GST_CLOCK_TIME_NONE;
    st.startUtc = UtcTicksNow(Self(src));
    return TRUE;
}

void ReleasePool(Stream& st)
{
    if (st.pool != nullptr) {
        gst_buffer_pool_set_active(st.pool, FALSE);
        gst_object_unref(st.pool);
        st.pool = nullptr;
    }
}

bool StartPool(Stream& st, const GstVideoInfo& info)
{
    ReleasePool(st);
    st.pool = gst_buffer_pool_new();
    GstStructure* config = gst_buffer_pool_get_config(st.pool);
    GstCaps* caps = gst_video_info_to_caps(&info);
    gst_buffer_pool_config_set_params(config, caps, static_cast<guint>(GST_VIDEO_INFO_SIZE(&info)), 2, 0);
    gst_caps_unref(caps);
    return gst_buffer_pool_set_config(st.pool, config) && gst_buffer_pool_set_active(st.pool, TRUE);
}

gboolean Stop(GstBaseSrc* src)
{
    Stream& st = Self(src)->priv->stream;
    st.jpeg.Stop();
    ReleasePool(st);
    st.scene.reset();
    return TRUE;
}

gboolean SetCaps(GstBaseSrc* src, GstCaps* caps)
{
    Stream& st = Self(src)->priv->stream;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    GstVideoInfo info;
    st.encode = gst_structure_has_name(s, "image/jpeg");
    if (st.encode) {
        int width = 0, height = 0, fpsN = 0, fpsD = 1;
        if (!gst_structure_get_int(s, "width", &width) || !gst_structure_get_int(s, "height", &height)
            || !gst_structure_get_fraction(s, "framerate", &fpsN, &fpsD))
            return FALSE;
        gst_video_info_set_format(&info, GST_VIDEO_FORMAT_YUY2, static_cast<guint>(width), static_cast<guint>(height));
        info.fps_n = fpsN;
        info.fps_d = fpsD;
    } else if (!gst_video_info_from_caps(&info, caps)) {
        return FALSE;
    }
    if (info.fps_n <= 0 || info.fps_d <= 0)
        return FALSE;

    FrameGeometry geometry;
    switch (GST_VIDEO_INFO_FORMAT(&info)) {
    case GST_VIDEO_FORMAT_YUY2: geometry.subtype = FrameSubtype::YUY2; break;
    case GST_VIDEO_FORMAT_UYVY: geometry.subtype = FrameSubtype::UYVY; break;
    case GST_VIDEO_FORMAT_BGR: geometry.subtype = FrameSubtype::RGB24; break;
    default: return FALSE;
    }
    geometry.width = GST_VIDEO_INFO_WIDTH(&info);
    geometry.height = GST_VIDEO_INFO_HEIGHT(&info);
    geometry.stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    st.scene = SharedSimulatorScene(geometry);
    st.rawInfo = info;
    if (st.scene->FrameBytes() != GST_VIDEO_INFO_SIZE(&info) || !StartPool(st, info))
        return FALSE;

    if (st.encode) {
        GstCaps* rawCaps = gst_video_info_to_caps(&info);
        const bool started = st.jpeg.Start(rawCaps);
        gst_caps_unref(rawCaps);
        if (!started) {
            GST_ELEMENT_ERROR(src, CORE, MISSING_PLUGIN, ("The MJPG format needs the jpegenc element."), (nullptr));
            return FALSE;
        }
    }
    return TRUE;
}

void GetTimes(GstBaseSrc* src, GstBuffer* buffer, GstClockTime* start, GstClockTime* end)
{
    *start = GST_CLOCK_TIME_NONE;
    *end = GST_CLOCK_TIME_NONE;
    // A live camera is paced by the clock: the base class waits for each frame's time.
    if (gst_base_src_is_live(src) && GST_BUFFER_PTS_IS_VALID(buffer)) {
        *start = GST_BUFFER_PTS(buffer);
        *end = *start + GST_BUFFER_DURATION(buffer);
    }
}

gboolean Query(GstBaseSrc* src, GstQuery* query)
{
    const GstVideoInfo& info = Self(src)->priv->stream.rawInfo;
    if (GST_QUERY_TYPE(query) == GST_QUERY_LATENCY && info.fps_n > 0) {
        const GstClockTime frame = FrameTime(info, 1);
        gst_query_set_latency(query, gst_base_src_is_live(src), frame, frame);
        return TRUE;
    }
    return GST_BASE_SRC_CLASS(vela_vti_sim_parent_class)->query(src, query);
}

// The UTC at which a live frame is due: it is drawn ahead of its time, and the base class
// holds it back until pts.
FileTimeTicks UtcAtPts(GstElement* element, GstClockTime pts)
{
    const GstClockTime now = RunningTimeNow(element);
    return UtcTicksNow(Self(element)) + (pts > now ? pts - now : 0) / kNanosecondsPerTick;
}

// One picture into a pooled buffer, and for the MJPG format its JPEG; *out gets the
// frame with its times.
GstFlowReturn DrawFrame(GstBaseSrc* src, Stream& st, const Settings& settings, guint64 sequence,
                        const VtiDisplayTime& shown, GstClockTime pts, GstClockTime duration, GstBuffer** out)
{
    // Consecutive frames alternate the field that carries the line, as an interlaced VTI's do.
    const FieldPhase phase = sequence % 2 == 0 ? FieldPhase::Odd : FieldPhase::Even;
    GstBuffer* buffer = nullptr;
    const GstFlowReturn acquired = gst_buffer_pool_acquire_buffer(st.pool, &buffer, nullptr);
    if (acquired != GST_FLOW_OK)
        return acquired;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(buffer);
        return GST_FLOW_ERROR;
    }
    st.scene->Render(map.data, sequence, settings.layout, shown, phase);
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = pts;
    GST_BUFFER_DURATION(buffer) = duration;

    if (st.encode) {
        buffer = st.jpeg.Encode(buffer);
        if (buffer == nullptr) {
            GST_ELEMENT_ERROR(src, STREAM, ENCODE, ("The simulator could not encode an MJPG frame."), (nullptr));
            return GST_FLOW_ERROR;
        }
        buffer = gst_buffer_make_writable(buffer);
        GST_BUFFER_PTS(buffer) = pts;
        GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
        GST_BUFFER_DURATION(buffer) = duration;
    }
    *out = buffer;
    return GST_FLOW_OK;
}

GstFlowReturn Create(GstPushSrc* push, GstBuffer** out)
{
    VelaVtiSim* self = Self(push);
    GstBaseSrc* src = GST_BASE_SRC(push);
    GST_OBJECT_LOCK(self);
    const Settings settings = self->priv->settings;
    GST_OBJECT_UNLOCK(self);
    Stream& st = self->priv->stream;
    if (!st.scene)
        return GST_FLOW_NOT_NEGOTIATED;
    // What a capture device that is pulled out while it streams reports.
    if (std::string file; Unplugged(self, &file)) {
        GST_ELEMENT_ERROR(src, RESOURCE, READ, (nullptr), ("The simulated camera was unplugged: %s exists.", file.c_str()));
        return GST_FLOW_ERROR;
    }

    guint64 sequence = st.nextSequence++;
    while (settings.dropEvery > 0 && (sequence + 1) % settings.dropEvery == 0)
        sequence = st.nextSequence++;

    const bool live = gst_base_src_is_live(src);
    if (!GST_CLOCK_TIME_IS_VALID(st.firstPts))
        st.firstPts = live ? RunningTimeNow(GST_ELEMENT(push)) : 0;
    const GstClockTime sinceStart = FrameTime(st.rawInfo, sequence);
    const GstClockTime pts = st.firstPts + sinceStart;
    const GstClockTime duration = FrameTime(st.rawInfo, sequence + 1) - sinceStart;

    const FileTimeTicks utc = live ? UtcAtPts(GST_ELEMENT(push), pts) : st.startUtc + sinceStart / kNanosecondsPerTick;
    const FileTimeTicks vti = settings.clock.VtiTicks(utc, sinceStart / kNanosecondsPerTick);
    const VtiDisplayTime shown = VtiDisplayTimeAt(vti, duration / 2 / kNanosecondsPerTick);
    GstBuffer* buffer = nullptr;
    if (const GstFlowReturn drawn = DrawFrame(src, st, settings, sequence, shown, pts, duration, &buffer);
        drawn != GST_FLOW_OK)
        return drawn;
    GST_BUFFER_OFFSET(buffer) = sequence;
    GST_BUFFER_OFFSET_END(buffer) = sequence + 1;
    *out = buffer;
    return GST_FLOW_OK;
}

} // namespace

static void vela_vti_sim_class_init(VelaVtiSimClass* klass)
{
    GObjectClass* objectClass = G_OBJECT_CLASS(klass);
    objectClass->set_property = SetProperty;
    objectClass->get_property = GetProperty;
    objectClass->finalize = Finalize;

    g_object_class_install_property(objectClass, kPropIsLive,
        g_param_spec_boolean("is-live", "Is live", "Pace frames by the clock and show UTC now", TRUE, kParamFlags));
    g_object_class_install_property(objectClass, kPropOffset,
        g_param_spec_int64("offset", "Offset", "VTI time minus UTC, milliseconds", -kSimulatorOffsetLimitMs,
                           kSimulatorOffsetLimitMs, 0, kParamFlags));
    g_object_class_install_property(objectClass, kPropDrift,
        g_param_spec_double("drift", "Drift", "VTI drift against UTC, milliseconds per minute",
                            -kSimulatorDriftLimitMsPerMinute, kSimulatorDriftLimitMsPerMinute, 0.0, kParamFlags));
    g_object_class_install_property(objectClass, kPropDropEvery,
        g_param_spec_uint("drop-every", "Drop every", "Drop every Nth frame (0: none)", 0, G_MAXUINT, 0, kParamFlags));
    g_object_class_install_property(objectClass, kPropRowBase,
        g_param_spec_int("row-base", "Row base", "Row above the VTI digit cells", 0, 4096, kRowBasePlain, kParamFlags));
    g_object_class_install_property(objectClass, kPropCameraAttached,
        g_param_spec_boolean("camera-attached", "Camera attached", "Use the camera-attached digit columns", FALSE,
                             kParamFlags));
    g_object_class_install_property(objectClass, kPropUnplugFile,
        g_param_spec_string("unplug-file", "Unplug file",
                            "While a file of this name exists the camera is unplugged: it fails to start, and a "
                            "running stream ends with a read error",
                            nullptr, kParamFlags));
    g_object_class_install_property(objectClass, kPropUtcClock,
        g_param_spec_pointer("utc-clock", "UTC clock", "The Clock the VTI time follows (NULL: the computer's)",
                             kParamFlags));

    GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(elementClass, "VTI Simulator", "Source/Video",
                                          "Simulated camera behind a video time inserter, for rehearsals and tests",
                                          "VELA Video");
    GstCaps* caps = SimulatorCaps();
    gst_element_class_add_pad_template(elementClass, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
    gst_caps_unref(caps);

    GstBaseSrcClass* baseClass = GST_BASE_SRC_CLASS(klass);
    baseClass->start = Start;
    baseClass->stop = Stop;
    baseClass->set_caps = SetCaps;
    baseClass->get_times = GetTimes;
    baseClass->query = Query;
    GST_PUSH_SRC_CLASS(klass)->create = Create;
}

static void vela_vti_sim_init(VelaVtiSim* self)
{
    self->priv = new Private;
    gst_base_src_set_live(GST_BASE_SRC(self), TRUE);
    gst_base_src_set_format(GST_BASE_SRC(self), GST_FORMAT_TIME);
}

GType VelaVtiSimGetType()
{
    return vela_vti_sim_get_type();
}
