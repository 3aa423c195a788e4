#pragma once

#include "common/Clock.h"
#include "devices/DeviceTable.h"
#include "events/EventEditing.h"
#include "events/EventSchedule.h"
#include "filter/CharacterSet.h"
#include "filter/FramePipeline.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "ui/AppLook.h"

#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class MainWindow;
class UserMessagesWindow;
class ControlsWindow;
class CountdownWindow;
class BrightnessContrastWindow;
class CaptureGraph;
class TimingRecordWriter;
class GraphControl;
class RecordingUi;
class SchedulerTimerSet;
class EventFolderWatch;
class SystemPower;
class LogindPower;
enum class MenuCommand : int;
void WakeMainLoop(); // MainLoop.h, which includes this header

enum class MenuIndex { File = 0, Events = 1, Display = 2, Options = 3, Help = 4 };

// The one application object, made by main. It owns every part of the program; the
// start-up steps hand each part references to the others it uses. Windows are deleted
// with it, in the order they were made; each holds a reference to it.
class CaptureApp {
public:
    // The clock must outlive the application: the program's is the computer's, a test's
    // may stand still.
    explicit CaptureApp(const Clock& clock);
    ~CaptureApp();
    CaptureApp(const CaptureApp&) = delete;
    CaptureApp& operator=(const CaptureApp&) = delete;

    // The parts of the program, in the order they are made; each takes references to the
    // ones before it.
    const Clock& clock;
    AppOptions options;
    DeviceTable devices;
    AppState state;
    UserMessageLog messages{clock};
    CharacterSetList characterSets; // loaded at start-up
    FramePipeline framePipeline{characterSets, messages, clock, &WakeMainLoop};
    EventSchedule eventSchedule;
    SchedulerState schedulerState;
    EventDialogState eventDialogState;
    RecordingControl recording{state, options, messages, clock};
    Scheduler scheduler{schedulerState, state, eventSchedule, options, devices, recording, messages, clock};
    std::unique_ptr<CaptureGraph> captureGraph; // null without a device
    std::unique_ptr<TimingRecordWriter> timingRecords; // of the graph's recordings

    // The scheduler's view of the windows and timers, and the power actions.
    std::unique_ptr<RecordingUi> recordingUi;
    std::unique_ptr<SchedulerTimerSet> schedulerTimers;
    std::unique_ptr<LogindPower> logind;
    std::unique_ptr<SystemPower> power;
    std::unique_ptr<EventFolderWatch> eventFolderWatch; // with a usable camera

    QMenuBar* mainMenuBar = nullptr;
    std::array<QMenu*, 5> menus{}; // File, Events, Display, Options, Help
    QMenu* messagesFileMenu = nullptr;
    bool showMinimised = false; // the show command the process was started with

    DeviceTable* codecCatalogue = nullptr; // the device table once codecs are listed
    std::optional<bool> restrictedFormatsForRun; // the Devices dialog's restriction, kept for the run

    QPointer<UserMessagesWindow> userMessagesWindow;
    QPointer<QWidget> videoWindow;
    QPointer<ControlsWindow> controlsWindow;
    QPointer<MainWindow> mainWindow;
    QPointer<CountdownWindow> countdownWindow;
    QPointer<BrightnessContrastWindow> brightnessContrastWindow;

    AppFonts fonts;
    AppIcons icons;
    std::int32_t frameWidth = 0; // of the selected format, once the video window is sized
    std::int32_t frameHeight = 0;
    bool simulatedCamera = false;
    bool headless = false; // no windows and no display: InitialiseHeadlessApp

    // What the Event dialogs work on.
    EventDialogContext EventDialogs() { return {eventSchedule, eventDialogState, messages, clock, options}; }

    // The main menus' action that carries the command, or nullptr.
    QAction* MenuAction(MenuCommand command) const;
    // Points the scheduler at another graph (a test's), or back at the capture graph.
    void UseGraph(GraphControl* other);
};
