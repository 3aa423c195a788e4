#include "capture/DeviceEnumeration.h"

#include "capture/DeviceTable.h"

Status EnumerateCaptureDevices(bool simulatedCamera)
{
    // No capture back end is built yet: the program runs as with no device attached.
    (void)simulatedCamera;
    Devices().count = 0;
    return S_FALSE;
}
