// The scheduler driven tick by tick with a standing clock: no real waiting.
#include "devices/DeviceTable.h"
#include "events/EventSchedule.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"
#include "recording/RecordingControl.h"
#include "recording/RecordingLog.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerHooks.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <functional>
#include <utility>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

struct FakeGraph final : GraphControl {
    Status BuildGraph(const QString* fileName, bool) override
    {
        builds.push_back(fileName ? *fileName : QString());
        return fileName && failRecordings-- > 0 ? Status::Aborted : Status::Ok;
    }
    Status StopGraph() override { return Status::Ok; }
    Status SetBrightnessContrast(int, int) override { return Status::Ok; }
    bool Previewing() const { return !builds.empty() && builds.back().isEmpty(); }
    std::vector<QString> builds; // empty name: a preview build
    int failRecordings = 0;      // recording builds still to fail
};

struct FakeUi final : RecordingUi {
    void SetMainTitle(const QString& t) override { mainTitle = t; }
    void SetCountdownTitle(const QString& t) override { countdownTitle = t; }
    void ShowCountdown() override { countdownShown = true; }
    void HideCountdown() override { countdownShown = false; }
    void RepaintCountdownPane() override {}
    void SetRecordingControls(bool r) override { recordingControls = r; }
    void SetMenusForRecording(bool r) override { menusGrey = r; }
    void CloseBrightnessContrastForRecording() override {}
    bool AskStopEventRecording() override
    {
        ++questions;
        if (whileAsking)
            whileAsking();
        return answerYes;
    }
    std::function<void()> whileAsking; // what the event loop runs while the question is open
    QString mainTitle, countdownTitle;
    bool countdownShown = false, recordingControls = false, menusGrey = false, answerYes = true;
    int questions = 0;
};

struct FakeTimers final : SchedulerTimers {
    void StartCountdownTimer() override { countdown = true; }
    void KillCountdownTimer() override { countdown = false; }
    void StartStartAlarm(std::chrono::milliseconds delay) override { alarm = delay; }
    void KillStartAlarm() override { alarm = {}; }
    void StartEventRecordingTimer(std::chrono::milliseconds period) override { recordingPeriod = period; }
    void KillEventRecordingTimer() override { recordingPeriod = {}; }
    bool countdown = false;
    std::chrono::milliseconds alarm{};
    std::chrono::milliseconds recordingPeriod{};
};

struct FakePower final : SystemPower {
    void HoldKeepAwake(bool hold) override { held = hold; }
    void KeepAwakeOnce() override { ++requests; }
    void RunPowerAction(bool h, bool s) override { actions.push_back({h, s}); }
    bool held = false;
    int requests = 0;
    std::vector<std::pair<bool, bool>> actions;
};

// UTC on the test's day, 15 March 2026.
CalendarTime At(int h, int mi, int s)
{
    return {2026, 3, 0, 15, static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(mi), static_cast<std::uint16_t>(s), 0};
}

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TheAppState() = AppState{};
        TheSchedulerState() = SchedulerState{};
        Options() = AppOptions{};
        Devices() = DeviceTable{};
        Devices().count = 1; // a camera is attached
        ClearEventSchedule();
        TheEventSchedule().ManuallyStoppedEvents.clear();
        SetTheGraph(&graph);
        SetRecordingUi(&ui);
        SetSchedulerTimers(&timers);
        SetSystemPower(&power);
        SetArmNextEventHandler(&ArmNextEvent);
    }
    void TearDown() override
    {
        SetTheGraph(nullptr);
        SetRecordingUi(nullptr);
        SetSchedulerTimers(nullptr);
        SetSystemPower(nullptr);
        SetArmNextEventHandler(nullptr);
        Devices() = DeviceTable{};
    }

    static void AddEvent(const CalendarTime& t, int dh, int dm, int ds, bool hibernate = false)
    {
        ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), t, dh, dm, ds, hibernate).isEmpty());
    }
    // Ticks once a second, or when the start alarm is due, until the recording starts;
    // returns the ticks it took.
    int TickUntilRecording(int limit)
    {
        for (int i = 1; i <= limit; ++i) {
            const auto alarm = std::exchange(timers.alarm, std::chrono::milliseconds{});
            m_log.Clock().Advance(alarm.count() > 0 ? FileTimeSpan(alarm) : FileTimeSpan(1s));
            SchedulerTick();
            if (TheAppState().EventRecordingActive)
                return i;
        }
        return -1;
    }
    QString Log() const { return m_log.Messages(); }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{At(3, 0, 0)};
    FakeGraph graph;
    FakeUi ui;
    FakeTimers timers;
    FakePower power;
};

} // namespace

