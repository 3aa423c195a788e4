#pragma once

#include "events/EventSchedule.h"
#include "recording/AppState.h"
#include "recording/Scheduler.h"
#include "ui/AppLook.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

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
class GraphControl;
class Clock;
class FramePipeline;
class DriftMeasurement;
class UserMessageLog;
class RecordingUi;
class SchedulerTimers;
class SystemPower;
class LogindPower;
struct AppOptions;
struct DeviceTable;
struct CharacterSetList;
enum class MenuCommand : int;

enum class MenuIndex { File = 0, Events = 1, Display = 2, Options = 3, Help = 4 };

// The one application object, made by main. It owns every part of the program; the
// start-up steps hand each part references to the others it uses. Windows are deleted
// with it, in the order they were made; each holds a reference to it.
class CaptureApp {
public:
    CaptureApp();
    ~CaptureApp();
    CaptureApp(const CaptureApp&) = delete;
    CaptureApp& operator=(const CaptureApp&) = delete;

    // The parts of the program.
    AppOptions& options;
    DeviceTable& devices;
    EventSchedule schedule;
    SchedulerState& scheduler;
    AppState state;
    UserMessageLog& messages;
    std::unique_ptr<CaptureGraph> captureGraph; // null without a device
    GraphControl* graph = nullptr;              // what the scheduler drives: the capture graph, or a test's
    FramePipeline& pipeline;
    DriftMeasurement& drift;
    CharacterSetList& characterSets;
    const Clock& clock;

    // The scheduler's view of the windows and timers, and the power actions.
    std::unique_ptr<RecordingUi> recordingUi;
    std::unique_ptr<SchedulerTimers> schedulerTimers;
    std::unique_ptr<LogindPower> logind;
    std::unique_ptr<SystemPower> power;

    QMenuBar* mainMenuBar = nullptr;
    std::array<QMenu*, 5> menus{}; // File, Events, Display, Options, Help
    QMenu* messagesFileMenu = nullptr;
    bool showMinimised = false; // the show command the process was started with

    DeviceTable* codecCatalogue = nullptr; // the device table once codecs are listed

    QPointer<UserMessagesWindow> userMessagesWindow;
    QPointer<QWidget> videoWindow;
    QPointer<ControlsWindow> controlsWindow;
    QPointer<MainWindow> mainWindow;
    QPointer<CountdownWindow> countdownWindow;
    QPointer<BrightnessContrastWindow> brightnessContrastWindow;

    QPointer<QTimer> countdownTimer; // owned by the main window
    QPointer<QTimer> eventRecordingTimer;
    QPointer<QTimer> startAlarm; // single shot: the recording start between two ticks

    AppFonts fonts;
    AppIcons icons;
    std::int32_t frameWidth = 0; // of the selected format, once the video window is sized
    std::int32_t frameHeight = 0;
    bool simulatedCamera = false;

    // The main menus' action that carries the command, or nullptr.
    QAction* MenuAction(MenuCommand command) const;
    // Points the scheduler at another graph (a test's), or back at the capture graph.
    void UseGraph(GraphControl* other);
};
