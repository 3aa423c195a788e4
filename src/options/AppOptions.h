#pragma once

#include "common/CalendarTime.h"

#include <QList>
#include <QString>
#include <cstdint>

enum class FpsStandard : std::int32_t { NTSC = 0, PAL = 1, OTHER = 2 };
enum class VideoSubtype : std::int32_t { MJPG = 0, RGB24 = 1, UYVY = 2, YUY2 = 3, ARGB32 = 4, OTHER = 5 };
// The preview renderer the user chose: the video window's own painting, or an X11
// overlay through XVideo or plain X. The options file stores them as "EVR", "VMR9" and
// "VMR7" (read and written in OptionsFile.cpp), and the Performance dialog labels them so.
enum class VideoRenderer : std::int32_t { Window = 0, XVideoOverlay = 1, XOverlay = 2 };

// Capacities in UTF-16 units, the terminating zero included, as the files and the
// rest of the program rely on them.
inline constexpr int kPrefixCapacity = 21;
inline constexpr int kFolderCapacity = 512;
inline constexpr int kDeviceNameCapacity = 256;
inline constexpr int kCodecNameCapacity = 128;
inline constexpr int kSizeTextCapacity = 256;
inline constexpr int kShortTextCapacity = 20;

struct DeviceCodecPair {
    QString device;
    QString codec;
};

struct DeviceFormatPair {
    QString device;
    QString size;
    FpsStandard fps = FpsStandard::OTHER;
    VideoSubtype subtype = VideoSubtype::OTHER;
};

struct WindowPosition4 {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const WindowPosition4&, const WindowPosition4&) = default;
};

struct WindowPosition2 {
    std::int32_t left = 0, top = 0;
    friend bool operator==(const WindowPosition2&, const WindowPosition2&) = default;
};

struct AppOptions {
    QString VideoNamePrefix;
    QString VideoDirectory;
    QString LogfileNamePrefix;
    QString LogfileDirectory;
    QString DefaultDevice;
    QList<DeviceCodecPair> DeviceCodecPairs;
    QList<DeviceFormatPair> DeviceFormatPairs;
    bool UseDefaultDeviceSettings = true;
    QString DefaultDuration;
    QString EventPendingDisplay;
    std::int32_t PixelSaturationValue = -1;
    WindowPosition4 MainWindowPosition{100, 100, 660, 540};
    WindowPosition4 MessageWindowPosition{50, 50, 700, 460};
    WindowPosition2 ControlsWindowPosition{150, 150};
    WindowPosition2 DialogWindowPosition{100, 300};
    WindowPosition2 CountdownWindowPosition{100, 600};
    WindowPosition2 BrightnessContrastWindowPosition{100, 700};
    bool DisplayOffWhileRecording = false;
    bool FilePreAllocation = false;
    std::uint32_t ManualAllocationGB = 0;
    std::uint32_t EventAllocationGB = 0;
    VideoRenderer DefaultRenderer = VideoRenderer::Window;

    // Derived at run time, never written to the file.
    bool OptionsLoadedFromFile = false;
    CalendarTime DefaultRecordingDuration{1943, 5, 1, 3, 0, 10, 0, 0};
    bool HasDefaultDevice = false;
    bool ShowEventTimeAsUtc = false;
    // The remembered saturation threshold that menu-level saves write in place of the
    // one in effect: -1 until a default is set.
    std::int32_t SaturationDefault = -1;
};

// Built-in defaults; text fields empty, the pair lists untouched.
void SetOptionDefaults(AppOptions& options);

// 0 h 10 min 0 s on 3 May 1943, a Monday, so a time picker accepts it.
CalendarTime DefaultDurationValue(int hours = 0, int minutes = 10, int seconds = 0);
