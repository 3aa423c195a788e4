#include "events/EventSchedule.h"

#include "events/EventEditing.h"

#include "messages/UserMessageLog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

CalendarTime Time(int h, int m, int s)
{
    return Calendar(2026, 3, 15, h, m, s);
}

UtcTime At(int h, int m, int s)
{
    return *CalendarToUtcTime(Time(h, m, s));
}

constexpr FileTimeSpan kTick(1);
using Span = std::pair<UtcTime, UtcTime>;

QString WriteEvent(const CalendarTime& t, int durationMinutes, int durationSeconds = 0)
{
    const QString name = WriteTestEvent(QStringLiteral("Events"), t, 0, durationMinutes, durationSeconds);
    EXPECT_FALSE(name.isEmpty());
    return name;
}

class EventScheduleTest : public ::testing::Test {
protected:
    UtcTime Now() { return UtcTimeNow(m_log.Clock()); }
    InsertResult Insert(const Span& span)
    {
        auto r = std::make_unique<EventRecord>();
        std::tie(r->RecordingStart, r->RecordingEnd) = span;
        return m_schedule.InsertIntoSchedule(std::move(r), Now());
    }
    bool Load() { return m_schedule.LoadEventSchedule(m_log.Log(), Now()); }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{Time(9, 0, 0)};
    EventSchedule m_schedule;
};

} // namespace

// Another Event must end 30 s before one begins, not after it; too late means the window
// has begun and ends within ten seconds.
TEST_F(EventScheduleTest, TheThirtySecondMarginIsOneSidedAndTooLateNeedsABegunWindow)
{
    const UtcTime now = At(9, 0, 0);
    const Span ten{At(10, 0, 0), At(10, 10, 0)}, later{At(10, 10, 0), At(10, 20, 0)}, none{};
    const std::tuple<Span, Span, InsertResult> cases[] = {
        {ten, {At(10, 10, 20), At(10, 20, 20)}, InsertResult::Overlaps},
        {ten, {At(10, 10, 30), At(10, 20, 30)}, InsertResult::Accepted},
        {ten, {At(10, 10, 30) - kTick, At(10, 20, 30)}, InsertResult::Overlaps},
        {later, ten, InsertResult::Accepted},
        {later, {At(10, 0, 0), At(10, 10, 0) + kTick}, InsertResult::Overlaps},
        {{At(10, 0, 0), At(10, 20, 0)}, {At(10, 5, 0), At(10, 6, 0)}, InsertResult::Overlaps},
        {none, {now - 60s, now + 10s}, InsertResult::TooLate},
        {none, {now - 60s, now + 11s}, InsertResult::Accepted},
        {none, {now, now + 10s}, InsertResult::TooLate},
        {none, {now - 600s, now - 300s}, InsertResult::TooLate},
        {none, {now + kTick, now + kTick + 1s}, InsertResult::Accepted},
    };
    for (const auto& [listed, offered, result] : cases) {
        m_schedule.Records.clear();
        ASSERT_TRUE(listed == none || Insert(listed) == InsertResult::Accepted);
        EXPECT_EQ(Insert(offered), result) << (offered.first - now).count();
    }
}

// The Event dialog refuses by the schedule's own rule what a rebuild would skip, and a
// rebuild names a file of this run that it skips; older expired files stay quiet.
TEST_F(EventScheduleTest, TooLateForTheDialogAsForTheScheduleAndNamedWhenWrittenThisRun)
{
    const std::tuple<CalendarTime, std::uint16_t, const char*> cases[] = {
        {Time(8, 50, 0), 120, "ended on Mar 15, 2026  08:51:00 UTC"},
        {Time(9, 0, 0), 20, "ends on Mar 15, 2026  09:00:10 UTC, too soon"},
        {Time(9, 0, 0), 22, ""}, {Time(9, 0, 1), 0, ""}};
    for (const auto& [event, seconds, reason] : cases) {
        const QString why = TooLateToRecordReason(event, {0, 0, 0, 0, 0, 0, seconds, 0}, Now());
        EXPECT_EQ(why.isEmpty(), !*reason) << why.toStdString();
        EXPECT_TRUE(why.contains(QLatin1String(reason))) << why.toStdString();
    }

    m_schedule.AddWrittenEventFile(WriteEvent(Time(9, 0, 30), 0, 20));
    WriteEvent(Time(8, 0, 0), 10); // from an earlier run
    m_log.Clock().Advance(1min);
    EXPECT_TRUE(Load());
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n09:01:00 (UTC)\nNOTE: the Event 03_15_2026_09_00_30.ief is not "
                                               "scheduled because its recording time is over\n"));
}

