#include "recording/RecordingControl.h"

Status StartCapture()
{
    return S_FALSE; // no graph to build
}

Status StopCapture()
{
    return S_OK; // nothing running
}

void SchedulerTick()
{
}
