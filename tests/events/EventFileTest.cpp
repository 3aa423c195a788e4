#include "events/EventFile.h"

#include "messages/UserMessageLog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString kGoldenName = QStringLiteral("05_03_2024_21_07_30.ief");

EventFileFields GoldenFields()
{
    return MakeEventFileFields({2024, 5, 0, 3, 21, 7, 30, 0}, {0, 0, 0, 0, 0, 2, 0, 0}, false, true,
                               QStringLiteral("(1234) Vela & TYC 5799-01234-1"));
}

} // namespace

TEST(EventFileTest, WritesTheGoldenFileByteForByteAndReadsItBack)
{
    ScopedProcessDirectory dir;
    ScopedLogAndClock logged{CalendarTime{2024, 5, 0, 1, 12, 0, 0, 0}};
    const QByteArray golden = ReadFileBytes(QStringLiteral(VELA_EVENTS_TEST_DATA "/") + kGoldenName);
    const EventFileFields fields = GoldenFields();
    const std::unique_ptr<EventRecord> record = MakeEventRecord(fields, kFileTimeEpoch);
    ASSERT_TRUE(record);
    EXPECT_EQ(EventFileName(record->EventTime), kGoldenName); // month " 5" in the file, 05 in the name
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("Events")));
    ASSERT_TRUE(WriteEventFile(fields, QStringLiteral("Events/") + kGoldenName));
    EXPECT_EQ(ReadFileBytes(QStringLiteral("Events/") + kGoldenName), golden);
    EventFileFields read;
    EXPECT_TRUE(ReadNamedEvent(logged.Log(), kGoldenName, read));
    EXPECT_EQ(read, fields);
    EXPECT_EQ(logged.Messages(), QString());
}

TEST(EventRecordTest, RefusesMissingOrOutOfRangeNumbersAndDaysTheMonthDoesNotHave)
{
    using F = EventFileFields;
    struct Case {
        QString F::*member;
        const char* value;
        const char* problem; // its start; nullptr when the value is good
        const char* month = "12";
        const char* day = " 3";
    };
    const Case cases[] = {
        {&F::EventMonth, "13", "EventMonth"}, {&F::EventMonth, " 0", "EventMonth"}, {&F::EventMonth, "05", nullptr},
        {&F::EventDay, "32", "EventDay"}, {&F::EventDay, "31", nullptr}, {&F::EventHour, "24", "EventHour"},
        {&F::EventHour, "23", nullptr}, {&F::EventMinute, "60", "EventMinute"}, {&F::EventMinute, "59", nullptr},
        {&F::EventSecond, "60", "EventSecond"}, {&F::EventSecond, "59", nullptr}, {&F::EventYear, "", "EventYear"},
        {&F::EventYear, "1600", "EventYear"}, {&F::EventYear, "20245", "EventYear"}, {&F::EventHour, "1a", "EventHour"},
        {&F::EventHour, "123", "EventHour"}, {&F::EventHour, "-1", "EventHour"}, {&F::DurationHour, "", "DurationHour"},
        {&F::DurationMinute, "x", "DurationMinute"}, {&F::DurationSecond, "99", nullptr},
        {&F::EventYear, "2026", "EventDay", " 2", "29"}, {&F::EventYear, "2028", nullptr, " 2", "29"},
        {&F::EventYear, "2100", "EventDay", " 2", "29"}, {&F::EventDay, "31", "EventDay (\"31\"", " 4"},
        {&F::Hibernate, "true", nullptr}, {&F::Shutdown, "TRUE ", nullptr},
    };
    for (const Case& c : cases) {
        EventFileFields fields = GoldenFields();
        fields.EventMonth = QString::fromLatin1(c.month);
        fields.EventDay = QString::fromLatin1(c.day);
        fields.*c.member = QString::fromLatin1(c.value);
        QString problem;
        const std::unique_ptr<EventRecord> made = MakeEventRecord(fields, kFileTimeEpoch, &problem);
        EXPECT_EQ(made != nullptr, !c.problem) << c.value;
        EXPECT_TRUE(!c.problem || problem.startsWith(QLatin1String(c.problem))) << c.value << problem.toStdString();
        if (made) { // only the exact word TRUE sets a flag
            EXPECT_EQ(std::pair(made->Hibernate, made->ShutDown),
                      std::pair(fields.Hibernate == QLatin1String("TRUE"), fields.Shutdown == QLatin1String("TRUE")));
        }
    }
}

// The window is centred on the Event time; one ending at the very first tick expires there.
TEST(EventWindowTest, WindowIsCentredOnTheEventTimeAndExpiresAtItsEnd)
{
    EventRecord r{{1601, 1, 0, 1, 0, 0, 30, 0}, {0, 0, 0, 0, 0, 1, 0, 0}};
    ASSERT_TRUE(ComputeEventWindow(r, kFileTimeEpoch + 60s - FileTimeSpan(1)));
    EXPECT_EQ(std::pair(r.RecordingStart, r.RecordingEnd), std::pair(kFileTimeEpoch, kFileTimeEpoch + FileTimeSpan(60s)));
    EXPECT_FALSE(r.Expired);
    ASSERT_TRUE(ComputeEventWindow(r, r.RecordingEnd));
    EXPECT_TRUE(r.Expired);
    EventRecord early{{1601, 1, 0, 1, 0, 0, 29, 0}, {0, 0, 0, 0, 0, 1, 0, 0}};
    EXPECT_FALSE(ComputeEventWindow(early, kFileTimeEpoch));
}
