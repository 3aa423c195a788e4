#pragma once

#include <gst/gst.h>

// Lists the one device "VTI Simulator" (class "Video/Source", the simulator's formats),
// whose element is a velavtisim source.
GType VelaVtiSimDeviceProviderGetType();

inline constexpr const char* kSimulatorDeviceName = "VTI Simulator";
inline constexpr const char* kSimulatorProviderName = "velavtisimprovider";
