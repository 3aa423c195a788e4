#pragma once

#include "common/CalendarTime.h"

#include <optional>

#include <QString>
#include <cstdint>

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

SchedulerState& TheSchedulerState();

// The lines of an Event as the countdown window and User Messages show them; also sets
// EventDuration, CountdownTarget and ArmedRecordingEnd, and logs EventInfoText with a
// time stamp.
void ComposeEventInfo(const CalendarTime& eventTime, const CalendarTime& duration);
// The countdown text for the time left (more than a day: "> N days").
QString CountdownTextFor(FileTimeSpan remaining);

void ArmNextEvent();
// Rebuilds the schedule now, or when the recording in progress ends (a dialog that was
// open when it began must not arm an Event under it).
void ReloadScheduleWhenIdle();
void ArmCountdown();
void DisarmEvent();
void SchedulerTick();
void StartButtonPressed();
void StopButtonPressed();
void EnterRecordingUi();
void EnterIdleUi();
