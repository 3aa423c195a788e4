#include "events/EventSchedule.h"

#include "events/EventEditing.h"

#include "devices/DeviceTable.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace {

constexpr CalendarTime kNow{2026, 3, 0, 15, 9, 0, 0, 0};

CalendarTime Time(int h, int m, int s)
{
    return {2026, 3, 0, 15, static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(m),
            static_cast<std::uint16_t>(s), 0};
}

UtcTime At(int h, int m, int s)
{
    return *CalendarToUtcTime(Time(h, m, s));
}

constexpr FileTimeSpan kTick(1);

std::unique_ptr<EventRecord> Window(UtcTime start, UtcTime end)
{
    auto r = std::make_unique<EventRecord>();
    r->RecordingStart = start;
    r->RecordingEnd = end;
    return r;
}

using Span = std::pair<UtcTime, UtcTime>;

std::vector<Span> Listed()
{
    std::vector<Span> spans;
    for (const auto& r : TheEventSchedule().Records)
        spans.emplace_back(r->RecordingStart, r->RecordingEnd);
    return spans;
}

// Writes the Event file the Event dialog would write; returns its name.
QString WriteEvent(const CalendarTime& t, int durationMinutes, int durationSeconds = 0)
{
    const QString name = WriteTestEvent(QStringLiteral("Events"), t, 0, durationMinutes, durationSeconds);
    EXPECT_FALSE(name.isEmpty());
    return name;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class EventScheduleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEventSchedule(&m_schedule);
        SetArmNextEventHandler(nullptr);
        Devices() = DeviceTable{};
        Devices().count = 1;
    }
    void TearDown() override
    {
        SetArmNextEventHandler(nullptr);
        SetEventSchedule(nullptr);
        Devices() = DeviceTable{};
    }
    // Installs a hand-over that only counts its calls and what it found.
    void CountHandOvers()
    {
        SetArmNextEventHandler([this] {
            ++m_handOvers;
            m_listedAtHandOver = Listed();
        });
    }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{kNow};
    EventSchedule m_schedule;
    int m_handOvers = 0;
    std::vector<Span> m_listedAtHandOver;
};

} // namespace

TEST_F(EventScheduleTest, TheThirtySecondMarginIsOneSided)
{
    struct Case {
        const char* what;
        Span listed;
        Span offered;
        InsertResult result;
    };
    const Case cases[] = {
        {"begins 20 s after an earlier one ends", {At(10, 0, 0), At(10, 10, 0)}, {At(10, 10, 20), At(10, 20, 20)},
         InsertResult::Overlaps},
        {"begins 30 s after an earlier one ends", {At(10, 0, 0), At(10, 10, 0)}, {At(10, 10, 30), At(10, 20, 30)},
         InsertResult::Accepted},
        {"begins one tick short of 30 s", {At(10, 0, 0), At(10, 10, 0)}, {At(10, 10, 30) - kTick, At(10, 20, 30)},
         InsertResult::Overlaps},
        {"ends exactly when a later one begins", {At(10, 10, 0), At(10, 20, 0)}, {At(10, 0, 0), At(10, 10, 0)},
         InsertResult::Accepted},
        {"ends one tick after a later one begins", {At(10, 10, 0), At(10, 20, 0)}, {At(10, 0, 0), At(10, 10, 0) + kTick},
         InsertResult::Overlaps},
        {"lies inside a listed one", {At(10, 0, 0), At(10, 20, 0)}, {At(10, 5, 0), At(10, 6, 0)},
         InsertResult::Overlaps},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearEventSchedule();
        ASSERT_EQ(InsertIntoSchedule(Window(c.listed.first, c.listed.second)), InsertResult::Accepted);
        EXPECT_EQ(InsertIntoSchedule(Window(c.offered.first, c.offered.second)), c.result);
        const std::size_t expected = c.result == InsertResult::Accepted ? 2 : 1;
        EXPECT_EQ(TheEventSchedule().Records.size(), expected);
    }
}

