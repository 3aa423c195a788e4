#pragma once

#include "app/CommandLine.h"
#include "common/Status.h"

struct CaptureApp;

// The process entry: single-instance lock, splash, ordered start-up, the first
// preview, the main loop and the way down. Needs a QApplication. Status::Aborted when
// another copy runs or start-up was aborted, Status::OutOfMemory when there is no room
// for the application object.
Status Run(const CommandLine& commandLine);

// The ordered start-up of app. Status::Aborted when start-up must end (the failure has
// been shown); app.DeviceCount is written only on a complete start-up. simulator sets up
// the simulator camera that simulatedCamera lists.
Status InitialiseApp(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator = {});
