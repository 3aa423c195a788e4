#include "app/CountdownPaneText.h"

#include "common/CalendarTime.h"
#include "recording/Scheduler.h"

namespace {
// The first line is searched for its end only this far, as the pane's text buffer is.
constexpr qsizetype kFirstLineLimit = 512;
} // namespace

QString EventInfoLine(const QString& text, int line)
{
    const qsizetype firstEnd = text.left(kFirstLineLimit).indexOf(QLatin1Char('\r'));
    if (firstEnd < 0)
        return {};
    if (line == 0)
        return text.left(firstEnd);
    // The second line starts after the CR LF pair.
    const qsizetype start = firstEnd + 2;
    const qsizetype end = text.indexOf(QLatin1Char('\r'), start);
    return end < 0 ? QString() : text.mid(start, end - start);
}

QString CountdownPaneText(CountdownPaneKind pane, const SchedulerState& state, bool showEventTimeAsUtc,
                          bool eventRecording)
{
    switch (pane) {
    case CountdownPaneKind::Countdown:
        if (eventRecording) {
            const CalendarTime end = UtcTimeToCalendar(state.ArmedRecordingEnd);
            return QString::asprintf("%2.2d:%2.2d:%2.2d", end.hour, end.minute, end.second);
        }
        return state.CountdownText;
    case CountdownPaneKind::Title:
        if (eventRecording)
            return QStringLiteral("Event recording until (UTC):");
        return showEventTimeAsUtc ? QStringLiteral("  Computer time (UTC):")
                                  : QStringLiteral("Countdown to recording start time:");
    case CountdownPaneKind::StartLine:
        return EventInfoLine(state.EventInfoText, 0);
    case CountdownPaneKind::EventLine:
        return EventInfoLine(state.EventInfoText, 1);
    case CountdownPaneKind::EndLine:
        return state.EndTimeText;
    }
    return {};
}
