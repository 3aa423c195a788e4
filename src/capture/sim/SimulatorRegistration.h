#pragma once

// Both need gst_init first and may be called more than once.

// Registers our elements in-process as a static plugin; nothing is installed.
void RegisterVelaElements();

// Our elements and the simulator's device provider, so that a device monitor lists
// "VTI Simulator" after the real cameras (for --simulated-camera only).
void RegisterSimulatorCamera();
