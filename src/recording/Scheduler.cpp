#include "recording/Scheduler.h"

#include "common/Clock.h"
#include "common/ProcessDirectory.h"
#include "events/EventSchedule.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/RecordingControl.h"
#include "recording/RecordingFileNames.h"
#include "recording/RecordingLog.h"
#include "recording/SchedulerHooks.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr const char* kMonthNames[13] = {"???", "JAN ", "FEB ", "MAR ", "APR ", "MAY ", "JUN ",
                                         "JUL ", "AUG ", "SEP ", "OCT ", "NOV ", "DEC "};
using std::chrono::milliseconds;
constexpr milliseconds kHalfSecond{500};
// The duration timer runs this much past the recording's length.
constexpr milliseconds kDurationTimerSlack{450};
// A start that failed is tried once more after this long: a camera that was plugged back
// in, or a device still held by the last graph, is there by then.
constexpr std::chrono::seconds kStartRetryDelay{1};
constexpr int kKeepAwakeEvery = 60;

const QString kMainTitle = QStringLiteral("VELA Video App");

QString EventLine(const CalendarTime& t)
{
    const int m = t.month >= 1 && t.month <= 12 ? t.month : 0;
    return QString::fromLatin1(kMonthNames[m])
        + QString::asprintf("%hu, %hu  %2.2hu:%2.2hu:%2.2hu\r\n", t.day, t.year, t.hour, t.minute, t.second);
}

QString DurationPart(int value, const char* one, const char* many)
{
    return value == 0 ? QString() : QString::asprintf("%d ", value) + QLatin1String(value == 1 ? one : many);
}

QString VideoFileLine()
{
    QString line = QStringLiteral("Video file:  ");
    if (Options().VideoDirectory.isEmpty())
        line += QString::fromStdString(GetProcessDirectory());
    return line + TheAppState().RecordingFileName;
}

void Ui(void (RecordingUi::*f)())
{
    if (RecordingUi* ui = TheRecordingUi())
        (ui->*f)();
}

void SetTitles(const QString& main, const QString* countdown = nullptr)
{
    if (RecordingUi* ui = TheRecordingUi()) {
        ui->SetMainTitle(main);
        if (countdown)
            ui->SetCountdownTitle(*countdown);
    }
}

void KillCountdownTimer()
{
    if (SchedulerTimers* t = TheSchedulerTimers())
        t->KillCountdownTimer();
}

void KillEventRecordingTimer()
{
    if (SchedulerTimers* t = TheSchedulerTimers())
        t->KillEventRecordingTimer();
}

void HoldKeepAwake(bool hold)
{
    if (SystemPower* p = TheSystemPower())
        p->HoldKeepAwake(hold);
}

void KillStartAlarm()
{
    if (SchedulerTimers* t = TheSchedulerTimers())
        t->KillStartAlarm();
}

// Rounded up, so a timer set with it never fires before the moment it waits for; nothing
// when the moment has come.
milliseconds TimerDelay(FileTimeSpan left)
{
    return left > FileTimeSpan::zero() ? std::chrono::ceil<milliseconds>(left) : milliseconds::zero();
}

// Back to the live picture after a recording. A graph that cannot be built has reported
// why; the schedule goes on without a preview, and the next Event tries again.
void RestartPreview()
{
    static_cast<void>(StartCapture());
}

void ShowEventPending()
{
    const QString countdownTitle = QStringLiteral("Event Pending");
    SetTitles(kMainTitle + QStringLiteral(" -- Event pending"), &countdownTitle);
    Ui(&RecordingUi::ShowCountdown);
}

void CountDown(UtcTime now)
{
    SchedulerState& s = TheSchedulerState();
    if (s.KeepAwakeCounter == 0) {
        if (SystemPower* p = TheSystemPower())
            p->KeepAwakeOnce();
    }
    s.KeepAwakeCounter = (s.KeepAwakeCounter + 1) % kKeepAwakeEvery;
    const FileTimeSpan left = s.CountdownTarget - now;
    if (Options().ShowEventTimeAsUtc) {
        const CalendarTime utc = AppClock().UtcNow();
        s.CountdownText = QString::asprintf("%2.2d:%2.2d:%2.2d", utc.hour, utc.minute, utc.second);
    } else {
        s.CountdownText = CountdownTextFor(left);
    }
    Ui(&RecordingUi::RepaintCountdownPane);
    // The next tick would come up to a second late: the rest is timed to the millisecond.
    if (left <= kCountdownTickPeriod) {
        if (SchedulerTimers* t = TheSchedulerTimers())
            t->StartStartAlarm(TimerDelay(left));
    }
}

