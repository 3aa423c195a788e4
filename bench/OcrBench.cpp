// ReadVtiTime on a rendered frame beside memcpy of the same frame.
#include "filter/GlyphFont.h"
#include "filter/VtiOcr.h"
#include "filter/VtiOverlay.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

struct Frame {
    Frame(int width, int height)
        : geometry(MakeFrameGeometry(FrameSubtype::YUY2, width, height)),
          bytes(static_cast<std::size_t>(geometry.stride) * static_cast<std::size_t>(height), 64)
    {
        DrawVtiTime(bytes.data(), geometry, {}, {23, 58, 47, 8642, 8809}, FieldPhase::Odd);
    }
    FrameGeometry geometry;
    std::vector<std::uint8_t> bytes;
};

CharacterSetList& Sets()
{
    static CharacterSetList sets = [] {
        CharacterSetList list;
        list.sets.push_back(FontCharacterSet(FieldPhase::Even));
        list.sets.push_back(FontCharacterSet(FieldPhase::Odd));
        return list;
    }();
    return sets;
}

struct Silent final : AnalysisMessages {
    void Report(std::string_view, bool) override {}
};

void ReadVtiTimeBench(benchmark::State& state)
{
    const Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Silent messages;
    VtiOcr ocr(Sets(), messages);
    ocr.Reset({2026, 12, 0, 6, 0, 0, 0, 0});
    for (auto _ : state) {
        ocr.CountFrame();
        benchmark::DoNotOptimize(ocr.ReadVtiTime(frame.bytes.data(), frame.geometry));
    }
    if (ocr.VtiTime().hour != 23)
        state.SkipWithError("the rendered time was not read");
}

void MemcpyBench(benchmark::State& state)
{
    const Frame src(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<std::uint8_t> dst(src.bytes.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.bytes.data(), dst.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(dst.size()));
}

} // namespace

BENCHMARK(ReadVtiTimeBench)->Args({720, 576})->Args({640, 480});
BENCHMARK(MemcpyBench)->Args({720, 576})->Args({640, 480});
BENCHMARK_MAIN();
