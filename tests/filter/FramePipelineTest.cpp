#include "filter/FramePipeline.h"

#include "FrameTestSupport.h"
#include "filter/AnalysisFlags.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class FramePipelineTest : public testing::Test {
protected:
    void SetUp() override
    {
        MeasurementFinished().store(false);
        LiveSaturationThreshold().store(-1);
    }
    void TearDown() override
    {
        MeasurementFinished().store(false);
        LiveSaturationThreshold().store(-1);
    }

    // A graph build as the graph builder runs it.
    void Build(const RequestedAnalysis& requested, const FrameGeometry& g)
    {
        const std::size_t accumulator =
            requested.integrationFrames > 1 ? static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height) * 4 : 0;
        ASSERT_EQ(pipeline.ApplySettings(requested, accumulator), S_OK);
        pipeline.ResetAnalysis(25);
        ASSERT_EQ(pipeline.SetFrameGeometry(g), S_OK);
    }

    Status Run(const TestFrame& in, TestFrame& out, std::int64_t time = 0)
    {
        input.hasTime = true;
        input.timeStart = time;
        input.timeEnd = time + 400000;
        input.actualDataLength = static_cast<std::int32_t>(in.bytes.size());
        return pipeline.Transform(in.bytes.data(), out.bytes.data(), in.bytes.size(), input, output);
    }

    static RequestedAnalysis Integration(std::uint32_t frames)
    {
        RequestedAnalysis r;
        r.integrationFrames = frames;
        r.saturationThreshold = 100; // ignored while integrating
        return r;
    }

    MessageCapture messages;
    FramePipeline pipeline;
    SampleProperties input, output;
};

// YUY2 frames whose luma is one value and chroma another.
TestFrame Yuy2(std::uint8_t luma, std::uint8_t chroma)
{
    TestFrame f(FrameSubtype::YUY2, 64, 6);
    for (std::int32_t r = 0; r < f.geometry.height; ++r)
        for (std::int32_t i = 0; i < RowBytes(f.geometry); ++i)
            f.Row(r)[i] = i % 2 == 0 ? luma : chroma;
    return f;
}

} // namespace

TEST_F(FramePipelineTest, IntegrationOfThreeDropsTwoAndDeliversTheSum)
{
    Build(Integration(3), Yuy2(0, 0).geometry);
    EXPECT_EQ(LiveSaturationThreshold().load(), -1);

    struct Step {
        std::uint8_t luma, chroma;
        Status status;
        std::uint8_t deliveredLuma, deliveredChroma;
    };
    const Step steps[] = {
        {10, 128, S_FALSE, 0, 0},    // dark level 10, not shown
        {50, 60, S_FALSE, 0, 0},     // copied into the buffer as it is
        {25, 200, S_FALSE, 0, 0},    // adds 15 to the luma only
        {90, 90, S_OK, 65, 60},      // delivers the buffer, its own picture unused
        {30, 70, S_FALSE, 0, 0},     // starts anew
        {250, 1, S_FALSE, 0, 0},     // adds 240, saturating
        {9, 9, S_OK, 255, 70},
        {40, 41, S_FALSE, 0, 0},
    };
    std::int64_t time = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "frame " << time);
        TestFrame out = Yuy2(1, 2);
        EXPECT_EQ(Run(Yuy2(s.luma, s.chroma), out, time), s.status);
        if (s.status == S_OK) {
            EXPECT_EQ(out.bytes, Yuy2(s.deliveredLuma, s.deliveredChroma).bytes);
            EXPECT_EQ(output.timeStart, time); // the delivering frame's properties
        }
        ++time;
    }
    EXPECT_EQ(pipeline.Levels().yuy2, 10u);
    EXPECT_FALSE(pipeline.DarkLevelPending());
}

