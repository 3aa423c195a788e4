#pragma once

#include <cstdint>
#include <functional>

// Command ids, fixed by the order in which the menus are filled.
namespace CommandId {
inline constexpr std::uint32_t SaveMessages = 32776;
inline constexpr std::uint32_t SaveMessagesAndClear = 32777;
inline constexpr std::uint32_t Exit = 32778;
inline constexpr std::uint32_t Schedule = 32779;
inline constexpr std::uint32_t EditAndDelete = 32780;
inline constexpr std::uint32_t BrightnessContrast = 32781;
inline constexpr std::uint32_t PixelSaturation = 32782;
inline constexpr std::uint32_t ClockDrift = 32783;
inline constexpr std::uint32_t FrameIntegration = 32784;
inline constexpr std::uint32_t Devices = 32785;
inline constexpr std::uint32_t FileDefaults = 32786;
inline constexpr std::uint32_t DurationDefault = 32787;
inline constexpr std::uint32_t CodecDefault = 32788;
inline constexpr std::uint32_t EventPending = 32789;
inline constexpr std::uint32_t Performance = 32790;
inline constexpr std::uint32_t SetWindowPositions = 32791;
inline constexpr std::uint32_t About = 32792;
} // namespace CommandId

// The modal dialogs that menu commands open.
enum class MenuDialog {
    ScheduleEvent,
    EditEvent, // ScheduleEventDialog in edit mode
    ViewEvents,
    PixelSaturation,
    ClockDrift,
    FrameIntegration,
    DeviceFormat,
    FileOptions,
    DefaultDuration,
    CodecSelector,
    EventPendingOptions,
    PerformanceOptions,
};

// What a dialog command does around its dialog. The program runs the real operations;
// tests put recorders in their place.
struct CommandSteps {
    std::function<int(MenuDialog)> RunDialog;
    std::function<bool()> EventArmed;
    std::function<void()> DisarmEvent;
    std::function<void()> LoadEventSchedule;
    std::function<void()> SaveOptionsAndReport;
    std::function<void()> SaveOptionsFile; // without the failure report
    std::function<void()> RestartGraph;    // StopCapture, and on success StartCapture
    std::function<int()> DeviceCount;
    std::function<bool()> CodecCatalogueExists;
};

// Runs a dialog command and acts on the dialog's result; false when the id names no
// dialog command.
bool RunDialogCommand(std::uint32_t commandId, const CommandSteps& steps);
