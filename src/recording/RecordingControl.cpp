#include "recording/RecordingControl.h"

#include "common/Clock.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"

QString UtcLine(const char* prefix)
{
    const CalendarTime t = AppClock().UtcNow();
    return QString::fromLatin1(prefix) + QString::asprintf("%02u:%02u:%02u (UTC)", t.hour, t.minute, t.second);
}

namespace {

GraphControl* g_graph = nullptr;

Status Build(AppState& app)
{
    const bool defaultFolder = Options().VideoDirectory.isEmpty();
    return app.RecordingActive ? g_graph->BuildGraph(&app.RecordingFileName, defaultFolder)
                               : g_graph->BuildGraph(nullptr, defaultFolder);
}

} // namespace

GraphControl* TheGraph()
{
    return g_graph;
}

void SetTheGraph(GraphControl* graph)
{
    g_graph = graph;
}

Status StopCapture()
{
    AppState& app = TheAppState();
    app.StopRecordingText.clear();
    if (!g_graph)
        return Status::Ok;
    if (app.RecordingActive) {
        app.StopRecordingText = UtcLine("Stop recording at ");
        AppendUserMessage(app.StopRecordingText, false);
    }
    const Status s = g_graph->StopGraph();
    if (Failed(s))
        return s;
    app.RecordingActive = false;
    return Status::Ok;
}

Status RestartCapture()
{
    const Status stopped = StopCapture();
    return Failed(stopped) ? stopped : StartCapture();
}

void RestartGraph()
{
    // A recording may have begun while the dialog was open; the recording ends with a
    // preview built from the new settings.
    if (TheAppState().RecordingActive) {
        AppendUserMessage(QStringLiteral("NOTE: the new settings take effect when the recording ends\r\n"), true);
        return;
    }
    static_cast<void>(RestartCapture()); // the graph reports its own failures
}

Status StartCapture()
{
    AppState& app = TheAppState();
    if (app.BrightnessContrastShown && app.RecordingActive) {
        ReportAppMessage(15);
        return Status::Unexpected;
    }
    app.StartRecordingText.clear();
    if (!g_graph)
        return Status::Ok;
    Status s = Build(app);
    if (s == Status::NotImplemented) {
        // The frame analysis cannot serve this format: preview without it.
        app.Analysis.saturationThreshold = -1;
        app.Analysis.driftMinutes = 0;
        app.Analysis.integrationFrames = 1;
        s = StopCapture();
        if (Failed(s))
            return s;
        s = Build(app);
    }
    if (Failed(s))
        return s;
    if (app.RecordingActive) {
        app.StartRecordingText = UtcLine("Start recording at ");
        AppendUserMessage(app.StartRecordingText, true);
    }
    return s;
}
