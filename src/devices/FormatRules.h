#pragma once

#include "devices/DeviceTable.h"

#include <QList>
#include <QString>
#include <cstdint>

// Frame interval in 100 ns units from a frame rate numerator / denominator; 0 when
// the numerator is 0.
std::int64_t AvgTimePerFrameOf(std::int32_t numerator, std::int32_t denominator);
// Whole frames per second from a frame interval: rounded up only when the remainder is
// more than half the interval, so that 333,667 reads 30; 0 for no interval.
std::uint32_t FramesPerSecondOf(std::int64_t avgTimePerFrame);
FpsStandard FpsStandardOfRate(std::uint32_t framesPerSecond);
// A format record without its caps: name, rectangle, rate, standard and subtype.
MediaFormat MakeMediaFormat(VideoSubtype subtype, std::int32_t width, std::int32_t height,
                            std::int64_t avgTimePerFrame);

// Both take a format index of -1 as the first format, and nullptr for no device.
QString SubtypeName(const CaptureDevice* device, int formatIndex);
FpsStandard FormatStandardOf(const CaptureDevice* device, int formatIndex);

// Devices whose default settings we know well enough to restrict their format list:
// analog grabbers, known by the names their Windows drivers give them or by their Linux
// capture driver, and the simulator.
bool IsKnownDevice(const QString& name, const QString& driver = {});
// The driver name the simulator camera reports.
inline constexpr char kSimulatorDriver[] = "simulator";

// The label of a device, format or codec list item: a check mark for the stored default
// (a space otherwise), a space, then the name.
QString CheckMarkLabel(bool storedDefault, const QString& name);

struct FormatListEntry {
    int formatIndex = 0;
    QString label; // check mark or space, space, format name
};

struct FormatList {
    QList<FormatListEntry> entries;
    int selectPosition = 0;
};

// The format in use (the selected one, else the first) is always listed when it is of the
// standard asked for, whatever the restriction hides. Where two listed formats share a
// size, each label also gives the subtype and the frame rate.
FormatList ListFormatsForStandard(const CaptureDevice* device, FpsStandard standard, bool restricted);

// The frame rate for people: "29.97", "25", "7.5".
QString FrameRateText(const MediaFormat& format);