TEST_F(EventScheduleTest, TooLateOnlyWhenTheWindowHasBegunAndEndsWithinTenSeconds)
{
    using namespace std::chrono_literals;
    const UtcTime now = At(9, 0, 0);
    struct Case {
        const char* what;
        Span window;
        InsertResult result;
    };
    const Case cases[] = {
        {"ends in 9 s", {now - 60s, now + 9s}, InsertResult::TooLate},
        {"ends in 10 s", {now - 60s, now + 10s}, InsertResult::TooLate},
        {"ends in 11 s", {now - 60s, now + 11s}, InsertResult::Accepted},
        {"begins now, ends in 10 s", {now, now + 10s}, InsertResult::TooLate},
        {"ended long ago", {now - 600s, now - 300s}, InsertResult::TooLate},
        {"begins in a tick, lasts 1 s", {now + kTick, now + kTick + 1s}, InsertResult::Accepted},
        {"running", {now - 5min, now + 3min}, InsertResult::Accepted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearEventSchedule();
        EXPECT_EQ(InsertIntoSchedule(Window(c.window.first, c.window.second)), c.result);
        if (c.result == InsertResult::Accepted) {
            ASSERT_EQ(TheEventSchedule().Records.size(), 1u);
            const EventRecord& r = *TheEventSchedule().Records.front();
            EXPECT_EQ(r.RecordingStart, c.window.first);
            EXPECT_EQ(r.RecordingEnd, c.window.second);
        } else {
            EXPECT_TRUE(TheEventSchedule().Records.empty());
        }
    }
}

// The Event dialog refuses by the schedule's own rule what a rebuild would skip, and a
// rebuild names a file of this run that it skips; older expired files stay quiet.
TEST_F(EventScheduleTest, TooLateForTheDialogAsForTheScheduleAndNamedWhenWrittenThisRun)
{
    struct Case {
        const char* what;
        CalendarTime event;
        int durationSeconds;
        const char* reason; // part of it; nullptr when the Event can be recorded
    };
    const Case cases[] = {
        {"over", Time(8, 50, 0), 120, "ended on Mar 15, 2026  08:51:00 UTC"},
        {"a year out", {2025, 3, 0, 15, 10, 0, 0, 0}, 120, "can no longer be recorded"},
        {"ends in 10 s", Time(9, 0, 0), 20, "ends on Mar 15, 2026  09:00:10 UTC, too soon"},
        {"ends in 11 s", Time(9, 0, 0), 22, nullptr},
        {"begins in a second, no length", Time(9, 0, 1), 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString reason =
            TooLateToRecordReason(c.event, {0, 0, 0, 0, 0, 0, static_cast<std::uint16_t>(c.durationSeconds), 0},
                                  UtcTimeNow());
        if (c.reason)
            EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
        else
            EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
    }

    const CalendarTime soon = Time(9, 0, 30);
    ASSERT_EQ(SaveEventFile(MakeEventFileFields(soon, {0, 0, 0, 0, 0, 0, 20, 0}, false, false), soon, QString()),
              EventSaveResult::Saved);
    WriteEvent(Time(8, 0, 0), 10); // from an earlier run
    m_log.Clock().Advance(std::chrono::minutes(1));
    m_log.ClearMessages();
    LoadEventSchedule();
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n09:01:00 (UTC)\nNOTE: the Event 03_15_2026_09_00_30.ief is not "
                                               "scheduled because its recording time is over\n"
                                               "\n09:01:00 (UTC)\nThere are no scheduled Events\n"));
}

