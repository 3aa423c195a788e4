#pragma once

#include "capture/sim/SimulatorSettings.h"

#include <gst/gst.h>

// Lists the one device "VTI Simulator" (class "Video/Source", the simulator's formats),
// whose element is a velavtisim source set up with the simulator settings.
GType VelaVtiSimDeviceProviderGetType();

// The settings that devices listed from now on hand to their elements. Process-wide: the
// framework makes the provider, so there is no instance to give them to.
void SetSimulatorDeviceSettings(const SimulatorSettings& settings);

inline constexpr const char* kSimulatorProviderName = "velavtisimprovider";
