#pragma once

#include "common/CalendarTime.h"

// The one source of "now". Everything that reads the time asks the Clock, so tests
// set the time instead of sleeping. Only UTC is asked for: the schedule counts down in
// it, and local time is only shown, by the toolkit.
class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarTime UtcNow() const = 0;
};

// The computer's clock.
class SystemClock final : public Clock {
public:
    CalendarTime UtcNow() const override;
};

// A clock that stands still until told otherwise.
class ManualClock final : public Clock {
public:
    explicit ManualClock(const CalendarTime& utc = {2026, 1, 4, 1, 0, 0, 0, 0});
    CalendarTime UtcNow() const override;
    void SetUtc(const CalendarTime& utc);
    void Advance(FileTimeSpan span);

private:
    FileTimeTicks m_utcTicks = 0;
};

// UTC now from the given clock.
UtcTime UtcTimeNow(const Clock& clock);
FileTimeTicks UtcNowTicks(const Clock& clock);

