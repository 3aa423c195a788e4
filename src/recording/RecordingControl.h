#pragma once

#include "common/Status.h"

#include <QString>

struct AppOptions;
struct AppState;
class Clock;
class GraphControl;
class UserMessageLog;

// Starting and stopping capture through the one capture graph. Without a graph (no
// device) starting and stopping succeed and do nothing.
class RecordingControl {
public:
    RecordingControl(AppState& app, const AppOptions& options, UserMessageLog& log, const Clock& clock,
                     GraphControl* graph = nullptr);

    // The graph is made after the application object, once a device is found.
    void SetGraph(GraphControl* graph) { m_graph = graph; }
    GraphControl* Graph() const { return m_graph; }

    Status StartCapture();
    Status StopCapture();
    // StopCapture, and when that succeeded, StartCapture: the graph takes its settings anew.
    Status RestartCapture();
    // What a dialog's new settings do to capture: RestartCapture, or while a recording runs
    // a note that they take effect when it ends. The graph reports its own failures.
    void RestartGraph();
    // prefix + the UTC time now as "hh:mm:ss (UTC)": the start and stop lines of a recording.
    QString UtcLine(const char* prefix) const;

private:
    Status Build();

    AppState& m_app;
    const AppOptions& m_options;
    UserMessageLog& m_log;
    const Clock& m_clock;
    GraphControl* m_graph;
};
