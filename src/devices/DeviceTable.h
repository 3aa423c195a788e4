#pragma once

#include "common/Status.h"
#include "options/AppOptions.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class UserMessageLog;

// Media objects are held through their C structs only, so the table stays free of
// media headers; the deleters come from capture/ where the objects are made.
struct _GstCaps;
struct _GstDevice;
struct _GstElementFactory;
using CapsHandle = std::shared_ptr<_GstCaps>;
using DeviceHandle = std::shared_ptr<_GstDevice>;
using FactoryHandle = std::shared_ptr<_GstElementFactory>;

struct MediaFormat {
    QString name; // "720x480"
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t framesPerSecond = 0; // 0 when unknown
    std::int64_t avgTimePerFrame = 0;  // 100 ns units
    FpsStandard standard = FpsStandard::OTHER;
    VideoSubtype subtype = VideoSubtype::OTHER;
    CapsHandle caps{}; // the fixed caps that the capture graph applies
};

struct CaptureDevice {
    QString name;               // at most 255 characters
    QString driver;             // the capture driver the media framework names ("em28xx"); may be empty
    QStringList codecNames;     // entry 0 is "NONE" once codecs are enumerated
    std::int32_t chosenCodecIndex = -1;
    QList<MediaFormat> formats;
    std::int32_t defaultFormatIndex = -1;
    std::int32_t selectedFormatIndex = -1; // -1 reads as 0
    DeviceHandle sourceDevice{};       // kept for the whole run; every graph makes its source from it
    QList<FactoryHandle> codecFilters{}; // parallel to codecNames; entry 0 (NONE) is empty
};

inline constexpr int kMaxDevices = 10;

struct DeviceTable {
    std::int32_t count = 0;
    std::array<CaptureDevice, kMaxDevices> devices;
    std::int32_t defaultDeviceIndex = -1;
    std::int32_t currentDeviceIndex = -1;
};

// The listed device at index; nullptr for an index outside the listed devices.
CaptureDevice* AttachedDevice(DeviceTable& table, int index);
const CaptureDevice* AttachedDevice(const DeviceTable& table, int index);

// Takes over from an edited copy of the table what the Devices dialog lets the user
// choose: the current device and each device's selected format.
void CommitDeviceSelection(DeviceTable& table, const DeviceTable& edited);

// The next slot that a device being enumerated is written into, emptied; nullptr when
// the table is full, in which case the table-full message is logged and the
// enumeration must stop.
CaptureDevice* FreeDeviceSlot(DeviceTable& table, UserMessageLog& log);
// Counts the free slot as a listed device when it holds at least one format; a device
// without formats leaves its slot to the next one. True when it was counted.
bool CommitDeviceSlot(DeviceTable& table);
