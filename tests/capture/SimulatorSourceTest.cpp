#include "capture/sim/SimulatorRegistration.h"
#include "capture/sim/SimulatorSource.h"
#include "common/Clock.h"
#include "filter/FilterTestSupport.h"
#include "filter/VtiOcr.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class GstEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        gst_init(nullptr, nullptr);
        RegisterSimulatorCamera();
    }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new GstEnvironment);

struct Frame {
    guint64 offset = 0;
    GstClockTime pts = GST_CLOCK_TIME_NONE;
    GstClockTime duration = GST_CLOCK_TIME_NONE;
    std::vector<std::uint8_t> bytes; // kept from keepFrom on
};

struct SimRun {
    std::vector<Frame> frames;
    std::string error; // empty when the run ended with end-of-stream
};

// Runs "<source> ! <caps> ! appsink" to its end and collects what reached the sink; the
// source's VTI follows clock when one is given.
SimRun RunSimulator(const std::string& source, const std::string& caps, guint64 keepFrom = G_MAXUINT64, const Clock* clock = nullptr)
{
    SimRun run;
    GstElement* pipeline = gst_parse_launch((source + " name=source ! " + caps + " ! appsink name=sink sync=false max-buffers=4").c_str(), nullptr);
    GstElement* simulator = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    if (clock)
        g_object_set(simulator, "utc-clock", clock, nullptr);
    gst_object_unref(simulator);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstSample* sample = nullptr;
    while (g_signal_emit_by_name(sink, "try-pull-sample", 10 * GST_SECOND, &sample), sample != nullptr) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        Frame f{GST_BUFFER_OFFSET(buffer), GST_BUFFER_PTS(buffer), GST_BUFFER_DURATION(buffer), {}};
        GstMapInfo map;
        if (f.offset >= keepFrom && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            f.bytes.assign(map.data, map.data + map.size);
            gst_buffer_unmap(buffer, &map);
        }
        run.frames.push_back(std::move(f));
        gst_sample_unref(sample);
    }
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(bus, 5 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    run.error = end == nullptr ? "neither end-of-stream nor an error" : GST_MESSAGE_TYPE(end) == GST_MESSAGE_ERROR ? "error" : "";
    if (end != nullptr)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return run;
}

// Milliseconds of the day that the OCR reads from a YUY2 frame, or -1.
long ReadVtiMilliseconds(const Frame& frame, int width, int height, const OcrLayout& layout)
{
    static const CharacterSetList sets = FontSets();
    CapturedMessages messages;
    VtiOcr ocr(sets, messages);
    ocr.SetLayout(layout);
    ocr.Reset({});
    for (std::uint32_t i = 0; i <= kProbeFrames; ++i)
        ocr.CountFrame();
    const FrameGeometry g = MakeFrameGeometry(FrameSubtype::YUY2, width, height);
    if (frame.bytes.size() < static_cast<std::size_t>(g.stride) * static_cast<std::size_t>(height)
        || !ocr.ReadVtiTime(frame.bytes.data(), g))
        return -1;
    const CalendarTime& t = ocr.VtiTime();
    return ((t.hour * 60L + t.minute) * 60L + t.second) * 1000L + t.milliseconds;
}


} // namespace

TEST(SimulatorStream, VtiReadsUtcAtStartPlusOffsetAndDriftInEveryLayout)
{
    const ManualClock clock{CalendarTime{2026, 3, 0, 14, 23, 59, 52, 789}}; // standing still
    const FileTimeTicks start = *CalendarToTicks(clock.UtcNow());
    const struct {
        int width, height;
        OcrLayout layout;
        long offsetMs;
        bool live = false;
        int frames = 60;
        double driftMsPerMinute = 0;
    } cases[] = {
        {720, 480, {kRowBasePlain, false}, 1500},
        {720, 576, {kRowBaseTvSafe, true}, -2250},
        {640, 480, {kRowBasePlain, true}, 0},
        {640, 480, {kRowBasePlain, false}, 250, true, 4},
        {720, 576, {kRowBasePlain, false}, 0, false, 10 * 60 * 25 + 1, 1.0}, // ten minutes drift 10 ms
    };
    for (const auto& c : cases) {
        const std::string source = std::string("velavtisim is-live=") + (c.live ? "true" : "false") + " num-buffers="
                                   + std::to_string(c.frames) + " offset=" + std::to_string(c.offsetMs) + " drift="
                                   + std::to_string(c.driftMsPerMinute) + " row-base=" + std::to_string(c.layout.rowBase)
                                   + " camera-attached=" + (c.layout.cameraAttached ? "true" : "false");
        const std::string caps = "video/x-raw,format=YUY2,width=" + std::to_string(c.width) + ",height=" + std::to_string(c.height);
        const SimRun run = RunSimulator(source, caps, static_cast<guint64>(c.frames - 4), &clock);
        ASSERT_EQ(run.error, "");
        ASSERT_EQ(run.frames.size(), static_cast<std::size_t>(c.frames));
        for (auto f = run.frames.end() - 4; f != run.frames.end(); ++f) {
            const long read = ReadVtiMilliseconds(*f, c.width, c.height, c.layout);
            // Not live: the start plus the frame's timestamp. Live: the standing clock, for a
            // frame drawn at most one frame ahead of its time.
            const long drift = std::lround(c.driftMsPerMinute * static_cast<double>(f->pts) / static_cast<double>(60 * GST_SECOND));
            const long expected = static_cast<long>((start + (c.live ? 0 : f->pts / 100)) % kTicksPerDay / kTicksPerMillisecond) + c.offsetMs + drift;
            EXPECT_GE(read, expected - (c.live ? 0 : 1)) << caps << " frame " << f->offset;
            EXPECT_LE(read, expected + (c.live ? 34 : 1)) << caps << " frame " << f->offset;
        }
    }
}
