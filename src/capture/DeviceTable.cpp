#include "capture/DeviceTable.h"

DeviceTable& Devices()
{
    static DeviceTable table;
    return table;
}

void ClearDeviceTable()
{
    Devices() = DeviceTable{};
}
