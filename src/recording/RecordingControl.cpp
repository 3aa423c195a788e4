#include "recording/RecordingControl.h"

#include "common/Clock.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"

RecordingControl::RecordingControl(AppState& app, const AppOptions& options, UserMessageLog& log, const Clock& clock,
                                   GraphControl* graph)
    : m_app(app)
    , m_options(options)
    , m_log(log)
    , m_clock(clock)
    , m_graph(graph)
{
}

QString RecordingControl::UtcLine(const char* prefix) const
{
    const CalendarTime t = m_clock.UtcNow();
    return QString::fromLatin1(prefix) + QString::asprintf("%02u:%02u:%02u (UTC)", t.hour, t.minute, t.second);
}

Status RecordingControl::Build()
{
    const bool defaultFolder = m_options.VideoDirectory.isEmpty();
    return m_app.RecordingActive ? m_graph->BuildGraph(&m_app.RecordingFileName, defaultFolder)
                                 : m_graph->BuildGraph(nullptr, defaultFolder);
}

Status RecordingControl::StopCapture()
{
    m_app.StopRecordingText.clear();
    if (!m_graph)
        return Status::Ok;
    if (m_app.RecordingActive) {
        m_app.StopRecordingText = UtcLine("Stop recording at ");
        m_log.Append(m_app.StopRecordingText, false);
    }
    const Status s = m_graph->StopGraph();
    if (Failed(s))
        return s;
    m_app.RecordingActive = false;
    return Status::Ok;
}

Status RecordingControl::RestartCapture()
{
    const Status stopped = StopCapture();
    return Failed(stopped) ? stopped : StartCapture();
}

void RecordingControl::RestartGraph()
{
    // A recording may have begun while the dialog was open; the recording ends with a
    // preview built from the new settings.
    if (m_app.RecordingActive) {
        m_log.Append(QStringLiteral("NOTE: the new settings take effect when the recording ends\r\n"), true);
        return;
    }
    static_cast<void>(RestartCapture()); // the graph reports its own failures
}

Status RecordingControl::StartCapture()
{
    if (m_app.BrightnessContrastShown && m_app.RecordingActive) {
        ReportAppMessage(m_log, 15);
        return Status::Unexpected;
    }
    m_app.StartRecordingText.clear();
    if (!m_graph)
        return Status::Ok;
    Status s = Build();
    if (s == Status::NotImplemented) {
        // The frame analysis cannot serve this format: preview without it.
        m_app.Analysis.saturationThreshold = -1;
        m_app.Analysis.driftMinutes = 0;
        m_app.Analysis.integrationFrames = 1;
        s = StopCapture();
        if (Failed(s))
            return s;
        s = Build();
    }
    if (Failed(s))
        return s;
    if (m_app.RecordingActive) {
        m_app.StartRecordingText = UtcLine("Start recording at ");
        m_log.Append(m_app.StartRecordingText, true);
    }
    return s;
}
