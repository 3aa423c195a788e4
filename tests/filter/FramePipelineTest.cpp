#include "filter/FramePipeline.h"

#include "FilterTestSupport.h"
#include "common/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// YUY2 frames whose luma is one value and chroma another.
TestFrame Yuy2(std::uint8_t luma, std::uint8_t chroma)
{
    TestFrame f(FrameSubtype::YUY2, 64, 6);
    f.FillUnits({luma, chroma, luma, chroma});
    return f;
}

RequestedAnalysis Integration(std::uint32_t frames)
{
    RequestedAnalysis r;
    r.integrationFrames = frames;
    r.saturationThreshold = 100; // ignored while integrating
    return r;
}

class FramePipelineTest : public testing::Test {
protected:
    // A graph build in the graph builder's order.
    void Build(const RequestedAnalysis& requested, const FrameGeometry& g)
    {
        const auto pixels = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
        ASSERT_EQ(pipeline.ApplySettings(requested, requested.integrationFrames > 1 ? pixels * 4 : 0), Status::Ok);
        pipeline.ResetAnalysis(0);
        ASSERT_EQ(pipeline.SetFrameGeometry(g), Status::Ok);
    }

    Status Run(const TestFrame& in, TestFrame& out)
    {
        return pipeline.Transform(in.bytes.data(), out.bytes.data(), in.bytes.size());
    }

    // Runs (luma, expected status) frames; a delivered frame must hold `delivered`.
    void Sequence(std::initializer_list<std::pair<std::uint8_t, Status>> frames,
                  std::initializer_list<TestFrame> delivered)
    {
        auto next = delivered.begin();
        int frame = 0;
        for (auto [luma, status] : frames) {
            SCOPED_TRACE(testing::Message() << "frame " << frame++);
            TestFrame out = Yuy2(1, 2);
            ASSERT_EQ(Run(Yuy2(luma, static_cast<std::uint8_t>(luma + 1)), out), status);
            if (status == Status::Ok) {
                EXPECT_EQ(out.bytes, next++->bytes);
            }
        }
    }

    const CharacterSetList sets = FontSets();
    const ManualClock clock;
    CapturedMessages messages;
    FramePipeline pipeline{sets, messages, clock};
};

} // namespace

TEST_F(FramePipelineTest, IntegrationOfThreeDropsTwoAndDeliversTheSum)
{
    Build(Integration(3), Yuy2(0, 0).geometry);
    EXPECT_EQ(pipeline.LiveSaturationThreshold(), -1);
    // Dark level 10; each group: the first frame as it is plus the second's luma above 10;
    // the third only delivers. 50 + 15 = 65; 30 + 240 saturates.
    Sequence({{10, Status::Partial}, {50, Status::Partial}, {25, Status::Partial}, {90, Status::Ok}, {30, Status::Partial}, {250, Status::Partial}, {9, Status::Ok},
              {40, Status::Partial}},
             {Yuy2(65, 51), Yuy2(255, 31)});
    EXPECT_EQ(pipeline.Levels().yuy2, 10u);
}

TEST_F(FramePipelineTest, IntegrationOfTwoDeliversEachFirstFrameRaw)
{
    Build(Integration(2), Yuy2(0, 0).geometry);
    Sequence({{3, Status::Partial}, {40, Status::Partial}, {77, Status::Ok}, {41, Status::Partial}, {78, Status::Ok}}, {Yuy2(40, 41), Yuy2(41, 42)});
}

TEST_F(FramePipelineTest, EveryBuildStartsAfreshAndStopReleasesTheBuffer)
{
    Build(Integration(3), Yuy2(0, 0).geometry);
    Sequence({{10, Status::Partial}, {200, Status::Partial}}, {});
    Build(Integration(3), Yuy2(0, 0).geometry);
    EXPECT_EQ(pipeline.Levels().yuy2, 0u);
    EXPECT_TRUE(pipeline.DarkLevelPending());
    Sequence({{20, Status::Partial}, {30, Status::Partial}, {30, Status::Partial}, {30, Status::Ok}}, {Yuy2(40, 31)});
    pipeline.ReleaseIntegrationBuffer();
    EXPECT_EQ(pipeline.IntegrationBufferBytes(), 0u);
}