TEST(CountdownText, DaysHoursAndTheTrailingSpace)
{
    const FileTimeSpan day = std::chrono::days(1);
    const std::pair<FileTimeSpan, const char*> cases[] = {
        {day + 2h, "> 1 day "}, {2 * day + 1h, "> 2 days"}, {150 * day, "> 100 days"},
        {99 * day + 1s, "> 99 days"}, {23h + 59min + 59s, "23:59:59"},
        {day, "00:00:00"}, // exactly a day: hours modulo 24
        {500ms, "00:00:00"}};
    for (const auto& [left, text] : cases)
        EXPECT_EQ(CountdownTextFor(left), QLatin1String(text)) << left.count();
}

TEST_F(SchedulerTest, EventInfoForTheExamples)
{
    TheAppState().RecordingFileName = QStringLiteral("VideoFiles/x.avi");
    ComposeEventInfo(At(3, 5, 5), {0, 0, 0, 0, 0, 2, 0, 0});
    const SchedulerState& s = TheSchedulerState();
    EXPECT_EQ(s.EventInfoText, QStringLiteral("Start time:  MAR 15, 2026  03:04:05\r\n"
                                              "Event time:  MAR 15, 2026  03:05:05\r\n"
                                              "Recording duration:  2 minutes  "));
    EXPECT_EQ(s.EndTimeText, QStringLiteral("End time:    MAR 15, 2026  03:06:05\r\n"));
    EXPECT_EQ(TheAppState().EventDuration, 2min);

    TheAppState().RecordingFileName.clear();
    ComposeEventInfo({2027, 1, 0, 1, 0, 0, 30, 0}, {0, 0, 0, 0, 1, 0, 1, 0});
    EXPECT_EQ(s.EventInfoText, QStringLiteral("Start time:  DEC 31, 2026  23:30:29\r\n"
                                              "Event time:  JAN 1, 2027  00:00:30\r\n"
                                              "Recording duration:  1 hour  1 second\r\n"
                                              "You have not created or selected a capture file\r\n"));
    EXPECT_EQ(TheAppState().EventDuration, 1h + 1s);
}

TEST_F(SchedulerTest, AnArmedEventRecordsOnTimeAndTheNextIsArmed)
{
    AddEvent(At(3, 0, 20), 0, 0, 10); // records 03:00:15 to 03:00:25
    AddEvent(At(3, 10, 0), 0, 2, 0);
    LoadEventSchedule();
    ASSERT_TRUE(TheAppState().EventArmed);
    EXPECT_TRUE(timers.countdown);
    EXPECT_TRUE(ui.countdownShown);
    EXPECT_TRUE(power.held); // no sleep while armed
    EXPECT_EQ(ui.mainTitle, QStringLiteral("VELA Video App -- Event pending"));
    EXPECT_TRUE(Log().contains(QStringLiteral("Video file:  ")));

    // The countdown ends half a second before the recording start: 14.5 s ahead.
    SchedulerTick();
    EXPECT_EQ(TheSchedulerState().CountdownText, QStringLiteral("00:00:14"));
    EXPECT_EQ(power.requests, 1);
    m_log.Clock().Advance(14s);
    SchedulerTick();
    EXPECT_FALSE(TheAppState().EventRecordingActive); // 03:00:14.000 < 03:00:14.500
    EXPECT_EQ(timers.alarm, std::chrono::milliseconds(500)); // the next tick would be half a second late
    m_log.Clock().Advance(500ms);
    SchedulerTick();
    ASSERT_TRUE(TheAppState().EventRecordingActive);
    EXPECT_FALSE(timers.countdown);
    EXPECT_EQ(timers.recordingPeriod, 10s + 450ms);
    EXPECT_FALSE(graph.Previewing());
    EXPECT_TRUE(ui.menusGrey);
    EXPECT_EQ(ui.countdownTitle, QStringLiteral("Recording Event"));

    // A dialog closed during the recording asks for a rebuild: it waits for the end.
    AddEvent(At(3, 5, 0), 0, 1, 0);
    ReloadScheduleWhenIdle();
    EXPECT_FALSE(TheAppState().EventArmed);

    // The duration timer ends it; preview again, then the schedule is rebuilt and armed.
    m_log.Clock().Advance(timers.recordingPeriod);
    SchedulerTick();
    EXPECT_FALSE(TheAppState().EventRecordingActive);
    EXPECT_TRUE(graph.Previewing());
    EXPECT_FALSE(ui.menusGrey);
    EXPECT_TRUE(power.actions.empty());
    EXPECT_TRUE(TheAppState().EventArmed);
    EXPECT_FALSE(TheAppState().ScheduleReloadPending);
    EXPECT_EQ(TheSchedulerState().ArmedEventTime, At(3, 5, 0));
}

