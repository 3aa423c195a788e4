#include "app/TimeZoneCheck.h"

#include "common/Clock.h"
#include "messages/UserMessageLog.h"

#include <QLocale>

namespace {

QString ZoneName(const QTimeZone& zone, QTimeZone::TimeType type, const QDateTime& at)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QString name = zone.displayName(type, QTimeZone::LongName, english);
    if (name.isEmpty())
        name = zone.abbreviation(at);
    if (name.isEmpty())
        name = QString::fromUtf8(zone.id());
    return name;
}

// A zone that once kept daylight time but keeps none now (Tokyo, Moscow, Kolkata) has no
// transitions that matter: only the year around the moment counts.
bool ObservesDaylightTimeAround(const QTimeZone& zone, const QDateTime& utcNow)
{
    if (!zone.hasDaylightTime())
        return false;
    if (zone.isDaylightTime(utcNow))
        return true;
    const auto transitions = zone.transitions(utcNow.addDays(-366), utcNow.addDays(366));
    for (const QTimeZone::OffsetData& t : transitions)
        if (t.daylightTimeOffset != 0)
            return true;
    return false;
}

} // namespace

TimeZoneCheck EvaluateTimeZone(const QTimeZone& zone, const QDateTime& utcNow)
{
    TimeZoneCheck c;
    if (!zone.isValid()) {
        c.line = QStringLiteral("Computer time zone is unknown.  You may only use local time and not use UTC time\r\n");
        return c;
    }
    if (!ObservesDaylightTimeAround(zone, utcNow)) {
        c.result = TimeZoneResult::NoTransitions;
        c.line = QStringLiteral("Computer local time is ") + ZoneName(zone, QTimeZone::StandardTime, utcNow)
            + QStringLiteral(" because transition dates to daylight savings are unknown.\r\n");
        return c;
    }
    const bool inDaylight = zone.isDaylightTime(utcNow);
    c.result = inDaylight ? TimeZoneResult::DaylightTime : TimeZoneResult::StandardTime;
    c.line = QStringLiteral("Computer local time is ")
        + ZoneName(zone, inDaylight ? QTimeZone::DaylightTime : QTimeZone::StandardTime, utcNow) + QStringLiteral("\r\n");
    return c;
}

void CheckTimeZone(const Clock& clock, UserMessageLog& log)
{
    const CalendarTime t = clock.UtcNow();
    const QDateTime utcNow(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), QTimeZone::utc());
    log.Append(EvaluateTimeZone(QTimeZone::systemTimeZone(), utcNow).line, true);
}
