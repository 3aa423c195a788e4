#pragma once

#include <QString>

struct SchedulerState;

// The five panes of the "Event Pending" window.
enum class CountdownPaneKind { Countdown, Title, StartLine, EventLine, EndLine };

// Line 0 or 1 of EventInfoText: up to its first (or second) carriage return. Empty when
// the first carriage return is not within the first 512 characters, or the line has no
// carriage return after it.
QString EventInfoLine(const QString& eventInfoText, int line);

// What a pane draws, from the scheduler's texts and the Event Pending display option.
// While the Event records, the countdown (long run out) gives way to the time its
// recording ends.
QString CountdownPaneText(CountdownPaneKind pane, const SchedulerState& state, bool showEventTimeAsUtc,
                          bool eventRecording = false);
