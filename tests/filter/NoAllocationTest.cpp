// Transform must not allocate: the global allocation functions of this test binary
// count while a frame is transformed.
#include "filter/FramePipeline.h"

#include "filter/AnalysisFlags.h"
#include "filter/AnalysisMessages.h"
#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

void* Allocate(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    const auto a = static_cast<std::size_t>(alignment);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t a)
{
    if (void* p = AllocateAligned(size, a))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t a)
{
    return operator new(size, a);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

namespace {

std::atomic<int> g_messages{0};
void CountMessage(std::string_view, bool)
{
    g_messages.fetch_add(1, std::memory_order_relaxed);
}

// Allocations made while `frames` frames go through Transform.
int AllocationsOver(FramePipeline& pipeline, const TestFrame& in, TestFrame& out, int frames)
{
    SampleProperties input, output;
    input.actualDataLength = static_cast<std::int32_t>(in.bytes.size());
    g_allocations.store(0);
    g_counting.store(true);
    for (int i = 0; i < frames; ++i)
        pipeline.Transform(in.bytes.data(), out.bytes.data(), in.bytes.size(), input, output);
    pipeline.Transform(nullptr, out.bytes.data(), in.bytes.size(), input, output);
    g_counting.store(false);
    return g_allocations.load();
}

} // namespace

TEST(Transform, AllocatesNothingPerFrameInAnyMode)
{
    SetAnalysisMessageSink(&CountMessage);
    struct Mode {
        const char* what;
        RequestedAnalysis requested;
        bool finished;
    };
    RequestedAnalysis plain, marking, drift, integration;
    marking.saturationThreshold = 60;
    drift.driftMinutes = 3;
    integration.integrationFrames = 4;
    integration.showHistogram = true; // 258 histogram lines on the first frame
    const Mode modes[] = {{"plain copy", plain, false},   {"marking", marking, false},
                          {"drift", drift, false},        {"integration", integration, false},
                          {"finished measurement", plain, true}};
    for (const Mode& m : modes) {
        for (FrameSubtype subtype : kAllSubtypes) {
            SCOPED_TRACE(testing::Message() << m.what << " " << SubtypeName(subtype));
            TestFrame in(subtype, 385, 289, 4), out(subtype, 385, 289, 4);
            in.FillPicture(3u);
            FramePipeline pipeline;
            const std::size_t accumulator = m.requested.integrationFrames > 1 ? 385u * 289u * 4u : 0u;
            ASSERT_EQ(pipeline.ApplySettings(m.requested, accumulator), S_OK);
            pipeline.ResetAnalysis(30);
            ASSERT_EQ(pipeline.SetFrameGeometry(in.geometry), S_OK);
            MeasurementFinished().store(m.finished);
            LiveSaturationThreshold().store(m.requested.saturationThreshold);
            g_messages.store(0);

            EXPECT_EQ(AllocationsOver(pipeline, in, out, 9), 0);
            if (m.requested.integrationFrames > 1) {
                EXPECT_GT(g_messages.load(), 256); // the histogram really was written
            }
            MeasurementFinished().store(false);
        }
    }
    LiveSaturationThreshold().store(-1);
    SetAnalysisMessageSink(nullptr);
}

// The counter itself works: otherwise the test above proves nothing.
TEST(Transform, AllocationCounterSeesAllocations)
{
    g_allocations.store(0);
    g_counting.store(true);
    std::uint8_t* volatile p = new std::uint8_t[16]; // volatile: the pair is not elided
    g_counting.store(false);
    delete[] p;
    EXPECT_EQ(g_allocations.load(), 1);
}
