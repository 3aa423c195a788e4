// The scheduler driven tick by tick with a standing clock: no real waiting.
#include "recording/Scheduler.h"

#include "devices/DeviceTable.h"
#include "events/EventSchedule.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"
#include "recording/RecordingControl.h"
#include "recording/RecordingLog.h"
#include "recording/SchedulerHooks.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <functional>
#include <utility>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

struct FakeGraph final : GraphControl {
    Status BuildGraph(const QString* fileName, bool) override
    {
        previewing = !fileName;
        return fileName && failRecordings-- > 0 ? Status::Aborted : Status::Ok;
    }
    Status StopGraph() override { return Status::Ok; }
    Status SetBrightnessContrast(int, int) override { return Status::Ok; }
    bool previewing = false;
    int failRecordings = 0; // recording builds still to fail
};

struct FakeHooks final : RecordingUi, SchedulerTimers, SystemPower {
    void SetMainTitle(const QString&) override {}
    void SetCountdownTitle(const QString&) override {}
    void ShowCountdown() override {}
    void HideCountdown() override {}
    void RepaintCountdownPane() override {}
    void SetRecordingControls(bool r) override { recordingControls = r; }
    void SetMenusForRecording(bool r) override { menusForRecording = r; }
    void CloseBrightnessContrastForRecording() override {}
    bool AskStopEventRecording() override
    {
        ++questions;
        if (whileAsking)
            whileAsking();
        return answerYes;
    }
    void StartCountdownTimer() override { countdown = true; }
    void KillCountdownTimer() override { countdown = false; }
    void StartStartAlarm(milliseconds delay) override { alarm = delay; }
    void KillStartAlarm() override { alarm = {}; }
    void StartEventRecordingTimer(milliseconds period) override { recordingPeriod = period; }
    void KillEventRecordingTimer() override { recordingPeriod = {}; }
    void HoldKeepAwake(bool hold) override { held = hold; }
    void KeepAwakeOnce() override { ++requests; }
    void RunPowerAction(bool h, bool s) override { actions.push_back({h, s}); }

    std::function<void()> whileAsking; // what the event loop runs while the question is open
    bool recordingControls = false, menusForRecording = false, answerYes = true, countdown = false, held = false;
    int questions = 0, requests = 0;
    milliseconds alarm{}, recordingPeriod{};
    std::vector<std::pair<bool, bool>> actions;
};

// UTC on the test's day, 15 March 2026.
CalendarTime At(int h, int mi, int s)
{
    return Calendar(2026, 3, 15, h, mi, s);
}

class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest()
    {
        devices.count = 1; // a camera is attached
        scheduler.SetRecordingUi(&hooks);
        scheduler.SetSchedulerTimers(&hooks);
        scheduler.SetSystemPower(&hooks);
    }
    void Load(const CalendarTime& t, int dm, int ds, bool hibernate = false, const CalendarTime& next = At(3, 10, 0))
    {
        ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), t, 0, dm, ds, hibernate).isEmpty());
        ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), next, 0, 1, 0).isEmpty());
        scheduler.LoadEventSchedule();
    }
    // Ticks once a second, or when the start alarm is due, until the recording starts;
    // returns the ticks it took.
    int TickUntilRecording(int limit)
    {
        for (int i = 1; i <= limit; ++i) {
            const auto alarm = std::exchange(hooks.alarm, milliseconds{});
            m_log.Clock().Advance(alarm.count() > 0 ? FileTimeSpan(alarm) : FileTimeSpan(1s));
            scheduler.SchedulerTick();
            if (app.EventRecordingActive)
                return i;
        }
        return -1;
    }
    QString Log() const { return m_log.Messages(); }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{At(3, 0, 0)};
    AppOptions options;
    DeviceTable devices;
    EventSchedule schedule;
    SchedulerState state;
    AppState app;
    FakeGraph graph;
    FakeHooks hooks;
    RecordingControl recording{app, options, m_log.Log(), m_log.Clock(), &graph};
    Scheduler scheduler{state, app, schedule, options, devices, recording, m_log.Log(), m_log.Clock()};
};

} // namespace

