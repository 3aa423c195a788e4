#pragma once

#include "capture/sim/SimulatorSettings.h"

// Both need gst_init first and may be called more than once.

// Registers our elements in-process as a static plugin; nothing is installed.
void RegisterVelaElements();

// Our elements and the simulator's device provider, so that a device monitor lists
// "VTI Simulator" after the real cameras (for --simulated-camera only). The settings
// hold for the devices listed from then on.
void RegisterSimulatorCamera(const SimulatorSettings& settings = {});
