#pragma once

#include "common/CalendarTime.h"

#include <optional>

#include <QString>
#include <cstdint>

// The Event scheduler and the recording states: one Event at a time is armed, counted
// down once a second, recorded on time and followed by its power action.

struct SchedulerState {
    FileTimeTicks CountdownTarget = 0; // local time: the armed Event's recording start - 0.5 s
    CalendarTime ArmedEventTime{};     // UTC; all zero when no Event is left
    CalendarTime ArmedEventDuration{};
    bool HibernateAfterRecording = false;
    bool ShutdownAfterRecording = false;
    int KeepAwakeCounter = 0; // 0..59
    QString CountdownText;
    QString EventInfoText;
    QString EndTimeText;
};

SchedulerState& TheSchedulerState();

// The lines of an Event as the countdown window and User Messages show them; also sets
// EventDurationMs and CountdownTarget, and logs EventInfoText with a time stamp.
void ComposeEventInfo(const CalendarTime& eventTime, const CalendarTime& duration);
// The countdown text for the remaining ticks (more than a day: "> N days").
QString CountdownTextFor(std::int64_t remainingTicks);

void ArmNextEvent();
void ArmCountdown();
void DisarmEvent();
void SchedulerTick();
void StartButtonPressed();
void StopButtonPressed();
void EnterRecordingUi();
void EnterIdleUi();
