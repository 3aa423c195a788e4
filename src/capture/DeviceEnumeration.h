#pragma once

#include "common/Status.h"

// Fills the device table. S_OK when the enumeration ran to its end, S_FALSE when the
// system has no video capture device. simulatedCamera adds the simulator camera.
Status EnumerateCaptureDevices(bool simulatedCamera);