TEST_F(SchedulerTest, ZeroSecondAndAlreadyRunningEvents)
{
    Options().ShowEventTimeAsUtc = true;
    AddEvent(At(3, 0, 5), 0, 0, 0);
    LoadEventSchedule();
    EXPECT_EQ(TheAppState().EventDuration, 0ms);
    m_log.Clock().Advance(3s);
    SchedulerTick();
    EXPECT_EQ(TheSchedulerState().CountdownText, QStringLiteral("03:00:03")); // the UTC display
    EXPECT_EQ(TickUntilRecording(10), 2); // 03:00:05 >= 03:00:04.5
    EXPECT_EQ(timers.recordingPeriod, 450ms);
    SchedulerTick();
    EXPECT_FALSE(TheAppState().EventRecordingActive);
    EXPECT_TRUE(Log().endsWith(QStringLiteral("There are no scheduled Events\n")));
    EXPECT_FALSE(TheAppState().EventArmed);
    EXPECT_FALSE(timers.countdown);
    EXPECT_FALSE(power.held);

    // Armed after its recording began: it starts at the first tick and records the time
    // left, so it ends when the Event ends instead of running into the next one.
    QDir(QStringLiteral("Events")).removeRecursively();
    AddEvent(At(3, 1, 0), 0, 2, 0); // 03:00:00 .. 03:02:00
    LoadEventSchedule();
    EXPECT_EQ(TickUntilRecording(3), 1); // 03:00:05.5
    EXPECT_EQ(timers.recordingPeriod, 114500ms - 500ms + 450ms);
    EXPECT_EQ(TheAppState().EventDuration, 114500ms);
}

TEST_F(SchedulerTest, AFailedStartIsRetriedOnceThenLoggedAndTheNextEventArmed)
{
    AddEvent(At(3, 0, 10), 0, 0, 20); // 03:00:00 .. 03:00:20
    AddEvent(At(3, 5, 0), 0, 0, 20);
    LoadEventSchedule();
    const QString file = TheAppState().RecordingFileName;
    graph.failRecordings = 2;
    SchedulerTick(); // the window has begun: the start fails
    EXPECT_FALSE(TheAppState().EventRecordingActive);
    EXPECT_TRUE(TheAppState().EventArmed);
    EXPECT_EQ(timers.alarm, std::chrono::milliseconds(1000));
    EXPECT_FALSE(ui.recordingControls);
    EXPECT_TRUE(graph.Previewing()); // the preview meanwhile
    m_log.Clock().Advance(1s);
    SchedulerTick(); // the retry fails too
    EXPECT_FALSE(TheAppState().EventRecordingActive);
    EXPECT_TRUE(Log().contains(QStringLiteral(
        "\n03:00:01 (UTC)\n\nERROR -- The recording of the Event at 03:00:10 (UTC) could not start")));
    EXPECT_TRUE(ReadFileBytes(RecordingLogFileName(file)).startsWith("Recording could not start at 03:00:01 (UTC)\r\n"));
    EXPECT_TRUE(TheAppState().EventArmed);
    EXPECT_EQ(TheSchedulerState().ArmedEventTime, At(3, 5, 0));
    EXPECT_FALSE(TheAppState().RecordingFileName.isEmpty());

    // One failure: the retry records what is left of the Event.
    graph.failRecordings = 1;
    m_log.Clock().SetUtc(At(3, 4, 55));
    SchedulerTick();
    m_log.Clock().Advance(1s);
    SchedulerTick();
    ASSERT_TRUE(TheAppState().EventRecordingActive);
    EXPECT_EQ(timers.recordingPeriod, 14000ms - 500ms + 450ms); // ends at 03:05:10 like the Event

    // A manual recording that cannot start goes back to the preview.
    SchedulerTick();
    graph.failRecordings = 1;
    StartButtonPressed();
    EXPECT_FALSE(TheAppState().RecordingActive);
    EXPECT_FALSE(ui.recordingControls);
    EXPECT_TRUE(graph.Previewing());
    EXPECT_TRUE(Log().endsWith(QStringLiteral("\n03:04:56 (UTC)\n\nERROR -- The recording could not start; nothing was "
                                              "recorded.  The reason is given above.\n"))); // and no reload
}

