#pragma once

#include "common/Status.h"

// Starting and stopping capture, and the once-a-second scheduler. Until the capture
// graph exists these behave as with no capture device attached.
Status StartCapture();
Status StopCapture();
void SchedulerTick();
