#pragma once

#include <atomic>

// Wakes the program's main loop from another thread.
using LoopWaker = void (*)();

// Raised on the streaming thread when a clock-drift measurement has finished; the main
// loop takes it, switches the measurement off and rebuilds the graph. Raising wakes the
// loop, so it sees the flag even when no other event arrives.
class MeasurementFinishedFlag {
public:
    explicit MeasurementFinishedFlag(LoopWaker waker = nullptr) : m_waker(waker) {}

    void Raise();
    bool IsRaised() const { return m_raised.load(std::memory_order_acquire); }
    // Clears the flag; true when it was raised.
    bool Take() { return m_raised.exchange(false, std::memory_order_acq_rel); }

private:
    std::atomic<bool> m_raised{false};
    LoopWaker m_waker;
};
