#include "recording/Scheduler.h"

#include "common/Clock.h"
#include "common/ProcessDirectory.h"
#include "devices/DeviceTable.h"
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

// Rounded up, so a timer set with it never fires before the moment it waits for; nothing
// when the moment has come.
milliseconds TimerDelay(FileTimeSpan left)
{
    return left > FileTimeSpan::zero() ? std::chrono::ceil<milliseconds>(left) : milliseconds::zero();
}

} // namespace

Scheduler::Scheduler(SchedulerState& state, AppState& app, EventSchedule& schedule, const AppOptions& options,
                     const DeviceTable& devices, RecordingControl& recording, UserMessageLog& log, const Clock& clock)
    : m_state(state)
    , m_app(app)
    , m_schedule(schedule)
    , m_options(options)
    , m_devices(devices)
    , m_recording(recording)
    , m_log(log)
    , m_clock(clock)
{
}

QString Scheduler::VideoFileLine() const
{
    QString line = QStringLiteral("Video file:  ");
    if (m_options.VideoDirectory.isEmpty())
        line += QString::fromStdString(GetProcessDirectory());
    return line + m_app.RecordingFileName;
}

void Scheduler::Ui(void (RecordingUi::*f)())
{
    if (m_ui)
        (m_ui->*f)();
}

void Scheduler::SetTitles(const QString& main, const QString* countdown)
{
    if (m_ui) {
        m_ui->SetMainTitle(main);
        if (countdown)
            m_ui->SetCountdownTitle(*countdown);
    }
}

void Scheduler::KillCountdownTimer()
{
    if (m_timers)
        m_timers->KillCountdownTimer();
}

void Scheduler::KillEventRecordingTimer()
{
    if (m_timers)
        m_timers->KillEventRecordingTimer();
}

void Scheduler::KillStartAlarm()
{
    if (m_timers)
        m_timers->KillStartAlarm();
}

void Scheduler::HoldKeepAwake(bool hold)
{
    if (m_power)
        m_power->HoldKeepAwake(hold);
}

// Back to the live picture after a recording. A graph that cannot be built has reported
// why; the schedule goes on without a preview, and the next Event tries again.
void Scheduler::RestartPreview()
{
    static_cast<void>(m_recording.StartCapture());
}

void Scheduler::ShowEventPending()
{
    const QString countdownTitle = QStringLiteral("Event Pending");
    SetTitles(kMainTitle + QStringLiteral(" -- Event pending"), &countdownTitle);
    Ui(&RecordingUi::ShowCountdown);
}

void Scheduler::CountDown(UtcTime now)
{
    if (m_state.KeepAwakeCounter == 0) {
        if (m_power)
            m_power->KeepAwakeOnce();
    }
    m_state.KeepAwakeCounter = (m_state.KeepAwakeCounter + 1) % kKeepAwakeEvery;
    const FileTimeSpan left = m_state.CountdownTarget - now;
    if (m_options.ShowEventTimeAsUtc) {
        const CalendarTime utc = m_clock.UtcNow();
        m_state.CountdownText = QString::asprintf("%2.2d:%2.2d:%2.2d", utc.hour, utc.minute, utc.second);
    } else {
        m_state.CountdownText = CountdownTextFor(left);
    }
    Ui(&RecordingUi::RepaintCountdownPane);
    // The next tick would come up to a second late: the rest is timed to the millisecond.
    if (left <= kCountdownTickPeriod) {
        if (m_timers)
            m_timers->StartStartAlarm(TimerDelay(left));
    }
}

// Nothing was recorded for the armed Event: say so where the recording would have been,
// so that a station's folder tells the same story as its User Messages.
void Scheduler::GiveUpEventRecording()
{
    const CalendarTime& t = m_state.ArmedEventTime;
    m_log.Append(QString::asprintf("\r\nERROR -- The recording of the Event at %02u:%02u:%02u (UTC) could not "
                                   "start; nothing was recorded.  The reason is given above.\r\n",
                                   t.hour, t.minute, t.second),
                 true);
    if (!m_app.RecordingFileName.isEmpty())
        WriteRecordingLog(m_log, m_app.RecordingFileName, m_recording.UtcLine("Recording could not start at "),
                          QStringLiteral("Nothing was recorded: the reason is in User Messages"),
                          m_options.VideoDirectory.isEmpty(), 0, 0);
    m_app.RecordingFileName.clear();
    m_app.EventDuration = milliseconds::zero();
    RestartPreview();
    HoldKeepAwake(false);
    if (!m_app.QuitRequested)
        ArmNextEvent();
}

