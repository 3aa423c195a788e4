#include "capture/RecordedVtiTimes.h"

#include "capture/MediaObjects.h"

#include <QFile>
#include <QFileInfo>
#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

namespace {

constexpr GstClockTime kPullWait = 100 * GST_MSECOND;

// The file's frames as YUY2, whatever the recording holds (raw YUY2, MJPG, RGB).
constexpr char kReader[] =
    "filesrc name=file ! decodebin ! videoconvert ! video/x-raw,format=YUY2 ! appsink name=frames sync=false";

RecordedVtiTime ReadFrame(GstSample* sample, std::uint64_t number, const RecordedVtiTimesRequest& request,
                          const CharacterSetList& sets)
{
    RecordedVtiTime t;
    t.frame = number;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))
        || !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
        return t;
    const auto* pixels = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const FrameGeometry geometry = MakeFrameGeometry(FrameSubtype::YUY2, GST_VIDEO_FRAME_WIDTH(&frame),
                                                     GST_VIDEO_FRAME_HEIGHT(&frame),
                                                     GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
    const VtiLineReading r = ReadVtiLine(pixels, geometry, request.layout, sets);
    if (r.read) {
        t.readable = true;
        t.hour = r.hour;
        t.minute = r.minute;
        t.second = r.second;
        t.milliseconds = r.milliseconds;
        t.secondFieldMilliseconds = ReadSecondFieldMilliseconds(pixels, geometry, request.layout, sets);
    }
    gst_video_frame_unmap(&frame);
    return t;
}

QString ErrorText(GstMessage* message)
{
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    QString text = QString::fromUtf8(error ? error->message : "unknown error");
    g_clear_error(&error);
    return text;
}

} // namespace

RecordedVtiTimes ReadRecordedVtiTimes(const QString& aviPath, const CharacterSetList& sets,
                                      const RecordedVtiTimesRequest& request)
{
    RecordedVtiTimes result;
    if (!sets.Complete()) {
        result.error = QStringLiteral("the character recognition sets are not loaded");
        return result;
    }
    if (!QFileInfo(aviPath).isFile()) {
        result.error = QStringLiteral("%1: no such file").arg(aviPath);
        return result;
    }
    if (!EnsureMediaFramework()) {
        result.error = QStringLiteral("the media framework cannot start");
        return result;
    }
    ElementPtr pipeline(gst_parse_launch(kReader, nullptr));
    if (!pipeline) {
        result.error = QStringLiteral("the decoder elements are missing");
        return result;
    }
    gst_object_ref_sink(pipeline.get());
    ElementPtr file(gst_bin_get_by_name(GST_BIN(pipeline.get()), "file"));
    ElementPtr sinkElement(gst_bin_get_by_name(GST_BIN(pipeline.get()), "frames"));
    g_object_set(file.get(), "location", QFile::encodeName(aviPath).constData(), nullptr);
    std::unique_ptr<GstBus, ObjectUnref> bus(gst_element_get_bus(pipeline.get()));
    auto* sink = GST_APP_SINK(sinkElement.get());

    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    while (request.maxFrames == 0 || result.frames.size() < request.maxFrames) {
        if (GstSample* sample = gst_app_sink_try_pull_sample(sink, kPullWait)) {
            result.frames.push_back(ReadFrame(sample, result.frames.size(), request, sets));
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
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return result;
}