TEST_F(FramePipelineTest, IntegrationOfTwoDeliversEachFirstFrameRaw)
{
    Build(Integration(2), Yuy2(0, 0).geometry);
    const std::pair<std::uint8_t, Status> steps[] = {{3, S_FALSE}, {40, S_FALSE}, {77, S_OK},
                                                     {41, S_FALSE}, {78, S_OK}};
    std::uint8_t lastDropped = 0;
    for (auto [value, status] : steps) {
        TestFrame out = Yuy2(1, 2);
        ASSERT_EQ(Run(Yuy2(value, value), out), status);
        if (status == S_OK) {
            EXPECT_EQ(out.bytes, Yuy2(lastDropped, lastDropped).bytes); // dark level not subtracted
        }
        lastDropped = value;
    }
}

// A bottom-up RGB24 source with padded rows, integrated: the delivered frame is the sum,
// top row first, and the buffer was grown past the accumulator size to a whole frame.
TEST_F(FramePipelineTest, BottomUpPaddedFramesIntegrateTopRowFirst)
{
    TestFrame dark(FrameSubtype::RGB24, 385, 289, 400); // rows longer than width x 4
    dark.FillPicture(std::uint8_t{4});
    Build(Integration(3), dark.geometry);
    ASSERT_GE(pipeline.IntegrationBufferBytes(), dark.bytes.size());

    TestFrame first = dark, second = dark, out = dark;
    first.FillPicture(21u, 120);
    second.FillPicture(22u, 120);
    EXPECT_EQ(Run(dark, out), S_FALSE);
    EXPECT_EQ(Run(first, out), S_FALSE);
    EXPECT_EQ(Run(second, out), S_FALSE);
    EXPECT_EQ(Run(dark, out), S_OK);

    const std::int32_t h = dark.geometry.height;
    for (std::int32_t r = 0; r < h; ++r)
        for (std::int32_t i = 0; i < RowBytes(dark.geometry); ++i) {
            const int a = first.Row(r)[i], b = second.Row(r)[i];
            ASSERT_EQ(out.Row(h - 1 - r)[i], std::min(255, a + std::max(0, b - 4))) << r << " " << i;
        }
}

TEST_F(FramePipelineTest, PlainCopyMarksWithTheLiveThresholdReadPerFrame)
{
    RequestedAnalysis requested;
    requested.saturationThreshold = 200;
    TestFrame in(FrameSubtype::RGB24, 385, 289, 12), out(FrameSubtype::RGB24, 385, 289, 12);
    Build(requested, in.geometry);
    EXPECT_EQ(LiveSaturationThreshold().load(), 200);
    in.FillPicture(std::uint8_t{50});
    in.Row(0)[0] = 210; // bottom row of the picture: the output's last row
    in.Row(288)[3] = 255;

    ASSERT_EQ(Run(in, out), S_OK);
    EXPECT_EQ(out.Row(288)[0], 0xE1);
    EXPECT_EQ(out.Row(0)[4], 0);
    EXPECT_EQ(output.timeEnd, 400000);

    LiveSaturationThreshold().store(211); // the dialog's slider, between frames
    ASSERT_EQ(Run(in, out), S_OK);
    EXPECT_EQ(out.Row(288)[0], 210);
    EXPECT_EQ(out.Row(0)[4], 0);

    LiveSaturationThreshold().store(-1);
    ASSERT_EQ(Run(in, out), S_OK);
    EXPECT_EQ(out.Row(0)[3], 255);
}

TEST_F(FramePipelineTest, DriftMeasurementIgnoresIntegrationAndThreshold)
{
    RequestedAnalysis requested = Integration(5);
    requested.driftMinutes = 3;
    TestFrame in = Yuy2(255, 255), out = Yuy2(0, 0);
    Build(requested, in.geometry);
    EXPECT_EQ(pipeline.Settings().integrationFrames, 1u);
    EXPECT_EQ(pipeline.Settings().driftMinutes, 3u);
    EXPECT_EQ(pipeline.IntegrationBufferBytes(), 0u);
    EXPECT_EQ(LiveSaturationThreshold().load(), -1);
    EXPECT_EQ(pipeline.Settings().framesPerSecond, 25u);

    LiveSaturationThreshold().store(100); // the slider moved while the clock is measured
    EXPECT_EQ(Run(in, out), S_OK);        // delivered, not dropped for integration
    EXPECT_EQ(out.bytes, in.bytes);       // and not marked
}

