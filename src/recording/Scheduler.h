#pragma once

#include "common/CalendarTime.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct AppOptions;
struct AppState;
class Clock;
struct DeviceTable;
struct EventSchedule;
class RecordingControl;
class RecordingUi;
class SchedulerTimers;
class SystemPower;
class UserMessageLog;

// The Event scheduler and the recording states: one Event at a time is armed, counted
// down once a second, recorded on time and followed by its power action.

struct SchedulerState {
    // UTC, the time the Event files hold: the armed Event's recording start - 0.5 s. Local
    // time is only shown, so a daylight-saving change moves no recording.
    UtcTime CountdownTarget{};
    UtcTime ArmedRecordingEnd{};
    CalendarTime ArmedEventTime{};     // UTC; all zero when no Event is left
    CalendarTime ArmedEventDuration{};
    std::uint64_t EventRecordingsStarted = 0; // tells a question's answer which recording it was about
    bool StartRetried = false;                // the armed Event's one retry of a failed start is used
    bool HibernateAfterRecording = false;
    bool ShutdownAfterRecording = false;
    int KeepAwakeCounter = 0; // 0..59
    QString CountdownText;
    QString EventInfoText;
    QString EndTimeText;
};

// The countdown text for the time left (more than a day: "> N days").
QString CountdownTextFor(FileTimeSpan remaining);

// The scheduler over the parts it drives. The application object owns one; a test builds
// its own over the parts it made.
class Scheduler {
public:
    Scheduler(SchedulerState& state, AppState& app, EventSchedule& schedule, const AppOptions& options,
              const DeviceTable& devices, RecordingControl& recording, UserMessageLog& log, const Clock& clock);

    // The windows, the timers and the system power are made after the scheduler; each may
    // be null (none yet, or a program without windows).
    void SetRecordingUi(RecordingUi* ui) { m_ui = ui; }
    void SetSchedulerTimers(SchedulerTimers* timers) { m_timers = timers; }
    void SetSystemPower(SystemPower* power) { m_power = power; }

    // The lines of an Event as the countdown window and User Messages show them; also
    // sets EventDuration, CountdownTarget and ArmedRecordingEnd, and logs EventInfoText
    // with a time stamp.
    void ComposeEventInfo(const CalendarTime& eventTime, const CalendarTime& duration);

    void ArmNextEvent();
    // Rebuilds the schedule from the Event files and arms its next Event. Does nothing
    // without a capture device.
    void LoadEventSchedule();
    // Rebuilds the schedule now, or when the recording in progress ends (a dialog that was
    // open when it began must not arm an Event under it).
    void ReloadScheduleWhenIdle();
    // The Event files changed on disk (copied in, edited or deleted while the program
    // runs); arrived names the files that are new or changed. The schedule is rebuilt and
    // its soonest Event armed, once no recording or power countdown runs. A file that
    // arrived too late to be recorded is named in User Messages.
    void EventFilesChanged(const QStringList& arrived);
    // Called as each rebuild is about to read the Events folder.
    void SetScheduleReadHook(std::function<void()> hook) { m_scheduleRead = std::move(hook); }
    void ArmCountdown();
    void DisarmEvent();
    void SchedulerTick();
    void StartButtonPressed();
    void StopButtonPressed();
    void EnterRecordingUi();
    void EnterIdleUi();

private:
    QString VideoFileLine() const;
    void Ui(void (RecordingUi::*f)());
    void SetTitles(const QString& main, const QString* countdown = nullptr);
    void KillCountdownTimer();
    void KillEventRecordingTimer();
    void KillStartAlarm();
    void HoldKeepAwake(bool hold);
    void RestartPreview();
    void ShowEventPending();
    void CountDown(UtcTime now);
    void GiveUpEventRecording();
    void EventStartFailed(UtcTime now);
    void StartEventRecording(UtcTime now);
    void EndEventRecording();

    SchedulerState& m_state;
    AppState& m_app;
    EventSchedule& m_schedule;
    const AppOptions& m_options;
    const DeviceTable& m_devices;
    RecordingControl& m_recording;
    UserMessageLog& m_log;
    const Clock& m_clock;
    RecordingUi* m_ui = nullptr;
    SchedulerTimers* m_timers = nullptr;
    SystemPower* m_power = nullptr;
    std::function<void()> m_scheduleRead;
};