TEST_F(EventScheduleTest, KeepsTheLatestFirstWhateverTheOrderOfInsertion)
{
    const std::array<Span, 3> spans{{{At(12, 0, 0), At(12, 5, 0)}, {At(10, 0, 0), At(10, 5, 0)},
                                     {At(11, 0, 0), At(11, 5, 0)}}};
    std::array<int, 3> order{0, 1, 2};
    do {
        ClearEventSchedule();
        for (int i : order)
            ASSERT_EQ(InsertIntoSchedule(Window(spans[i].first, spans[i].second)), InsertResult::Accepted);
        EXPECT_EQ(Listed(), (std::vector<Span>{spans[0], spans[2], spans[1]}));
        const std::unique_ptr<EventRecord> next = TakeNextEvent();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->RecordingStart, At(10, 0, 0)); // the earliest is armed first
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(EventScheduleTest, RebuildListsTheAcceptedEventsAndHandsOver)
{
    CountHandOvers();
    WriteEvent(Time(11, 0, 0), 10);
    WriteEvent(Time(10, 5, 0), 10);
    WriteEvent(Time(10, 15, 20), 10); // begins 20 s after 10:05's window ends
    WriteEvent(Time(8, 0, 0), 10);    // over: dropped without a word
    LoadEventSchedule();

    EXPECT_EQ(m_log.Messages(),
              QStringLiteral("\n09:00:00 (UTC)\nThe following Events are Loaded (scheduled):\n03_15_2026_10_05_00\n"
                             "NOTE: the Event 03_15_2026_10_15_20.ief is ignored because it overlaps (within one "
                             "minute) another Event\n"
                             "\n03_15_2026_11_00_00\n"));
    EXPECT_EQ(m_handOvers, 1);
    EXPECT_EQ(m_listedAtHandOver, (std::vector<Span>{{At(10, 55, 0), At(11, 5, 0)}, {At(10, 0, 0), At(10, 10, 0)}}));

    // A rebuild starts afresh.
    LoadEventSchedule();
    EXPECT_EQ(m_handOvers, 2);
    EXPECT_EQ(m_listedAtHandOver.size(), 2u);
}

TEST_F(EventScheduleTest, FileNameOrderDecidesWhichOverlappingEventSurvives)
{
    // Every pair overlaps; whatever order the file system lists them in, the first name wins.
    for (int minute : {9, 3, 7, 1, 5, 8, 2, 6, 4})
        WriteEvent(Time(10, minute, 0), 10);
    LoadEventSchedule();
    ASSERT_EQ(m_schedule.Records.size(), 0u); // the default hand-over took it out
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("scheduled):\n03_15_2026_10_01_00\nNOTE: the Event "
                                                         "03_15_2026_10_02_00.ief is ignored")));
    EXPECT_EQ(m_log.Messages().count(QStringLiteral("is ignored")), 8);
}

TEST_F(EventScheduleTest, AnEventStoppedByHandDoesNotComeBack)
{
    CountHandOvers();
    WriteEvent(Time(10, 0, 0), 10);
    WriteEvent(Time(11, 0, 0), 10);
    WriteEvent(Time(12, 0, 0), 10);
    AddStoppedEvent(Time(10, 0, 0), {0, 0, 0, 0, 0, 10, 0, 0});
    AddStoppedEvent(Time(11, 0, 0), {0, 0, 0, 0, 0, 10, 1, 0}); // another duration: still scheduled
    AddStoppedEvent(Time(12, 0, 1), {0, 0, 0, 0, 0, 10, 0, 0}); // another time: still scheduled
    LoadEventSchedule();

    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n09:00:00 (UTC)\nThe following Events are Loaded (scheduled):\n"
                                               "03_15_2026_11_00_00\n03_15_2026_12_00_00\n"));
    EXPECT_EQ(m_listedAtHandOver.size(), 2u);
    EXPECT_TRUE(QFile::exists(QStringLiteral("Events/03_15_2026_10_00_00.ief")));
}

