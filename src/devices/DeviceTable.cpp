#include "devices/DeviceTable.h"

#include "messages/UserMessageLog.h"

CaptureDevice* AttachedDevice(DeviceTable& t, int index)
{
    return index >= 0 && index < t.count ? &t.devices[static_cast<std::size_t>(index)] : nullptr;
}

const CaptureDevice* AttachedDevice(const DeviceTable& t, int index)
{
    return index >= 0 && index < t.count ? &t.devices[static_cast<std::size_t>(index)] : nullptr;
}

void CommitDeviceSelection(DeviceTable& table, const DeviceTable& edited)
{
    table.currentDeviceIndex = edited.currentDeviceIndex;
    for (std::size_t i = 0; i < table.devices.size(); ++i)
        table.devices[i].selectedFormatIndex = edited.devices[i].selectedFormatIndex;
}

CaptureDevice* FreeDeviceSlot(DeviceTable& table, UserMessageLog& log)
{
    if (table.count >= kMaxDevices) {
        log.Append(QStringLiteral("Maximum attached camera count is exceeded.  Some cameras will not be listed.\r\n"),
                   true);
        return nullptr;
    }
    CaptureDevice& slot = table.devices[static_cast<std::size_t>(table.count)];
    slot = CaptureDevice{};
    return &slot;
}

bool CommitDeviceSlot(DeviceTable& table)
{
    if (table.count >= kMaxDevices)
        return false;
    CaptureDevice& slot = table.devices[static_cast<std::size_t>(table.count)];
    if (slot.formats.isEmpty()) {
        slot = CaptureDevice{};
        return false;
    }
    ++table.count;
    return true;
}
