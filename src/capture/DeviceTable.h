#pragma once

#include "common/Status.h"
#include "options/AppOptions.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>

struct MediaFormat {
    QString name; // "720x480"
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t framesPerSecond = 0; // 0 when unknown
    std::int64_t avgTimePerFrame = 0;  // 100 ns units
    FpsStandard standard = FpsStandard::OTHER;
    VideoSubtype subtype = VideoSubtype::OTHER;
};

struct CaptureDevice {
    QString name;               // at most 255 characters
    QStringList codecNames;     // entry 0 is "NONE" once codecs are enumerated
    std::int32_t chosenCodecIndex = -1;
    QList<MediaFormat> formats;
    std::int32_t defaultFormatIndex = -1;
    std::int32_t selectedFormatIndex = -1; // -1 reads as 0
};

inline constexpr int kMaxDevices = 10;

struct DeviceTable {
    std::int32_t count = 0;
    std::array<CaptureDevice, kMaxDevices> devices;
    std::int32_t defaultDeviceIndex = -1;
    std::int32_t currentDeviceIndex = -1;
};

// The one device table; fixed after start-up.
DeviceTable& Devices();
// Empties every slot; no current or default device.
void ClearDeviceTable();
