#pragma once

#include "common/CalendarTime.h"

// The one source of "now". Everything that reads the time asks the Clock, so tests
// set the time instead of sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarTime UtcNow() const = 0;
    virtual CalendarTime LocalNow() const = 0;
};

// The computer's clock.
class SystemClock final : public Clock {
public:
    CalendarTime UtcNow() const override;
    CalendarTime LocalNow() const override;
};

// A clock that stands still until told otherwise; local time is UTC minus the bias
// (minutes to add to local time to obtain UTC).
class ManualClock final : public Clock {
public:
    explicit ManualClock(const CalendarTime& utc = {2026, 1, 4, 1, 0, 0, 0, 0}, int biasMinutes = 0);
    CalendarTime UtcNow() const override;
    CalendarTime LocalNow() const override;
    void SetUtc(const CalendarTime& utc);
    void Advance(FileTimeSpan span);
    void SetBiasMinutes(int biasMinutes) { m_biasMinutes = biasMinutes; }

private:
    FileTimeTicks m_utcTicks = 0;
    int m_biasMinutes = 0;
};

// The process-wide clock: the system clock unless a test installed another.
const Clock& AppClock();
// Installs a clock (nullptr restores the system clock). The clock must outlive its use.
void SetAppClock(const Clock* clock);
// UTC now, from AppClock().
UtcTime UtcTimeNow();
FileTimeTicks UtcNowTicks();
