#include "recording/Scheduler.h"

SchedulerState& TheSchedulerState()
{
    static SchedulerState state;
    return state;
}

// The scheduler lands next; until then nothing is armed.
void ComposeEventInfo(const CalendarTime&, const CalendarTime&) {}
QString CountdownTextFor(std::int64_t) { return {}; }
void ArmNextEvent() {}
void ArmCountdown() {}
void DisarmEvent() {}
void SchedulerTick() {}
void StartButtonPressed() {}
void StopButtonPressed() {}
void EnterRecordingUi() {}
void EnterIdleUi() {}