// Nothing was recorded for the armed Event: say so where the recording would have been,
// so that a station's folder tells the same story as its User Messages.
void GiveUpEventRecording()
{
    AppState& app = TheAppState();
    const CalendarTime& t = TheSchedulerState().ArmedEventTime;
    AppendUserMessage(QString::asprintf("\r\nERROR -- The recording of the Event at %02u:%02u:%02u (UTC) could not "
                                        "start; nothing was recorded.  The reason is given above.\r\n",
                                        t.hour, t.minute, t.second),
                      true);
    if (!app.RecordingFileName.isEmpty())
        WriteRecordingLog(app.RecordingFileName, UtcLine("Recording could not start at "),
                          QStringLiteral("Nothing was recorded: the reason is in User Messages"),
                          Options().VideoDirectory.isEmpty(), 0, 0);
    app.RecordingFileName.clear();
    app.EventDuration = milliseconds::zero();
    RestartPreview();
    HoldKeepAwake(false);
    if (!app.QuitRequested)
        ArmNextEvent();
}

void EventStartFailed(UtcTime now)
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    static_cast<void>(StopCapture()); // clears what the failed build left; it reports its own failures
    EnterIdleUi();
    const bool retry = !s.StartRetried && !app.RecordingFileName.isEmpty() && now + kStartRetryDelay < s.ArmedRecordingEnd;
    if (!retry) {
        GiveUpEventRecording();
        return;
    }
    s.StartRetried = true;
    AppendUserMessage(QStringLiteral("\r\nWARNING: The Event recording could not start.  Trying once more in 1 second.\r\n"), true);
    RestartPreview();
    s.CountdownTarget = now + kStartRetryDelay;
    app.EventArmed = true;
    ShowEventPending();
    if (SchedulerTimers* t = TheSchedulerTimers())
        t->StartStartAlarm(kStartRetryDelay);
}

void StartEventRecording(UtcTime now)
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    KillCountdownTimer();
    KillStartAlarm();
    app.EventArmed = false;
    // An Event armed late, or started on a retry, records the time left: it ends at the
    // Event's end and never runs into the next one.
    const UtcTime recordingStart = std::max(now, s.CountdownTarget + kHalfSecond);
    app.EventDuration = std::chrono::duration_cast<milliseconds>(std::max(s.ArmedRecordingEnd - recordingStart,
                                                                          FileTimeSpan::zero()));
    const UtcTime stopAt = s.ArmedRecordingEnd - kHalfSecond + kDurationTimerSlack;
    static_cast<void>(StopCapture()); // the preview; a failure there has been reported
    EnterRecordingUi();
    if (Failed(StartCapture())) {
        EventStartFailed(now);
        return;
    }
    ++s.EventRecordingsStarted;
    if (SchedulerTimers* t = TheSchedulerTimers())
        t->StartEventRecordingTimer(TimerDelay(stopAt - now));
    app.EventRecordingActive = true;
}

// The duration timer: the Event recording is complete.
void EndEventRecording()
{
    AppState& app = TheAppState();
    const SchedulerState& s = TheSchedulerState();
    KillEventRecordingTimer();
    app.EventRecordingActive = false;
    static_cast<void>(StopCapture()); // the graph reports a failure; the file written so far stays
    EnterIdleUi();
    app.RecordingFileName.clear();
    app.EventDuration = milliseconds::zero();
    AppendUserMessage(QString(), false);
    RestartPreview();
    HoldKeepAwake(false);
    if (s.HibernateAfterRecording || s.ShutdownAfterRecording) {
        if (SystemPower* p = TheSystemPower())
            p->RunPowerAction(s.HibernateAfterRecording, s.ShutdownAfterRecording);
    }
    if (app.QuitRequested)
        return;
    if (app.ScheduleReloadPending) {
        app.ScheduleReloadPending = false;
        LoadEventSchedule();
    } else {
        ArmNextEvent();
    }
}

} // namespace

