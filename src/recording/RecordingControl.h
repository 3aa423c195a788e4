#pragma once

#include "common/Status.h"

// Starting and stopping capture. Without a capture graph (no device) both succeed and
// do nothing.
Status StartCapture();
Status StopCapture();
// StopCapture, and when that succeeded, StartCapture: the graph takes its settings anew.
Status RestartCapture();
