#pragma once

#include "capture/sim/SimulatorSettings.h"

#include <gst/gst.h>

// Lists the one device "VTI Simulator" (class "Video/Source", the simulator's formats),
// whose element is a velavtisim source set up with the simulator settings.
GType VelaVtiSimDeviceProviderGetType();

// The settings that devices listed from now on hand to their elements. The framework
// makes the providers, so they go with the provider's factory, where each probe finds them.
void KeepSimulatorDeviceSettings(GstDeviceProviderFactory* factory, const SimulatorSettings& settings);

inline constexpr const char* kSimulatorProviderName = "velavtisimprovider";