SchedulerState& TheSchedulerState()
{
    static SchedulerState state;
    return state;
}

void ComposeEventInfo(const CalendarTime& eventTime, const CalendarTime& duration)
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    const FileTimeSpan d =
        std::chrono::hours(duration.hour) + std::chrono::minutes(duration.minute) + std::chrono::seconds(duration.second);
    const UtcTime event = CalendarToUtcTime(eventTime).value_or(kFileTimeEpoch);
    const UtcTime start = event - d / 2;
    const UtcTime end = event + d / 2;
    app.EventDuration = std::chrono::duration_cast<milliseconds>(d);
    s.CountdownTarget = std::chrono::floor<milliseconds>(start) - kHalfSecond;
    s.ArmedRecordingEnd = end;

    QString info = QStringLiteral("Start time:  ") + EventLine(UtcTimeToCalendar(start));
    info += QStringLiteral("Event time:  ") + EventLine(eventTime);
    info += QStringLiteral("Recording duration:  ") + DurationPart(duration.hour, "hour  ", "hours  ")
        + DurationPart(duration.minute, "minute  ", "minutes  ") + DurationPart(duration.second, "second", "seconds");
    if (app.RecordingFileName.isEmpty())
        info += QStringLiteral("\r\nYou have not created or selected a capture file\r\n");
    s.EventInfoText = info;
    s.EndTimeText = QStringLiteral("End time:    ") + EventLine(UtcTimeToCalendar(end));
    AppendUserMessage(s.EventInfoText, true);
}

QString CountdownTextFor(FileTimeSpan remaining)
{
    if (remaining <= std::chrono::days(1)) {
        const std::int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(remaining).count();
        return QString::asprintf("%2.2d:%2.2d:%2.2d", static_cast<int>((seconds / 3600) % 24),
                                 static_cast<int>((seconds / 60) % 60), static_cast<int>(seconds % 60));
    }
    const std::int64_t days = std::chrono::duration_cast<std::chrono::days>(remaining).count();
    if (days >= 100)
        return QStringLiteral("> 100 days");
    if (days == 1)
        return QStringLiteral("> 1 day ");
    return QString::asprintf("> %lld days", static_cast<long long>(days));
}

void ArmNextEvent()
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    if (TheEventSchedule().Records.empty()) {
        s.ArmedEventTime = CalendarTime{};
        s.ArmedEventDuration = CalendarTime{};
        AppendUserMessage(QStringLiteral("There are no scheduled Events\r\n"), true);
        return;
    }
    if (app.RecordingFileName.isEmpty())
        app.RecordingFileName = MakeRecordingFileName();
    std::unique_ptr<EventRecord> next = TakeNextEvent();
    s.StartRetried = false;
    ComposeEventInfo(next->EventTime, next->Duration);
    s.HibernateAfterRecording = next->Hibernate;
    s.ShutdownAfterRecording = next->ShutDown;
    s.ArmedEventTime = next->EventTime;
    s.ArmedEventDuration = next->Duration;
    ArmCountdown();
}

void ReloadScheduleWhenIdle()
{
    AppState& app = TheAppState();
    if (app.RecordingActive || app.EventRecordingActive)
        app.ScheduleReloadPending = true;
    else
        LoadEventSchedule();
}

void ArmCountdown()
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    QString line = VideoFileLine();
    if (const QString refused = RefusedPowerActionNote(s.HibernateAfterRecording, s.ShutdownAfterRecording);
        !refused.isEmpty())
        line += refused;
    else if (s.HibernateAfterRecording)
        line += QStringLiteral("\r\nNOTE: computer will be placed in hibernate 30 seconds after recording ends\r\n");
    else if (s.ShutdownAfterRecording)
        line += QStringLiteral("\r\nNOTE: computer will shut down 30 seconds after recording ends\r\n");
    else
        line += QStringLiteral("\r\n");
    AppendUserMessage(line, false);

    if (SchedulerTimers* t = TheSchedulerTimers())
        t->StartCountdownTimer();
    s.KeepAwakeCounter = 0;
    app.EventArmed = true;
    HoldKeepAwake(true);
    ShowEventPending();
}

