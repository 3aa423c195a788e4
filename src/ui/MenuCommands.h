#pragma once

#include <QString>
#include <functional>

// The menu commands. An action carries its command in its data; no file or message
// shows one.
enum class MenuCommand : int {
    SaveMessages,
    SaveMessagesAndClear,
    StartRecording,
    StopRecording,
    Exit,
    Schedule,
    EditAndDelete,
    BrightnessContrast,
    PixelSaturation,
    ClockDrift,
    FrameIntegration,
    Devices,
    FileDefaults,
    DurationDefault,
    CodecDefault,
    EventPending,
    Performance,
    SetWindowPositions,
    About,
};

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
    std::function<void(const QString&)> Log; // a time-stamped User Messages entry
};

// Runs a dialog command and acts on the dialog's result; false when the command opens no
// dialog.
bool RunDialogCommand(MenuCommand command, const CommandSteps& steps);