TEST(CountdownText, DaysHoursAndTheTrailingSpace)
{
    const FileTimeSpan day = std::chrono::days(1);
    const std::pair<FileTimeSpan, const char*> cases[] = {
        {day + 2h, "> 1 day "}, {2 * day + 1h, "> 2 days"}, {100 * day, "> 100 days"},
        {99 * day + 1s, "> 99 days"}, {23h + 59min + 59s, "23:59:59"},
        {day, "00:00:00"}, // exactly a day: hours modulo 24
        {500ms, "00:00:00"}};
    for (const auto& [left, text] : cases)
        EXPECT_EQ(CountdownTextFor(left), QLatin1String(text)) << left.count();
}

TEST_F(SchedulerTest, EventInfoForTheExamples)
{
    scheduler.ComposeEventInfo({2027, 1, 0, 1, 0, 0, 30, 0}, {0, 0, 0, 0, 1, 0, 1, 0});
    EXPECT_EQ(state.EventInfoText + state.EndTimeText, QStringLiteral("Start time:  DEC 31, 2026  23:30:29\r\n"
                                                                      "Event time:  JAN 1, 2027  00:00:30\r\n"
                                                                      "Recording duration:  1 hour  1 second\r\n"
                                                                      "You have not created or selected a capture file\r\n"
                                                                      "End time:    JAN 1, 2027  00:30:30\r\n"));
    EXPECT_EQ(app.EventDuration, 1h + 1s);
    EXPECT_TRUE(Log().contains(QStringLiteral("(UTC)\nStart time:  DEC 31, 2026"))) << "logged with its time";
}

// The countdown ends half a second before the recording start; a dialog closed meanwhile
// rebuilds the schedule only when the recording ends, after which the power action runs.
TEST_F(SchedulerTest, AnArmedEventRecordsOnTimeAndTheNextIsArmed)
{
    devices.count = 0; // without a camera nothing is armed
    Load(At(3, 0, 20), 0, 10, true); // records 03:00:15 to 03:00:25
    EXPECT_FALSE(app.EventArmed);
    devices.count = 1;
    scheduler.LoadEventSchedule();
    ASSERT_TRUE(app.EventArmed);
    EXPECT_TRUE(hooks.held); // no sleep while armed
    EXPECT_TRUE(Log().contains(QStringLiteral("NOTE: computer will be placed in hibernate 30 seconds after recording ends")));
    scheduler.SchedulerTick();
    EXPECT_EQ(state.CountdownText, QStringLiteral("00:00:14"));
    EXPECT_EQ(hooks.requests, 1); // the first countdown tick keeps the system awake
    m_log.Clock().Advance(14s);
    scheduler.SchedulerTick();
    EXPECT_FALSE(app.EventRecordingActive); // 03:00:14.000 < 03:00:14.500
    EXPECT_EQ(hooks.alarm, 500ms);
    m_log.Clock().Advance(500ms);
    scheduler.SchedulerTick();
    ASSERT_TRUE(app.EventRecordingActive);
    EXPECT_FALSE(hooks.countdown);
    EXPECT_EQ(hooks.recordingPeriod, 10s + 450ms);

    ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), At(3, 5, 0), 0, 1, 0).isEmpty());
    scheduler.ReloadScheduleWhenIdle();
    EXPECT_FALSE(app.EventArmed);
    m_log.Clock().Advance(hooks.recordingPeriod);
    scheduler.SchedulerTick();
    EXPECT_FALSE(app.EventRecordingActive);
    EXPECT_TRUE(graph.previewing);
    EXPECT_EQ(hooks.actions, (std::vector<std::pair<bool, bool>>{{true, false}}));
    EXPECT_EQ(state.ArmedEventTime, At(3, 5, 0));
    app.PowerActionPending = app.EventRecordingActive = true;
    scheduler.SchedulerTick(); // while the power countdown shows, ticks do nothing
    EXPECT_TRUE(app.EventRecordingActive);
}