// A rebuild starts afresh; an Event stopped by hand does not come back, unless its time or
// duration differ.
TEST_F(EventScheduleTest, RebuildListsTheAcceptedEventsButNoneStoppedByHand)
{
    for (int h : {11, 8, 12, 13})
        WriteEvent(Time(h, 0, 0), 10);
    WriteEvent(Time(10, 5, 0), 10);
    WriteEvent(Time(10, 15, 20), 10); // begins 20 s after 10:05's window ends
    m_schedule.AddStoppedEvent(Time(12, 0, 0), {0, 0, 0, 0, 0, 10, 0, 0});
    m_schedule.AddStoppedEvent(Time(11, 0, 0), {0, 0, 0, 0, 0, 10, 1, 0});
    m_schedule.AddStoppedEvent(Time(13, 0, 1), {0, 0, 0, 0, 0, 10, 0, 0});
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        m_log.ClearMessages();
        EXPECT_TRUE(Load());
        EXPECT_EQ(m_log.Messages(),
                  QStringLiteral("\n09:00:00 (UTC)\nThe following Events are Loaded (scheduled):\n03_15_2026_10_05_00\n"
                                 "NOTE: the Event 03_15_2026_10_15_20.ief is ignored because its recording overlaps "
                                 "another Event's or starts less than 30 seconds after it ends\n\n03_15_2026_11_00_00\n"
                                 "03_15_2026_13_00_00\n"));
        std::vector<UtcTime> starts;
        for (const auto& r : m_schedule.Records)
            starts.push_back(r->RecordingStart);
        EXPECT_EQ(starts, (std::vector{At(12, 55, 0), At(10, 55, 0), At(10, 0, 0)}));
    }
    EXPECT_EQ(m_schedule.TakeNextEvent()->RecordingStart, At(10, 0, 0)); // the latest first, the earliest armed
    EXPECT_EQ(m_schedule.Records.size(), 2u);
}

TEST_F(EventScheduleTest, ABadEventFileIsNamedInEveryRebuildAndKept)
{
    WriteEvent(Time(10, 0, 0), 10);
    EventFileFields bad = MakeEventFileFields(Time(10, 0, 0), {}, false, false);
    bad.EventMonth = QStringLiteral("13");
    const QString badPath = QStringLiteral("Events/13_15_2026_10_00_00.ief");
    ASSERT_TRUE(WriteEventFile(bad, badPath));
    ASSERT_TRUE(QFile(QStringLiteral("Events/00_garbage.ief")).open(QIODevice::WriteOnly)); // empty: no document
    for (int rebuild = 1; rebuild <= 2; ++rebuild) {
        m_log.Clock().Advance(1s);
        m_log.ClearMessages();
        EXPECT_TRUE(Load());
        const QString stamp = QStringLiteral("\n09:00:0%1 (UTC)\n").arg(rebuild);
        EXPECT_EQ(m_log.Messages(),
                  stamp + QStringLiteral("NOTE: the Event 00_garbage.ief is not scheduled because it cannot be read "
                                         "as an Event file\n")
                      + stamp + QStringLiteral("The following Events are Loaded (scheduled):\n03_15_2026_10_00_00")
                      + stamp + QStringLiteral("NOTE: the Event 13_15_2026_10_00_00.ief is not scheduled because it "
                                               "holds no valid EventMonth (\"13\")\n\n"));
    }
    EXPECT_TRUE(QFile::exists(badPath));

    // Without Event files (a folder is no file) a rebuild says so, stamped.
    QDir(QStringLiteral("Events")).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Events/folder.ief")));
    m_log.ClearMessages();
    EXPECT_FALSE(Load());
    EXPECT_TRUE(m_schedule.Records.empty());
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n09:00:02 (UTC)\nThere are no scheduled Events\n"));
}