void DisarmEvent()
{
    AppState& app = TheAppState();
    KillCountdownTimer();
    KillStartAlarm();
    app.EventArmed = false;
    app.RecordingFileName.clear();
    app.EventDuration = milliseconds::zero();
    HoldKeepAwake(false);
    SetTitles(kMainTitle);
    Ui(&RecordingUi::HideCountdown);
}

void EnterRecordingUi()
{
    TheAppState().RecordingActive = true;
    const QString countdownTitle = QStringLiteral("Recording Event");
    SetTitles(kMainTitle + QStringLiteral(" -- Recording in progress"), &countdownTitle);
    if (RecordingUi* ui = TheRecordingUi()) {
        ui->SetRecordingControls(true);
        ui->SetMenusForRecording(true);
        if (TheAppState().BrightnessContrastShown)
            ui->CloseBrightnessContrastForRecording();
    }
}

void EnterIdleUi()
{
    TheAppState().RecordingActive = false;
    SetTitles(kMainTitle);
    if (RecordingUi* ui = TheRecordingUi()) {
        ui->HideCountdown();
        ui->SetRecordingControls(false);
        ui->SetMenusForRecording(false);
    }
}

void SchedulerTick()
{
    const AppState& app = TheAppState();
    if (app.PowerActionPending)
        return;
    if (app.EventRecordingActive) {
        EndEventRecording();
        return;
    }
    if (!app.EventArmed)
        return;
    const UtcTime now = UtcTimeNow();
    if (now < TheSchedulerState().CountdownTarget)
        CountDown(now);
    else
        StartEventRecording(now);
}

void StartButtonPressed()
{
    AppState& app = TheAppState();
    app.ScheduleReloadPending = false;
    if (app.EventArmed) {
        app.ScheduleReloadPending = true;
        DisarmEvent();
    }
    if (app.RecordingFileName.isEmpty())
        app.RecordingFileName = MakeRecordingFileName();
    static_cast<void>(StopCapture()); // the preview; a failure there has been reported
    EnterRecordingUi();
    if (Succeeded(StartCapture()))
        return;
    AppendUserMessage(QStringLiteral("\r\nERROR -- The recording could not start; nothing was recorded.  The reason is "
                                     "given above.\r\n"),
                      true);
    EnterIdleUi();
    app.RecordingFileName.clear();
    if (app.ScheduleReloadPending) {
        app.ScheduleReloadPending = false;
        LoadEventSchedule();
    }
    RestartPreview();
}

void StopButtonPressed()
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    bool reload = app.ScheduleReloadPending;
    if (app.EventRecordingActive) {
        const std::uint64_t askedAbout = s.EventRecordingsStarted;
        RecordingUi* ui = TheRecordingUi();
        if (ui && !ui->AskStopEventRecording())
            return;
        // The question waited in a loop of its own: the duration timer may have ended that
        // recording meanwhile and armed, or even started, the next Event.
        if (!app.EventRecordingActive || s.EventRecordingsStarted != askedAbout) {
            AppendUserMessage(QStringLiteral("NOTE: that Event recording had already ended; nothing was stopped\r\n"), true);
            return;
        }
        KillEventRecordingTimer();
        app.EventRecordingActive = false;
        AddStoppedEvent(s.ArmedEventTime, s.ArmedEventDuration);
        AppendUserMessage(QStringLiteral("Event recording is manually stopped"), true);
        HoldKeepAwake(false);
        if (ui) {
            ui->HideCountdown();
            ui->SetRecordingControls(false);
            ui->SetMainTitle(kMainTitle);
        }
        // The Events after the stopped one are still to be recorded.
        reload = true;
    }
    static_cast<void>(StopCapture()); // the graph reports a failure; the file written so far stays
    EnterIdleUi();
    AppendUserMessage(VideoFileLine() + QStringLiteral("\r\n"), false);
    app.RecordingFileName.clear();
    app.EventDuration = milliseconds::zero();
    app.ScheduleReloadPending = false;
    if (reload)
        LoadEventSchedule();
    RestartPreview();
}
