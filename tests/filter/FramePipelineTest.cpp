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
    return {.integrationFrames = frames, .saturationThreshold = 100}; // the threshold is ignored while integrating
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

    const CharacterSetList sets = FontSets();
    const ManualClock clock;
    CapturedMessages messages;
    FramePipeline pipeline{sets, messages, clock};
};

} // namespace

TEST_F(FramePipelineTest, IntegrationDropsAllButTheLastOfEachGroupAndEveryBuildStartsAfresh)
{
    // (luma, status) frames, chroma luma + 1. The first frame gives the dark level; each group
    // delivers its first frame plus the next ones' luma above that level, saturating.
    using Frames = std::vector<std::pair<std::uint8_t, Status>>;
    const Status P = Status::Partial, K = Status::Ok;
    // Frames per group, frames in, (luma, chroma) delivered, the dark level.
    const std::tuple<std::uint32_t, Frames, std::vector<std::pair<std::uint8_t, std::uint8_t>>, std::uint32_t> cases[] = {
        {3, Frames{{10, P}, {50, P}, {25, P}, {90, K}, {30, P}, {250, P}, {9, K}, {40, P}}, {{65, 51}, {255, 31}}, 10},
        {2, Frames{{3, P}, {40, P}, {77, K}, {41, P}, {78, K}}, {{40, 41}, {41, 42}}, 3},
        {3, Frames{{20, P}, {30, P}, {30, P}, {30, K}}, {{40, 31}}, 20},
    };
    for (const auto& [frames, in, delivered, darkLevel] : cases) {
        Build(Integration(frames), Yuy2(0, 0).geometry);
        EXPECT_EQ(std::pair(pipeline.Levels().yuy2, pipeline.LiveSaturationThreshold()), std::pair(0u, -1));
        auto next = delivered.begin();
        for (auto [luma, status] : in) {
            TestFrame out = Yuy2(1, 2);
            ASSERT_EQ(Run(Yuy2(luma, static_cast<std::uint8_t>(luma + 1)), out), status) << frames << " " << int{luma};
            if (status == Status::Ok) {
                EXPECT_EQ(out.bytes, Yuy2(next->first, next->second).bytes);
                ++next;
            }
        }
        EXPECT_EQ(pipeline.Levels().yuy2, darkLevel);
    }
    pipeline.ReleaseIntegrationBuffer();
    EXPECT_EQ(pipeline.IntegrationBufferBytes(), 0u);
}

// RGB24 rows longer than width x 4: the buffer sized from the format must grow to a frame.
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
    for (std::int32_t r = 0; r < dark.geometry.height; ++r)
        for (std::int32_t i = 0; i < RowBytes(dark.geometry); ++i)
            ASSERT_EQ(out.Row(r)[i], std::min(255, first.Row(r)[i] + second.Row(r)[i])) << r << " " << i;
}

TEST_F(FramePipelineTest, PlainCopyMarksWithTheThresholdOfEachFrame)
{
    TestFrame in(FrameSubtype::RGB24, 385, 289, 12), out = in;
    Build({.saturationThreshold = 200}, in.geometry);
    in.Fill(5, 100);
    in.Row(288)[0] = 210;
    ASSERT_EQ(Run(in, out), Status::Ok);
    EXPECT_EQ(out.Row(288)[0], 0xE1) << "the build's threshold";

    // The slider between frames: only the low byte counts; a negative one marks nothing.
    for (const auto& [threshold, shown] : {std::pair{211, 210}, {256 + 200, 0xE1}, {-1, 210}}) {
        pipeline.SetLiveSaturationThreshold(threshold);
        ASSERT_EQ(Run(in, out), Status::Ok);
        EXPECT_EQ(out.Row(288)[0], shown) << threshold;
    }
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
