#include "filter/AnalysisFlags.h"

namespace {
std::atomic<bool> g_measurementFinished{false};
std::atomic<LoopWaker> g_waker{nullptr};
std::atomic<int> g_saturationThreshold{-1};
} // namespace

std::atomic<bool>& MeasurementFinished()
{
    return g_measurementFinished;
}

void RaiseMeasurementFinished()
{
    g_measurementFinished.store(true, std::memory_order_release);
    if (LoopWaker w = g_waker.load(std::memory_order_acquire))
        w();
}

void SetMeasurementFinishedWaker(LoopWaker waker)
{
    g_waker.store(waker, std::memory_order_release);
}

std::atomic<int>& LiveSaturationThreshold()
{
    return g_saturationThreshold;
}
