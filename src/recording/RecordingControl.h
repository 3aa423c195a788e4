#pragma once

#include "common/Status.h"

#include <QString>

// Starting and stopping capture. Without a capture graph (no device) both succeed and
// do nothing.
Status StartCapture();
Status StopCapture();
// StopCapture, and when that succeeded, StartCapture: the graph takes its settings anew.
Status RestartCapture();
// prefix + the UTC time now as "hh:mm:ss (UTC)": the start and stop lines of a recording.
QString UtcLine(const char* prefix);
// What a dialog's new settings do to capture: RestartCapture, or while a recording runs a
// note that they take effect when it ends. The graph reports its own failures.
void RestartGraph();