void Scheduler::EventStartFailed(UtcTime now)
{
    // Clears what the failed build left; it reports its own failures.
    static_cast<void>(m_recording.StopCapture());
    EnterIdleUi();
    const bool retry = !m_state.StartRetried && !m_app.RecordingFileName.isEmpty()
        && now + kStartRetryDelay < m_state.ArmedRecordingEnd;
    if (!retry) {
        GiveUpEventRecording();
        return;
    }
    m_state.StartRetried = true;
    m_log.Append(QStringLiteral("\r\nWARNING: The Event recording could not start.  Trying once more in 1 second.\r\n"),
                 true);
    RestartPreview();
    m_state.CountdownTarget = now + kStartRetryDelay;
    m_app.EventArmed = true;
    ShowEventPending();
    if (m_timers)
        m_timers->StartStartAlarm(kStartRetryDelay);
}

void Scheduler::StartEventRecording(UtcTime now)
{
    KillCountdownTimer();
    KillStartAlarm();
    m_app.EventArmed = false;
    // An Event armed late, or started on a retry, records the time left: it ends at the
    // Event's end and never runs into the next one.
    const UtcTime recordingStart = std::max(now, m_state.CountdownTarget + kHalfSecond);
    m_app.EventDuration = std::chrono::duration_cast<milliseconds>(
        std::max(m_state.ArmedRecordingEnd - recordingStart, FileTimeSpan::zero()));
    const UtcTime stopAt = m_state.ArmedRecordingEnd - kHalfSecond + kDurationTimerSlack;
    static_cast<void>(m_recording.StopCapture()); // the preview; a failure there has been reported
    EnterRecordingUi();
    if (Failed(m_recording.StartCapture())) {
        EventStartFailed(now);
        return;
    }
    ++m_state.EventRecordingsStarted;
    if (m_timers)
        m_timers->StartEventRecordingTimer(TimerDelay(stopAt - now));
    m_app.EventRecordingActive = true;
    // The Event Pending window now says until when the Event records.
    Ui(&RecordingUi::ShowCountdown);
}

// The duration timer: the Event recording is complete.
void Scheduler::EndEventRecording()
{
    KillEventRecordingTimer();
    m_app.EventRecordingActive = false;
    static_cast<void>(m_recording.StopCapture()); // the graph reports a failure; the file written so far stays
    EnterIdleUi();
    m_app.RecordingFileName.clear();
    m_app.EventDuration = milliseconds::zero();
    m_log.Append(QString(), false);
    RestartPreview();
    HoldKeepAwake(false);
    if (m_state.HibernateAfterRecording || m_state.ShutdownAfterRecording) {
        if (m_power)
            m_power->RunPowerAction(m_state.HibernateAfterRecording, m_state.ShutdownAfterRecording);
    }
    if (m_app.QuitRequested)
        return;
    if (m_app.ScheduleReloadPending) {
        m_app.ScheduleReloadPending = false;
        LoadEventSchedule();
    } else {
        ArmNextEvent();
    }
}