// A zero-second Event still records, for its half-second lead-in; the countdown may show UTC.
// One armed after its recording began records only the time left.
TEST_F(SchedulerTest, AZeroSecondEventRecords)
{
    options.ShowEventTimeAsUtc = true;
    ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), At(3, 0, 5), 0, 0, 0).isEmpty());
    scheduler.LoadEventSchedule();
    m_log.Clock().Advance(3s);
    scheduler.SchedulerTick();
    EXPECT_EQ(state.CountdownText, QStringLiteral("03:00:03")); // the UTC display
    EXPECT_EQ(TickUntilRecording(10), 2); // 03:00:05 >= 03:00:04.5
    EXPECT_EQ(hooks.recordingPeriod, 450ms);
    scheduler.SchedulerTick();
    EXPECT_FALSE(app.EventRecordingActive);
    EXPECT_TRUE(Log().endsWith(QStringLiteral("(UTC)\nThere are no scheduled Events\n")));
    EXPECT_FALSE(hooks.countdown || hooks.held);

    // Armed after its recording began (a restart mid-Event): only the time left is recorded.
    QDir(QStringLiteral("Events")).removeRecursively();
    Load(At(3, 1, 0), 2, 0); // 03:00:00 .. 03:02:00
    EXPECT_EQ(TickUntilRecording(3), 1); // 03:00:05.5
    EXPECT_EQ(hooks.recordingPeriod, 114500ms - 500ms + 450ms);
    EXPECT_EQ(app.EventDuration, 114500ms);
}

TEST_F(SchedulerTest, AFailedStartIsRetriedOnceThenLoggedAndTheNextEventArmed)
{
    Load(At(3, 0, 10), 0, 20, false, At(3, 5, 0)); // 03:00:00 .. 03:00:20
    const QString file = app.RecordingFileName;
    graph.failRecordings = 2;
    scheduler.SchedulerTick(); // the window has begun: the start fails
    EXPECT_EQ(hooks.alarm, 1000ms);
    EXPECT_TRUE(graph.previewing); // the preview meanwhile
    m_log.Clock().Advance(1s);
    scheduler.SchedulerTick(); // the retry fails too
    EXPECT_FALSE(app.EventRecordingActive);
    EXPECT_TRUE(Log().contains(QStringLiteral(
        "\n03:00:01 (UTC)\n\nERROR -- The recording of the Event at 03:00:10 (UTC) could not start")));
    EXPECT_TRUE(ReadFileBytes(RecordingLogFileName(file)).startsWith("Recording could not start at 03:00:01 (UTC)\r\n"));
    EXPECT_EQ(state.ArmedEventTime, At(3, 5, 0));

    // One failure: the retry records what is left of the Event (until 03:05:30).
    graph.failRecordings = 1;
    m_log.Clock().SetUtc(At(3, 4, 55));
    scheduler.SchedulerTick();
    m_log.Clock().Advance(1s);
    scheduler.SchedulerTick();
    ASSERT_TRUE(app.EventRecordingActive);
    EXPECT_EQ(hooks.recordingPeriod, 34000ms - 500ms + 450ms);
}

