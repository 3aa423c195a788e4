#pragma once

#include <atomic>

// Shared between the streaming thread and the UI thread; single values written whole.

// Set by the frame analysis when a clock-drift measurement has finished; the main loop
// clears it, switches the measurement off and rebuilds the graph.
std::atomic<bool>& MeasurementFinished();

// Raises MeasurementFinished and wakes the main loop (through the waker the program
// installed), so the loop sees it even when no other event arrives.
void RaiseMeasurementFinished();
using LoopWaker = void (*)();
void SetMeasurementFinishedWaker(LoopWaker waker);

// The saturation threshold the running filter marks with: -1 off, else 50..255.
std::atomic<int>& LiveSaturationThreshold();
