#pragma once

#include "capture/sim/SimulatorSettings.h"

// Starts the media framework and registers our own elements in-process; with
// simulatedCamera also the simulator's device provider, so that the enumeration lists
// "VTI Simulator" after the real cameras, behaving as the settings say. Call once, before
// the enumeration.
void PrepareCaptureBackEnd(bool simulatedCamera, const SimulatorSettings& simulator = {});