// No to the question goes on; Yes stops without the power action, and a reload does not
// bring the stopped Event back. The answer acts on what is true when it is given.
TEST_F(SchedulerTest, StopButtonAsksDuringAnEventRecording)
{
    Load(At(3, 0, 5), 1, 0, true);
    ASSERT_EQ(TickUntilRecording(2), 1); // the window began at 02:59:35
    hooks.answerYes = false;
    scheduler.StopButtonPressed();
    EXPECT_TRUE(app.EventRecordingActive);
    hooks.answerYes = true;
    scheduler.StopButtonPressed();
    EXPECT_EQ(hooks.questions, 2);
    EXPECT_FALSE(app.EventRecordingActive);
    EXPECT_EQ(hooks.recordingPeriod, 0ms);
    EXPECT_TRUE(Log().contains(QStringLiteral("\n03:00:01 (UTC)\nEvent recording is manually stopped")));
    EXPECT_TRUE(hooks.actions.empty());
    EXPECT_TRUE(app.EventArmed); // the later Event; a reload does not bring back the stopped one
    scheduler.DisarmEvent();
    scheduler.LoadEventSchedule();
    EXPECT_EQ(state.ArmedEventTime, At(3, 10, 0));

    QDir(QStringLiteral("Events")).removeRecursively();
    Load(At(3, 0, 20), 0, 10);
    ASSERT_GT(TickUntilRecording(20), 0);
    hooks.whileAsking = [this] { scheduler.SchedulerTick(); }; // the recording ends meanwhile
    scheduler.StopButtonPressed();
    EXPECT_EQ(state.ArmedEventTime, At(3, 10, 0));
    EXPECT_FALSE(Log().contains(QStringLiteral("\n03:00:25 (UTC)\nEvent recording is manually stopped")));
    EXPECT_TRUE(Log().contains(QStringLiteral("(UTC)\nNOTE: that Event recording had already ended")));
    EXPECT_TRUE(graph.previewing);
    EXPECT_EQ(schedule.ManuallyStoppedEvents.size(), 1u);
}

TEST_F(SchedulerTest, StartPreemptsAnArmedEventAndStopArmsItAgain)
{
    Load(At(4, 0, 0), 5, 0);
    scheduler.StartButtonPressed();
    EXPECT_TRUE(app.RecordingActive && hooks.menusForRecording);
    scheduler.ReloadScheduleWhenIdle(); // a dialog closed during the manual recording waits for its end
    EXPECT_FALSE(app.EventArmed);
    scheduler.StopButtonPressed();
    EXPECT_EQ(hooks.questions, 0); // a manual recording stops without a question
    EXPECT_TRUE(app.EventArmed);
    graph.failRecordings = 1; // one that cannot start goes back to the preview and arms the Event again
    scheduler.StartButtonPressed();
    EXPECT_FALSE(app.RecordingActive || hooks.recordingControls || hooks.menusForRecording);
    EXPECT_TRUE(graph.previewing && app.EventArmed);
    EXPECT_TRUE(Log().contains(QStringLiteral("\n03:00:00 (UTC)\n\nERROR -- The recording could not start; nothing was "
                                              "recorded.  The reason is given above.\n")));
}

// Event files copied in while the program runs: the rebuild waits for the recording's end,
// a file too late to record is named, and an Event rearmed within a second of its start
// gets its start alarm rather than a tick that comes too late.
TEST_F(SchedulerTest, EventFilesChangedRebuildAfterTheRecordingAndArmOnTime)
{
    Load(At(3, 0, 5), 0, 4); // records 03:00:03 to 03:00:07
    ASSERT_GT(TickUntilRecording(10), 0);
    const QString dropped = WriteTestEvent(QStringLiteral("Events"), At(3, 1, 0), 0, 0, 4);
    scheduler.EventFilesChanged({dropped});
    EXPECT_TRUE(app.EventRecordingActive && app.ScheduleReloadPending);
    EXPECT_FALSE(Log().contains(dropped.chopped(4)));
    m_log.Clock().Advance(hooks.recordingPeriod);
    scheduler.SchedulerTick(); // the recording ends; the rebuild lists the new file
    EXPECT_TRUE(Log().contains(dropped.chopped(4)));
    EXPECT_EQ(state.ArmedEventTime, At(3, 1, 0));

    const QString late = WriteTestEvent(QStringLiteral("Events"), At(2, 0, 0), 0, 0, 4);
    m_log.Clock().SetUtc(At(3, 0, 57));
    scheduler.EventFilesChanged({late});
    EXPECT_TRUE(Log().contains(QStringLiteral("NOTE: the Event %1 is not scheduled because its recording time is over").arg(late)));
    EXPECT_EQ(hooks.alarm, 500ms); // 03:00:57.000 to 03:00:57.500
}