TEST_F(SchedulerTest, StopButtonAsksDuringAnEventRecording)
{
    AddEvent(At(3, 0, 5), 0, 1, 0, true);
    AddEvent(At(3, 10, 0), 0, 1, 0);
    LoadEventSchedule();
    ASSERT_EQ(TickUntilRecording(2), 1); // the window began at 02:59:35
    ui.answerYes = false;
    StopButtonPressed();
    EXPECT_EQ(ui.questions, 1);
    EXPECT_TRUE(TheAppState().EventRecordingActive); // No: it goes on
    EXPECT_NE(timers.recordingPeriod, 0ms);

    ui.answerYes = true;
    StopButtonPressed();
    EXPECT_FALSE(TheAppState().EventRecordingActive);
    EXPECT_EQ(timers.recordingPeriod, 0ms);
    EXPECT_TRUE(Log().contains(QStringLiteral("\n03:00:01 (UTC)\nEvent recording is manually stopped")));
    EXPECT_TRUE(power.actions.empty()); // no hibernation after a hand-stopped Event
    // The later Event is armed; a reload does not bring back the one stopped by hand.
    EXPECT_TRUE(TheAppState().EventArmed);
    EXPECT_EQ(TheSchedulerState().ArmedEventTime, At(3, 10, 0));
    DisarmEvent();
    LoadEventSchedule();
    EXPECT_EQ(TheSchedulerState().ArmedEventTime, At(3, 10, 0));
}

TEST_F(SchedulerTest, TheStopQuestionActsOnWhatIsTrueWhenAnswered)
{
    AddEvent(At(3, 0, 20), 0, 0, 10);
    AddEvent(At(3, 10, 0), 0, 1, 0);
    LoadEventSchedule();
    ASSERT_GT(TickUntilRecording(20), 0);
    // The duration timer ends the recording and arms the next Event while the box is open.
    ui.whileAsking = [] { SchedulerTick(); };
    StopButtonPressed();
    EXPECT_TRUE(TheAppState().EventArmed);
    EXPECT_EQ(TheSchedulerState().ArmedEventTime, At(3, 10, 0));
    EXPECT_FALSE(TheAppState().RecordingFileName.isEmpty());
    EXPECT_FALSE(Log().contains(QStringLiteral("manually stopped")));
    EXPECT_TRUE(graph.Previewing());
    EXPECT_TRUE(TheEventSchedule().ManuallyStoppedEvents.empty());
}

TEST_F(SchedulerTest, StartPreemptsAnArmedEventAndStopArmsItAgain)
{
    AddEvent(At(4, 0, 0), 0, 5, 0);
    LoadEventSchedule();
    ASSERT_TRUE(TheAppState().EventArmed);
    StartButtonPressed();
    EXPECT_FALSE(TheAppState().EventArmed);
    EXPECT_TRUE(TheAppState().ScheduleReloadPending);
    EXPECT_TRUE(TheAppState().RecordingActive);
    EXPECT_FALSE(graph.Previewing());
    EXPECT_FALSE(ui.countdownShown);
    ReloadScheduleWhenIdle(); // a dialog closed during the manual recording waits for its end
    EXPECT_FALSE(TheAppState().EventArmed);

    m_log.Clock().Advance(60s);
    StopButtonPressed();
    EXPECT_EQ(ui.questions, 0); // a manual recording stops without a question
    EXPECT_FALSE(TheAppState().RecordingActive);
    EXPECT_TRUE(TheAppState().EventArmed); // the reload armed it again
    EXPECT_TRUE(graph.Previewing());

    graph.failRecordings = 1; // a manual recording that cannot start arms the Event again too
    StartButtonPressed();
    EXPECT_FALSE(TheAppState().RecordingActive);
    EXPECT_TRUE(TheAppState().EventArmed);
}

TEST_F(SchedulerTest, PowerActionFollowsTheRecordingAndTicksWaitForIt)
{
    AddEvent(At(3, 0, 3), 0, 0, 2, true);
    LoadEventSchedule();
    EXPECT_TRUE(Log().contains(QStringLiteral("NOTE: computer will be placed in hibernate 30 seconds after recording ends")));
    ASSERT_GT(TickUntilRecording(5), 0);
    SchedulerTick();
    EXPECT_EQ(power.actions, (std::vector<std::pair<bool, bool>>{{true, false}}));

    TheAppState().PowerActionPending = true;
    TheAppState().EventRecordingActive = true;
    SchedulerTick(); // while the power countdown shows, ticks do nothing
    EXPECT_TRUE(TheAppState().EventRecordingActive);
}
