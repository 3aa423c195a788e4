#include "recording/SchedulerHooks.h"

QString RefusedPowerActionNote(const SystemPower* power, bool hibernate, bool shutdown)
{
    if (!power || (!hibernate && !shutdown))
        return {};
    const PowerAction action = hibernate ? PowerAction::Hibernate : PowerAction::Shutdown;
    if (power->CanRun(action))
        return {};
    return QStringLiteral("\r\nNOTE: this Event asks to %1 the computer after recording, which the system does not "
                          "allow (%2); the computer stays on and the next Event is armed at once\r\n")
        .arg(hibernate ? QStringLiteral("hibernate") : QStringLiteral("shut down"), power->WhyNot(action));
}
