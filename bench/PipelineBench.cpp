// Per-frame cost of the frame pipeline, and of the preview's colour conversion, beside
// memcpy of the same frame. Compare within one run: the machine's load moves all figures.
#include "common/Clock.h"
#include "filter/FramePipeline.h"
#include "filter/PreviewPixels.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Format {
    const char* name;
    FrameSubtype subtype;
    std::int32_t width, height;
};
const Format kFormats[] = {{"YUY2", FrameSubtype::YUY2, 720, 576},
                           {"UYVY", FrameSubtype::UYVY, 720, 576},
                           {"RGB24", FrameSubtype::RGB24, 640, 480},
                           {"ARGB32", FrameSubtype::ARGB32, 640, 480}};
constexpr int kUyvy = 1;

// A night sky: dark noise with a few saturated stars in the brightness bytes.
std::vector<std::uint8_t> SkyFrame(const FrameGeometry& g)
{
    std::vector<std::uint8_t> frame(FrameBytes(g));
    std::mt19937 random(42);
    std::normal_distribution<double> noise(22.0, 5.0);
    std::uniform_int_distribution<int> star(0, 999);
    for (auto& b : frame)
        b = static_cast<std::uint8_t>(std::clamp(noise(random), 0.0, 255.0));
    for (std::size_t i = static_cast<std::size_t>(LumaByte(g.subtype)); i < frame.size(); i += 2)
        if (star(random) < 3)
            frame[i] = 255;
    return frame;
}

struct Setup {
    FrameGeometry geometry;
    std::vector<std::uint8_t> src, dst;
    explicit Setup(const benchmark::State& state)
    {
        const Format& f = kFormats[state.range(0)];
        geometry = MakeFrameGeometry(f.subtype, f.width, f.height);
        src = SkyFrame(geometry);
        dst.assign(src.size(), 0);
    }
};

void Label(benchmark::State& state, const Setup& s)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(s.src.size()));
    const Format& f = kFormats[state.range(0)];
    state.SetLabel(std::string(f.name) + " " + std::to_string(f.width) + "x" + std::to_string(f.height));
}

void BM_Memcpy(benchmark::State& state)
{
    Setup s(state);
    for (auto _ : state) {
        std::memcpy(s.dst.data(), s.src.data(), s.src.size());
        benchmark::DoNotOptimize(s.dst.data());
        benchmark::ClobberMemory();
    }
    Label(state, s);
}

void RunTransform(benchmark::State& state, std::int32_t threshold)
{
    Setup s(state);
    struct Silent final : AnalysisMessages {
        void Report(std::string_view, bool) override {}
    } messages;
    const CharacterSetList noSets;
    const SystemClock clock;
    FramePipeline pipeline(noSets, messages, clock);
    RequestedAnalysis requested;
    requested.saturationThreshold = threshold;
    const Status applied = pipeline.ApplySettings(requested, 0);
    pipeline.ResetAnalysis(25);
    if (Failed(applied) || Failed(pipeline.SetFrameGeometry(s.geometry)))
        state.SkipWithError("the pipeline refused its settings");
    for (auto _ : state) {
        benchmark::DoNotOptimize(pipeline.Transform(s.src.data(), s.dst.data(), s.src.size()));
        benchmark::ClobberMemory();
    }
    Label(state, s);
}

void BM_Copy(benchmark::State& state)
{
    RunTransform(state, -1);
}

void BM_CopyAndMark(benchmark::State& state)
{
    RunTransform(state, 200);
}

void BM_IntegrationAdd(benchmark::State& state)
{
    Setup s(state);
    const AddLevels levels = MakeAddLevels(s.geometry.subtype, DarkLevels{22, 22, 22, 22});
    for (auto _ : state) {
        CopyOrIntegrate(s.dst.data(), s.src.data(), s.src.size(), CopyForm::Add, s.geometry, levels);
        benchmark::ClobberMemory();
    }
    Label(state, s);
}

// The other way to analyse UYVY: one conversion to YUY2 (each pair's bytes swapped), then
// the YUY2 kernels on the converted frame.
// Eight bytes a step, which the compiler turns into vector shifts.
void SwapPairBytes(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, std::size_t bytes)
{
    constexpr std::uint64_t kLow = 0x00FF00FF00FF00FFull;
    for (std::size_t i = 0; i + 8 <= bytes; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, src + i, 8);
        w = (w & kLow) << 8 | ((w >> 8) & kLow);
        std::memcpy(dst + i, &w, 8);
    }
}

// Converts into a frame of its own, then runs next (dst, converted, YUY2 geometry) on it.
template <class Next>
void RunConverted(benchmark::State& state, Next next)
{
    Setup s(state);
    FrameGeometry yuy2 = s.geometry;
    yuy2.subtype = FrameSubtype::YUY2;
    std::vector<std::uint8_t> converted(s.src.size());
    for (auto _ : state) {
        SwapPairBytes(converted.data(), s.src.data(), s.src.size());
        next(s.dst.data(), converted.data(), yuy2);
        benchmark::ClobberMemory();
    }
    Label(state, s);
}

void BM_UyvyConverted(benchmark::State& state)
{
    RunConverted(state, [](std::uint8_t*, std::uint8_t*, const FrameGeometry&) {});
}

void BM_UyvyConvertedThenMarked(benchmark::State& state)
{
    const MarkKernel mark = MarkKernelFor(FrameSubtype::YUY2);
    RunConverted(state, [mark](std::uint8_t*, std::uint8_t* converted, const FrameGeometry& g) {
        mark(converted, converted, g, 200); // in place, as it would run
    });
}

void BM_UyvyConvertedThenAdded(benchmark::State& state)
{
    const AddLevels levels = MakeAddLevels(FrameSubtype::YUY2, DarkLevels{22, 22, 22, 22});
    RunConverted(state, [&levels](std::uint8_t* dst, std::uint8_t* converted, const FrameGeometry& g) {
        CopyOrIntegrate(dst, converted, FrameBytes(g), CopyForm::Add, g, levels);
    });
}

// The video window's conversion to 32-bit pixels (twice the bytes written of the memcpy).
void BM_PreviewConversion(benchmark::State& state)
{
    Setup s(state);
    const FrameGeometry& g = s.geometry;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(g.width) * 4 * static_cast<std::size_t>(g.height));
    for (auto _ : state) {
        ConvertPacked422ToRgb32(g.subtype == FrameSubtype::UYVY, s.src.data(), g.stride, rgb.data(), g.width * 4,
                                g.width, g.height, YuvColours{});
        benchmark::ClobberMemory();
    }
    Label(state, s);
}

} // namespace

BENCHMARK(BM_Memcpy)->DenseRange(0, 3);
BENCHMARK(BM_Copy)->DenseRange(0, 3);
BENCHMARK(BM_CopyAndMark)->DenseRange(0, 3);
BENCHMARK(BM_IntegrationAdd)->DenseRange(0, 3);
BENCHMARK(BM_UyvyConverted)->Arg(kUyvy);
BENCHMARK(BM_UyvyConvertedThenMarked)->Arg(kUyvy);
BENCHMARK(BM_UyvyConvertedThenAdded)->Arg(kUyvy);
BENCHMARK(BM_PreviewConversion)->DenseRange(0, 1); // YUY2, UYVY
