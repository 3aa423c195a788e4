#include "recording/Scheduler.h"

#include "common/AppState.h"
#include "common/Clock.h"
#include "common/ProcessDirectory.h"
#include "events/EventSchedule.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/RecordingControl.h"
#include "recording/RecordingFileNames.h"
#include "recording/SchedulerHooks.h"

namespace {

constexpr const char* kMonthNames[13] = {"???", "JAN ", "FEB ", "MAR ", "APR ", "MAY ", "JUN ",
                                         "JUL ", "AUG ", "SEP ", "OCT ", "NOV ", "DEC "};
constexpr std::int64_t kDayTicks = static_cast<std::int64_t>(kTicksPerDay);
constexpr FileTimeTicks kHalfSecond = 5'000'000;
constexpr std::uint32_t kDurationTimerSlackMs = 450;
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

std::optional<FileTimeTicks> LocalNowTicks()
{
    return CalendarToTicks(AppClock().LocalNow());
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
    const FileTimeTicks d =
        ((static_cast<FileTimeTicks>(duration.hour) * 60 + duration.minute) * 60 + duration.second) * kTicksPerSecond;
    const FileTimeTicks event = CalendarToTicks(eventTime).value_or(0);
    const FileTimeTicks start = event - d / 2;
    const FileTimeTicks end = event + d / 2;
    app.EventDurationMs = static_cast<std::uint32_t>(d / kTicksPerMillisecond);

    const std::int64_t localStart = static_cast<std::int64_t>(start)
        - static_cast<std::int64_t>(app.TimeZoneBiasMinutes) * static_cast<std::int64_t>(kTicksPerMinute);
    const FileTimeTicks localStartMs = static_cast<FileTimeTicks>(localStart) / kTicksPerMillisecond * kTicksPerMillisecond;
    s.CountdownTarget = localStartMs - kHalfSecond;

    QString info = QStringLiteral("Start time:  ") + EventLine(TicksToCalendar(start));
    info += QStringLiteral("Event time:  ") + EventLine(eventTime);
    info += QStringLiteral("Recording duration:  ") + DurationPart(duration.hour, "hour  ", "hours  ")
        + DurationPart(duration.minute, "minute  ", "minutes  ") + DurationPart(duration.second, "second", "seconds");
    if (app.RecordingFileName.isEmpty())
        info += QStringLiteral("\r\nYou have not created or selected a capture file\r\n");
    s.EventInfoText = info;
    s.EndTimeText = QStringLiteral("End time:    ") + EventLine(TicksToCalendar(end));
    AppendUserMessage(s.EventInfoText, true);
}

QString CountdownTextFor(std::int64_t remainingTicks)
{
    if (remainingTicks <= kDayTicks) {
        const std::int64_t seconds = remainingTicks / static_cast<std::int64_t>(kTicksPerSecond);
        return QString::asprintf("%2.2d:%2.2d:%2.2d", static_cast<int>((seconds / 3600) % 24),
                                 static_cast<int>((seconds / 60) % 60), static_cast<int>(seconds % 60));
    }
    const std::int64_t days = remainingTicks / kDayTicks;
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
    ComposeEventInfo(next->EventTime, next->Duration);
    s.HibernateAfterRecording = next->Hibernate;
    s.ShutdownAfterRecording = next->ShutDown;
    s.ArmedEventTime = next->EventTime;
    s.ArmedEventDuration = next->Duration;
    ArmCountdown();
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
    const QString countdownTitle = QStringLiteral("Event Pending");
    SetTitles(kMainTitle + QStringLiteral(" -- Event pending"), &countdownTitle);
    Ui(&RecordingUi::ShowCountdown);
}

void DisarmEvent()
{
    AppState& app = TheAppState();
    KillCountdownTimer();
    app.EventArmed = false;
    app.RecordingFileName.clear();
    app.EventDurationMs = 0;
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
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    if (app.PowerActionPending)
        return;

    if (app.EventRecordingActive) {
        // The duration timer: the Event recording is complete.
        KillEventRecordingTimer();
        app.EventRecordingActive = false;
        StopCapture();
        EnterIdleUi();
        app.RecordingFileName.clear();
        app.EventDurationMs = 0;
        AppendUserMessage(QString(), false);
        StartCapture();
        HoldKeepAwake(false);
        if (s.HibernateAfterRecording || s.ShutdownAfterRecording) {
            if (SystemPower* p = TheSystemPower())
                p->RunPowerAction(s.HibernateAfterRecording, s.ShutdownAfterRecording);
        }
        if (!app.QuitRequested)
            ArmNextEvent();
        return;
    }
    if (!app.EventArmed)
        return;

    const std::optional<FileTimeTicks> now = LocalNowTicks();
    if (!now)
        return;
    if (*now < s.CountdownTarget) {
        if (s.KeepAwakeCounter == 0) {
            if (SystemPower* p = TheSystemPower())
                p->KeepAwakeOnce();
        }
        s.KeepAwakeCounter = (s.KeepAwakeCounter + 1) % kKeepAwakeEvery;
        if (Options().ShowEventTimeAsUtc) {
            const CalendarTime utc = AppClock().UtcNow();
            s.CountdownText = QString::asprintf("%2.2d:%2.2d:%2.2d", utc.hour, utc.minute, utc.second);
        } else {
            s.CountdownText = CountdownTextFor(static_cast<std::int64_t>(s.CountdownTarget - *now));
        }
        Ui(&RecordingUi::RepaintCountdownPane);
        return;
    }

    // The start time has come.
    KillCountdownTimer();
    app.EventArmed = false;
    StopCapture();
    EnterRecordingUi();
    StartCapture();
    if (SchedulerTimers* t = TheSchedulerTimers())
        t->StartEventRecordingTimer(app.EventDurationMs + kDurationTimerSlackMs);
    app.EventRecordingActive = true;
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
    StopCapture();
    EnterRecordingUi();
    StartCapture();
}

void StopButtonPressed()
{
    AppState& app = TheAppState();
    SchedulerState& s = TheSchedulerState();
    if (app.EventRecordingActive) {
        RecordingUi* ui = TheRecordingUi();
        if (ui && !ui->AskStopEventRecording())
            return;
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
    }
    StopCapture();
    EnterIdleUi();
    AppendUserMessage(VideoFileLine() + QStringLiteral("\r\n"), false);
    app.RecordingFileName.clear();
    app.EventDurationMs = 0;
    if (app.ScheduleReloadPending) {
        app.ScheduleReloadPending = false;
        LoadEventSchedule();
    }
    StartCapture();
}
