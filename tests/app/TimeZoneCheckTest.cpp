#include "app/TimeZoneCheck.h"
#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "recording/AppState.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <ctime>

namespace {
QDateTime Utc(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(12, 0), QTimeZone::utc());
}
} // namespace

TEST(TimeZoneCheck, DaylightAndStandardTimeGiveTheirBiasAndName)
{
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    const TimeZoneCheck summer = EvaluateTimeZone(berlin, Utc(2026, 7, 1));
    EXPECT_EQ(summer.result, TimeZoneResult::DaylightTime);
    EXPECT_EQ(summer.biasMinutes, -120);
    EXPECT_TRUE(summer.line.startsWith(QStringLiteral("Computer local time is ")));
    EXPECT_TRUE(summer.line.endsWith(QStringLiteral("\r\n")));
    EXPECT_FALSE(summer.line.contains(QStringLiteral("because")));

    const TimeZoneCheck winter = EvaluateTimeZone(berlin, Utc(2026, 12, 6));
    EXPECT_EQ(winter.result, TimeZoneResult::StandardTime);
    EXPECT_EQ(winter.biasMinutes, -60);
    EXPECT_NE(winter.line, summer.line); // the daylight and standard names differ

    const TimeZoneCheck newYork = EvaluateTimeZone(QTimeZone("America/New_York"), Utc(2026, 12, 6));
    EXPECT_EQ(newYork.biasMinutes, 300);
}

TEST(TimeZoneCheck, ZoneWithoutTransitionsAndUnknownZone)
{
    const TimeZoneCheck tokyo = EvaluateTimeZone(QTimeZone("Asia/Tokyo"), Utc(2026, 7, 1));
    EXPECT_EQ(tokyo.result, TimeZoneResult::NoTransitions);
    EXPECT_EQ(tokyo.biasMinutes, -540);
    EXPECT_TRUE(tokyo.line.endsWith(QStringLiteral(" because transition dates to daylight savings are unknown.\r\n")));

    const TimeZoneCheck unknown = EvaluateTimeZone(QTimeZone(), Utc(2026, 7, 1));
    EXPECT_EQ(unknown.result, TimeZoneResult::Failure);
    EXPECT_EQ(unknown.line,
              QStringLiteral("Computer time zone is unknown.  You may only use local time and not use UTC time\r\n"));
}

TEST(TimeZoneCheck, SystemZoneFollowsTz)
{
    const char* old = std::getenv("TZ");
    const QByteArray saved = old ? QByteArray(old) : QByteArray();
    ManualClock clock(CalendarTime{2026, 7, 3, 1, 12, 0, 0, 0});
    SetAppClock(&clock);
    UserMessageLog::Instance().SetEchoToStderr(false);

    for (const auto& [tz, bias] : {std::pair{"America/New_York", 240}, std::pair{"Asia/Kolkata", -330}}) {
        setenv("TZ", tz, 1);
        tzset();
        TheAppState().TimeZoneBiasMinutes = 0;
        CheckTimeZone();
        EXPECT_EQ(TheAppState().TimeZoneBiasMinutes, bias) << tz;
    }
    EXPECT_TRUE(UserMessageLog::Instance().Text().contains(QStringLiteral("\n12:00:00 (UTC)\nComputer local time is ")));

    if (old)
        setenv("TZ", saved.constData(), 1);
    else
        unsetenv("TZ");
    tzset();
    SetAppClock(nullptr);
    UserMessageLog::Instance().SetEchoToStderr(true);
}
