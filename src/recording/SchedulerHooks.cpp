#include "recording/SchedulerHooks.h"

namespace {
RecordingUi* g_ui = nullptr;
SchedulerTimers* g_timers = nullptr;
SystemPower* g_power = nullptr;
} // namespace

void SetRecordingUi(RecordingUi* ui)
{
    g_ui = ui;
}

void SetSchedulerTimers(SchedulerTimers* timers)
{
    g_timers = timers;
}

void SetSystemPower(SystemPower* power)
{
    g_power = power;
}

RecordingUi* TheRecordingUi()
{
    return g_ui;
}

SchedulerTimers* TheSchedulerTimers()
{
    return g_timers;
}

SystemPower* TheSystemPower()
{
    return g_power;
}
