#include "recording/SchedulerHooks.h"

namespace {
RecordingUi* g_ui = nullptr;
SchedulerTimers* g_timers = nullptr;
SystemPower* g_power = nullptr;
} // namespace

QString RefusedPowerActionNote(bool hibernate, bool shutdown)
{
    const SystemPower* power = TheSystemPower();
    if (!power || (!hibernate && !shutdown))
        return {};
    const PowerAction action = hibernate ? PowerAction::Hibernate : PowerAction::Shutdown;
    if (power->CanRun(action))
        return {};
    return QStringLiteral("\r\nNOTE: this Event asks to %1 the computer after recording, which the system does not "
                          "allow (%2); the computer stays on and the next Event is armed at once\r\n")
        .arg(hibernate ? QStringLiteral("hibernate") : QStringLiteral("shut down"), power->WhyNot(action));
}

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
