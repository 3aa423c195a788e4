#pragma once

#include "app/CommandLine.h"
#include "common/Status.h"

class CaptureApp;

// The process entry for the application object main made: single-instance lock,
// splash, ordered start-up, the first preview, the main loop and the way down. Needs a
// QApplication. Status::Aborted when another copy runs or start-up was aborted.
Status Run(CaptureApp& app, const CommandLine& commandLine);

// The ordered start-up of app. Status::Aborted when start-up must end (the failure has
// been shown); app.state.DeviceCount is written only on a complete start-up. simulator sets up
// the simulator camera that simulatedCamera lists.
Status InitialiseApp(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator = {});
