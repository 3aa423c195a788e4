#pragma once

#include "common/Status.h"

#include <QString>

struct DeviceTable;
class UserMessageLog;

// Fills the device table; a full table is reported in log. Status::Ok when the
// enumeration ran to its end, Status::Partial when the system has no video capture
// device. simulatedCamera adds the simulator camera, which is listed after the real cameras.
Status EnumerateCaptureDevices(DeviceTable& table, UserMessageLog& log, bool simulatedCamera);

// Fills the formats of the table's device at that index from the caps of its source
// device. Called by EnumerateCaptureDevices only.
Status EnumerateDeviceFormats(DeviceTable& table, int deviceIndex);

// Offers one device, given by its name, caps text and driver, to the table as the enumeration
// does with each device it finds: Status::Partial when the table was already full (the message
// is logged), else Status::Ok, whether or not the device had formats to be listed.
Status ListCaptureDevice(DeviceTable& table, UserMessageLog& log, const QString& name, const QString& capsText,
                         const QString& driver = {});

// The device provider of the simulator camera, which registers itself when asked for.
inline constexpr char kSimulatorProviderName[] = "velavtisimprovider";
