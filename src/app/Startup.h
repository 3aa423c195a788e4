#pragma once

#include "app/CommandLine.h"
#include "common/Status.h"

struct CaptureApp;

// The process entry: single-instance lock, splash, ordered start-up, the first
// preview, the main loop and the way down. Needs a QApplication. Returns the 32-bit
// result (S_OK, E_ABORT when another copy runs or start-up was aborted, E_OUTOFMEMORY).
Status Run(const CommandLine& commandLine);

// The ordered start-up. Sets abort when start-up must end (the failure has been shown);
// writes deviceCount only on a complete start-up. simulator sets up the simulator camera
// that simulatedCamera lists.
CaptureApp* InitialiseApp(CaptureApp* app, bool simulatedCamera, std::int32_t* deviceCount, bool* abort,
                          const SimulatorSettings& simulator = {});
