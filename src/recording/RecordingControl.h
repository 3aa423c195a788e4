#pragma once

#include "common/Status.h"

// Starting and stopping capture. Without a capture graph (no device) both succeed and
// do nothing.
Status StartCapture();
Status StopCapture();
// StopCapture, and when that succeeded, StartCapture: the graph takes its settings anew.
Status RestartCapture();
// What a dialog's new settings do to capture: RestartCapture, or while a recording runs a
// note that they take effect when it ends. The graph reports its own failures.
void RestartGraph();