TEST_F(FramePipelineTest, FailuresAndDrops)
{
    Build(Integration(3), Yuy2(0, 0).geometry);
    TestFrame in = Yuy2(10, 10), out = Yuy2(1, 2);
    const SampleProperties none;

    EXPECT_EQ(pipeline.Transform(nullptr, out.bytes.data(), in.bytes.size(), input, output), E_POINTER);
    EXPECT_EQ(pipeline.Transform(in.bytes.data(), nullptr, in.bytes.size(), input, output), E_POINTER);
    // A frame shorter than stride x height is dropped, never read past its end.
    EXPECT_EQ(pipeline.Transform(in.bytes.data(), out.bytes.data(), in.bytes.size() - 1, input, output), S_FALSE);
    EXPECT_TRUE(pipeline.DarkLevelPending());

    // After the drift report: every frame fails and none is analysed.
    MeasurementFinished().store(true);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Run(in, out), E_ABORT);
    EXPECT_TRUE(pipeline.DarkLevelPending());
    EXPECT_EQ(out.bytes, Yuy2(1, 2).bytes);
    EXPECT_TRUE(messages.Entries().empty());
    MeasurementFinished().store(false);

    FramePipeline unconnected;
    EXPECT_EQ(unconnected.Transform(in.bytes.data(), out.bytes.data(), in.bytes.size(), none, output), E_UNEXPECTED);
    EXPECT_EQ(unconnected.SetFrameGeometry(MakeFrameGeometry(FrameSubtype::RGB24, 385, 289, 1000)), E_FAIL);
}

TEST_F(FramePipelineTest, EveryBuildStartsTheIntegrationAfreshAndStopReleasesTheBuffer)
{
    Build(Integration(3), Yuy2(0, 0).geometry);
    TestFrame out = Yuy2(0, 0);
    Run(Yuy2(10, 10), out); // dark level
    Run(Yuy2(200, 0), out); // into the buffer
    EXPECT_EQ(pipeline.Levels().yuy2, 10u);

    Build(Integration(3), Yuy2(0, 0).geometry);
    EXPECT_EQ(pipeline.Levels().yuy2, 0u);
    EXPECT_TRUE(pipeline.DarkLevelPending());
    ASSERT_NE(pipeline.IntegrationBuffer(), nullptr);
    const std::uint8_t* b = pipeline.IntegrationBuffer();
    EXPECT_TRUE(std::all_of(b, b + pipeline.IntegrationBufferBytes(), [](std::uint8_t v) { return v == 0; }));
    EXPECT_EQ(Run(Yuy2(20, 20), out), S_FALSE); // a new dark frame, then a new group of three
    EXPECT_EQ(Run(Yuy2(30, 30), out), S_FALSE);
    EXPECT_EQ(Run(Yuy2(30, 30), out), S_FALSE);
    EXPECT_EQ(Run(Yuy2(30, 30), out), S_OK);
    EXPECT_EQ(out.bytes, Yuy2(40, 30).bytes);

    pipeline.ReleaseIntegrationBuffer();
    EXPECT_EQ(pipeline.IntegrationBuffer(), nullptr);
    EXPECT_EQ(pipeline.IntegrationBufferBytes(), 0u);
}

TEST(CopySampleProperties, OutputTakesEverythingIncludingAbsentTimes)
{
    int type = 0;
    SampleProperties in;
    in.hasMediaTime = true;
    in.mediaTimeStart = 7;
    in.mediaTimeEnd = 8;
    in.syncPoint = true;
    in.mediaType = &type;
    in.discontinuity = true;
    in.actualDataLength = 1234;
    SampleProperties out;
    out.hasTime = true; // left from an earlier frame
    out.timeStart = 99;
    out.preroll = true;

    CopySampleProperties(in, out);

    EXPECT_FALSE(out.hasTime);
    EXPECT_TRUE(out.hasMediaTime);
    EXPECT_EQ(out.mediaTimeEnd, 8);
    EXPECT_TRUE(out.syncPoint);
    EXPECT_EQ(out.mediaType, &type);
    EXPECT_FALSE(out.preroll);
    EXPECT_TRUE(out.discontinuity);
    EXPECT_EQ(out.actualDataLength, 1234);
}