// RGB24 with rows longer than width x 4: the buffer sized from the format must grow to a
// whole frame.
TEST_F(FramePipelineTest, PaddedFramesIntegrateWhole)
{
    TestFrame dark(FrameSubtype::RGB24, 385, 289, 400);
    dark.Fill(3, 0);
    Build(Integration(3), dark.geometry);
    ASSERT_GE(pipeline.IntegrationBufferBytes(), dark.bytes.size());
    TestFrame first = dark, second = dark, out = dark;
    first.Fill(21, 200);
    second.Fill(22, 200);
    for (const TestFrame* f : {&dark, &first, &second})
        EXPECT_EQ(Run(*f, out), Status::Partial);
    ASSERT_EQ(Run(dark, out), Status::Ok);
    const std::int32_t h = dark.geometry.height;
    for (std::int32_t r = 0; r < h; ++r)
        for (std::int32_t i = 0; i < RowBytes(dark.geometry); ++i)
            ASSERT_EQ(out.Row(r)[i], std::min(255, first.Row(r)[i] + second.Row(r)[i])) << r << " " << i;
}

TEST_F(FramePipelineTest, PlainCopyMarksWithTheThresholdOfEachFrame)
{
    RequestedAnalysis requested;
    requested.saturationThreshold = 200;
    TestFrame in(FrameSubtype::RGB24, 385, 289, 12), out = in;
    Build(requested, in.geometry);
    in.Fill(5, 100);
    in.Row(288)[0] = 210;
    ASSERT_EQ(Run(in, out), Status::Ok);
    EXPECT_EQ(out.Row(288)[0], 0xE1);
    EXPECT_EQ(out.Row(288)[1], 0);

    // The dialog's slider, between frames: only the low byte counts, and a negative
    // threshold marks nothing.
    for (const auto& [threshold, shown] : {std::pair{211, 210}, {256 + 200, 0xE1}, {-1, 210}}) {
        pipeline.SetLiveSaturationThreshold(threshold);
        ASSERT_EQ(Run(in, out), Status::Ok);
        EXPECT_EQ(out.Row(288)[0], shown) << threshold;
    }
}

TEST_F(FramePipelineTest, DriftMeasurementIgnoresIntegrationAndThreshold)
{
    RequestedAnalysis requested = Integration(5);
    requested.driftMinutes = 3;
    TestFrame in(FrameSubtype::YUY2, 720, 576), out = in;
    in.Fill(4, 255);
    Build(requested, in.geometry);
    // The format reported no frame rate: 30.
    EXPECT_EQ(std::tuple(pipeline.Settings().integrationFrames, pipeline.IntegrationBufferBytes(), pipeline.LiveSaturationThreshold(),
                         pipeline.Settings().framesPerSecond), std::tuple(1u, std::size_t{0}, -1, 30u));

    pipeline.SetLiveSaturationThreshold(100); // the slider moved while the clock is measured
    EXPECT_EQ(Run(in, out), Status::Ok);        // delivered, not dropped for integration
    EXPECT_EQ(out.bytes, in.bytes);       // and not marked
}

TEST_F(FramePipelineTest, FailuresAndDrops)
{
    Build(Integration(3), Yuy2(0, 0).geometry);
    messages.entries.clear(); // what the build said; the frames below must add nothing
    TestFrame in = Yuy2(10, 10), out = Yuy2(1, 2);
    const std::size_t len = in.bytes.size();
    // Shorter than stride x height: dropped, never read past its end.
    EXPECT_EQ(std::tuple(pipeline.Transform(nullptr, out.bytes.data(), len), pipeline.Transform(in.bytes.data(), nullptr, len),
                         pipeline.Transform(in.bytes.data(), out.bytes.data(), len - 1)),
              std::tuple(Status::NullPointer, Status::NullPointer, Status::Partial));
    EXPECT_TRUE(pipeline.DarkLevelPending());

    // After the drift report every frame fails and none is analysed.
    pipeline.MeasurementFinished().Raise();
    EXPECT_EQ(std::pair(Run(in, out), Run(in, out)), std::pair(Status::Aborted, Status::Aborted));
    EXPECT_TRUE(pipeline.DarkLevelPending());
    EXPECT_EQ(out.bytes, Yuy2(1, 2).bytes);
    EXPECT_TRUE(messages.entries.empty()) << messages.entries.front().text;

    FramePipeline unconnected(sets, messages, clock);
    EXPECT_EQ(unconnected.Transform(in.bytes.data(), out.bytes.data(), len), Status::Unexpected);
    EXPECT_EQ(unconnected.SetFrameGeometry(MakeFrameGeometry(FrameSubtype::RGB24, 385, 289, 1000)), Status::Failed);
}
