// Transform must not allocate: this binary's global operator new counts while frames go
// through it. The other allocation functions of the library forward to this one.
#include "common/Clock.h"
#include "filter/FramePipeline.h"
#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

struct CountedMessages final : AnalysisMessages {
    void Report(std::string_view, bool) override { ++count; }
    int count = 0;
};
} // namespace

void* operator new(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

TEST(Transform, AllocatesNothingPerFrameInAnyMode)
{
    g_counting.store(true);
    std::uint8_t* volatile probe = new std::uint8_t[16]; // volatile: the pair is not elided
    g_counting.store(false);
    delete[] probe;
    ASSERT_EQ(g_allocations.load(), 1) << "the counter must see allocations";

    const CharacterSetList sets; // none loaded: the drift mode reports that at each build
    const ManualClock clock;
    CountedMessages messages;
    const std::pair<const char*, RequestedAnalysis> modes[] = {
        {"plain", {}}, {"marking", {.saturationThreshold = 60}}, {"drift", {.driftMinutes = 3}},
        {"integration", {.integrationFrames = 4, .showHistogram = true}}, {"finished", {}}};
    for (const auto& [name, requested] : modes) {
        for (FrameSubtype subtype : kAllSubtypes) {
            SCOPED_TRACE(testing::Message() << name << " " << SubtypeName(subtype));
            TestFrame in(subtype, 720, 576, 4), out = in;
            in.Fill(3);
            FramePipeline pipeline(sets, messages, clock);
            ASSERT_EQ(pipeline.ApplySettings(requested, 720u * 576u * 4u), Status::Ok);
            pipeline.ResetAnalysis(25);
            ASSERT_EQ(pipeline.SetFrameGeometry(in.geometry), Status::Ok);
            if (name == std::string_view("finished"))
                pipeline.MeasurementFinished().Raise();
            messages.count = 0;

            g_allocations.store(0);
            g_counting.store(true);
            for (int i = 0; i < 9; ++i) // the dark level with its histogram, then two groups
                // Only what it allocates counts here; a finished measurement refuses frames.
                static_cast<void>(pipeline.Transform(in.bytes.data(), out.bytes.data(), in.bytes.size()));
            g_counting.store(false);

            EXPECT_EQ(g_allocations.load(), 0);
            EXPECT_EQ(messages.count > 256, requested.showHistogram);
        }
    }
}