TEST_F(EventScheduleTest, AnOverlapNoteIsStampedOnlyBeforeTheFirstAcceptedEvent)
{
    ASSERT_EQ(InsertIntoSchedule(Window(At(10, 0, 0), At(10, 10, 0))), InsertResult::Accepted);
    const QString note = QStringLiteral(
        "NOTE: the Event 03_15_2026_10_05_00.ief is ignored because it overlaps (within one minute) another Event\n");

    ScheduleListing listing;
    OfferToSchedule(QStringLiteral("03_15_2026_10_05_00.ief"), Window(At(10, 0, 0), At(10, 10, 0)), listing);
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n09:00:00 (UTC)\n") + note);

    OfferToSchedule(QStringLiteral("03_15_2026_12_05_00.ief"), Window(At(12, 0, 0), At(12, 10, 0)), listing);
    OfferToSchedule(QStringLiteral("03_15_2026_10_05_00.ief"), Window(At(10, 0, 0), At(10, 10, 0)), listing);
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n09:00:00 (UTC)\n") + note
                                    + QStringLiteral("\n09:00:00 (UTC)\nThe following Events are Loaded "
                                                     "(scheduled):\n03_15_2026_12_05_00\n")
                                    + note);
}

TEST_F(EventScheduleTest, ABadEventFileIsNamedInEveryRebuildAndKept)
{
    CountHandOvers();
    const QString good = WriteEvent(Time(10, 0, 0), 10);
    const QString bad = QStringLiteral("Events/13_15_2026_10_00_00.ief");
    WriteFile(bad, ReadFileBytes(QStringLiteral("Events/") + good)
                       .replace("<EventMonth Value=\" 3\"/>", "<EventMonth Value=\"13\"/>"));
    WriteFile(QStringLiteral("Events/00_garbage.ief"), "not an Event");

    for (int rebuild = 1; rebuild <= 2; ++rebuild) {
        m_log.Clock().Advance(std::chrono::seconds(1));
        m_log.ClearMessages();
        LoadEventSchedule();
        const QString stamp = QStringLiteral("\n09:00:0%1 (UTC)\n").arg(rebuild);
        EXPECT_EQ(m_log.Messages(),
                  stamp + QStringLiteral("NOTE: the Event 00_garbage.ief is not scheduled because it cannot be read "
                                         "as an Event file\n")
                      + stamp + QStringLiteral("The following Events are Loaded (scheduled):\n03_15_2026_10_00_00")
                      + stamp + QStringLiteral("NOTE: the Event 13_15_2026_10_00_00.ief is not scheduled because it "
                                               "holds no valid EventMonth (\"13\")\n\n"));
        EXPECT_EQ(m_handOvers, rebuild);
    }
    EXPECT_TRUE(QFile::exists(bad));
    EXPECT_TRUE(QFile::exists(QStringLiteral("Events/00_garbage.ief")));
}

// Without a capture device a rebuild leaves the schedule alone; without Event files it
// says so and hands nothing over.
TEST_F(EventScheduleTest, NothingToScheduleHandsNothingOver)
{
    CountHandOvers();
    ASSERT_EQ(InsertIntoSchedule(Window(At(10, 0, 0), At(10, 10, 0))), InsertResult::Accepted);
    Devices().count = 0;
    LoadEventSchedule(); // no folder either
    EXPECT_EQ(Listed(), (std::vector<Span>{{At(10, 0, 0), At(10, 10, 0)}}));
    EXPECT_EQ(m_log.Messages(), QString());

    Devices().count = 1;
    const QString noEvents = QStringLiteral("\n09:00:00 (UTC)\nThere are no scheduled Events\n");
    LoadEventSchedule(); // no folder
    EXPECT_TRUE(m_schedule.Records.empty());
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Events/folder.ief")));
    WriteFile(QStringLiteral("Events/notes.txt"), {});
    LoadEventSchedule(); // nothing that is an Event file
    EXPECT_EQ(m_log.Messages(), noEvents + noEvents);
    EXPECT_EQ(m_handOvers, 0);
}