void Scheduler::ComposeEventInfo(const CalendarTime& eventTime, const CalendarTime& duration)
{
    const FileTimeSpan d =
        std::chrono::hours(duration.hour) + std::chrono::minutes(duration.minute) + std::chrono::seconds(duration.second);
    const UtcTime event = CalendarToUtcTime(eventTime).value_or(kFileTimeEpoch);
    const UtcTime start = event - d / 2;
    const UtcTime end = event + d / 2;
    m_app.EventDuration = std::chrono::duration_cast<milliseconds>(d);
    m_state.CountdownTarget = std::chrono::floor<milliseconds>(start) - kHalfSecond;
    m_state.ArmedRecordingEnd = end;

    QString info = QStringLiteral("Start time:  ") + EventLine(UtcTimeToCalendar(start));
    info += QStringLiteral("Event time:  ") + EventLine(eventTime);
    info += QStringLiteral("Recording duration:  ") + DurationPart(duration.hour, "hour  ", "hours  ")
        + DurationPart(duration.minute, "minute  ", "minutes  ") + DurationPart(duration.second, "second", "seconds");
    if (m_app.RecordingFileName.isEmpty())
        info += QStringLiteral("\r\nYou have not created or selected a capture file\r\n");
    m_state.EventInfoText = info;
    m_state.EndTimeText = QStringLiteral("End time:    ") + EventLine(UtcTimeToCalendar(end));
    m_log.Append(m_state.EventInfoText, true);
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

void Scheduler::ArmNextEvent()
{
    if (m_schedule.Records.empty()) {
        m_state.ArmedEventTime = CalendarTime{};
        m_state.ArmedEventDuration = CalendarTime{};
        m_log.Append(QStringLiteral("There are no scheduled Events\r\n"), true);
        return;
    }
    if (m_app.RecordingFileName.isEmpty())
        m_app.RecordingFileName = MakeRecordingFileName(m_options, m_log, m_clock);
    std::unique_ptr<EventRecord> next = m_schedule.TakeNextEvent();
    m_state.StartRetried = false;
    ComposeEventInfo(next->EventTime, next->Duration);
    m_state.HibernateAfterRecording = next->Hibernate;
    m_state.ShutdownAfterRecording = next->ShutDown;
    m_state.ArmedEventTime = next->EventTime;
    m_state.ArmedEventDuration = next->Duration;
    ArmCountdown();
}

void Scheduler::LoadEventSchedule()
{
    if (m_devices.count == 0)
        return;
    if (m_scheduleRead)
        m_scheduleRead();
    if (m_schedule.LoadEventSchedule(m_log, UtcTimeNow(m_clock)))
        ArmNextEvent();
}

void Scheduler::ReloadScheduleWhenIdle()
{
    if (m_app.RecordingActive || m_app.EventRecordingActive)
        m_app.ScheduleReloadPending = true;
    else
        LoadEventSchedule();
}

void Scheduler::EventFilesChanged(const QStringList& arrived)
{
    for (const QString& name : arrived)
        m_schedule.AddWrittenEventFile(name);
    // The power countdown runs inside a tick, which arms the next Event when it returns.
    if (m_app.RecordingActive || m_app.EventRecordingActive || m_app.PowerActionPending) {
        m_app.ScheduleReloadPending = true;
        return;
    }
    if (m_app.EventArmed)
        DisarmEvent();
    LoadEventSchedule();
}

void Scheduler::ArmCountdown()
{
    QString line = VideoFileLine();
    if (const QString refused =
            RefusedPowerActionNote(m_power, m_state.HibernateAfterRecording, m_state.ShutdownAfterRecording);
        !refused.isEmpty())
        line += refused;
    else if (m_state.HibernateAfterRecording)
        line += QStringLiteral("\r\nNOTE: computer will be placed in hibernate 30 seconds after recording ends\r\n");
    else if (m_state.ShutdownAfterRecording)
        line += QStringLiteral("\r\nNOTE: computer will shut down 30 seconds after recording ends\r\n");
    else
        line += QStringLiteral("\r\n");
    m_log.Append(line, false);

    if (m_timers) {
        m_timers->StartCountdownTimer();
        // Armed within a second of its start (a file dropped in late, a rebuild): the
        // first tick would come too late.
        if (const FileTimeSpan left = m_state.CountdownTarget - UtcTimeNow(m_clock); left <= kCountdownTickPeriod)
            m_timers->StartStartAlarm(TimerDelay(left));
    }
    m_state.KeepAwakeCounter = 0;
    m_app.EventArmed = true;
    HoldKeepAwake(true);
    ShowEventPending();
}

void Scheduler::DisarmEvent()
{
    KillCountdownTimer();
    KillStartAlarm();
    m_app.EventArmed = false;
    m_app.RecordingFileName.clear();
    m_app.EventDuration = milliseconds::zero();
    HoldKeepAwake(false);
    SetTitles(kMainTitle);
    Ui(&RecordingUi::HideCountdown);
}

void Scheduler::EnterRecordingUi()
{
    m_app.RecordingActive = true;
    const QString countdownTitle = QStringLiteral("Recording Event");
    SetTitles(kMainTitle + QStringLiteral(" -- Recording in progress"), &countdownTitle);
    if (m_ui) {
        m_ui->SetRecordingControls(true);
        m_ui->SetMenusForRecording(true);
        if (m_app.BrightnessContrastShown)
            m_ui->CloseBrightnessContrastForRecording();
    }
}

void Scheduler::EnterIdleUi()
{
    m_app.RecordingActive = false;
    SetTitles(kMainTitle);
    if (m_ui) {
        m_ui->HideCountdown();
        m_ui->SetRecordingControls(false);
        m_ui->SetMenusForRecording(false);
    }
}

void Scheduler::SchedulerTick()
{
    if (m_app.PowerActionPending)
        return;
    if (m_app.EventRecordingActive) {
        EndEventRecording();
        return;
    }
    if (!m_app.EventArmed)
        return;
    const UtcTime now = UtcTimeNow(m_clock);
    if (now < m_state.CountdownTarget)
        CountDown(now);
    else
        StartEventRecording(now);
}

void Scheduler::StartButtonPressed()
{
    m_app.ScheduleReloadPending = false;
    if (m_app.EventArmed) {
        m_app.ScheduleReloadPending = true;
        DisarmEvent();
    }
    if (m_app.RecordingFileName.isEmpty())
        m_app.RecordingFileName = MakeRecordingFileName(m_options, m_log, m_clock);
    static_cast<void>(m_recording.StopCapture()); // the preview; a failure there has been reported
    EnterRecordingUi();
    if (Succeeded(m_recording.StartCapture()))
        return;
    m_log.Append(QStringLiteral("\r\nERROR -- The recording could not start; nothing was recorded.  The reason is "
                                "given above.\r\n"),
                 true);
    EnterIdleUi();
    m_app.RecordingFileName.clear();
    if (m_app.ScheduleReloadPending) {
        m_app.ScheduleReloadPending = false;
        LoadEventSchedule();
    }
    RestartPreview();
}

void Scheduler::StopButtonPressed()
{
    bool reload = m_app.ScheduleReloadPending;
    if (m_app.EventRecordingActive) {
        const std::uint64_t askedAbout = m_state.EventRecordingsStarted;
        RecordingUi* ui = m_ui;
        if (ui && !ui->AskStopEventRecording())
            return;
        // The question waited in a loop of its own: the duration timer may have ended that
        // recording meanwhile and armed, or even started, the next Event.
        if (!m_app.EventRecordingActive || m_state.EventRecordingsStarted != askedAbout) {
            m_log.Append(QStringLiteral("NOTE: that Event recording had already ended; nothing was stopped\r\n"),
                         true);
            return;
        }
        KillEventRecordingTimer();
        m_app.EventRecordingActive = false;
        m_schedule.AddStoppedEvent(m_state.ArmedEventTime, m_state.ArmedEventDuration);
        m_log.Append(QStringLiteral("Event recording is manually stopped"), true);
        HoldKeepAwake(false);
        if (ui) {
            ui->HideCountdown();
            ui->SetRecordingControls(false);
            ui->SetMainTitle(kMainTitle);
        }
        // The Events after the stopped one are still to be recorded.
        reload = true;
    }
    static_cast<void>(m_recording.StopCapture()); // the graph reports a failure; the file written so far stays
    EnterIdleUi();
    m_log.Append(VideoFileLine() + QStringLiteral("\r\n"), false);
    m_app.RecordingFileName.clear();
    m_app.EventDuration = milliseconds::zero();
    m_app.ScheduleReloadPending = false;
    if (reload)
        LoadEventSchedule();
    RestartPreview();
}
