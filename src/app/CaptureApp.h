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
#include <QTimer>
#include <array>
#include <cstdint>

class QAction;
class QMenu;
class QMenuBar;
class QMainWindow;
class QPlainTextEdit;
class QWidget;
class MainWindow;
class UserMessagesWindow;
class ControlsWindow;
class CountdownWindow;
class BrightnessContrastWindow;
class CaptureGraph;
enum class MenuCommand : int;
void WakeMainLoop(); // MainLoop.h, which includes this header

enum class MenuIndex { File = 0, Events = 1, Display = 2, Options = 3, Help = 4 };

// The one application object. Windows and menus are owned by Qt's object tree; the
// pointers here are null until created. It lives until the process ends.
struct CaptureApp : AppState {
    QMenuBar* mainMenuBar = nullptr;
    std::array<QMenu*, 5> menus{}; // File, Events, Display, Options, Help
    QMenu* messagesFileMenu = nullptr;
    std::array<std::int32_t, 5> topMenuPositions{-1, -1, -1, -1, -1};
    bool showMinimised = false; // the show command the process was started with

    AppClockView clock;
    CharacterSetList characterSets; // loaded at start-up
    FramePipeline framePipeline{characterSets, UserMessageLog::Instance(), clock, &WakeMainLoop};
    CaptureGraph* captureGraph = nullptr;     // null without a device
    DeviceTable* codecCatalogue = nullptr;    // the device table once codecs are listed

    QPointer<UserMessagesWindow> userMessagesWindow;
    QPointer<QWidget> videoWindow;
    QPointer<ControlsWindow> controlsWindow;
    QPointer<MainWindow> mainWindow;
    QPointer<CountdownWindow> countdownWindow;
    QPointer<BrightnessContrastWindow> brightnessContrastWindow;

    QPointer<QTimer> countdownTimer;      // owned by the main window
    QPointer<QTimer> eventRecordingTimer;
    QPointer<QTimer> startAlarm;          // single shot: the recording start between two ticks

    AppFonts fonts;
    AppIcons icons;
    std::int32_t frameWidth = 0;  // of the selected format, once the video window is sized
    std::int32_t frameHeight = 0;
    bool simulatedCamera = false;

    EventSchedule eventSchedule;
    SchedulerState schedulerState;
    EventDialogState eventDialogState;
    RecordingControl recording{*this, Options(), UserMessageLog::Instance(), clock};
    Scheduler scheduler{schedulerState, *this, eventSchedule, Options(), Devices(), recording,
                        UserMessageLog::Instance(), clock};

    // What the Event dialogs work on.
    EventDialogContext EventDialogs()
    {
        return {eventSchedule, eventDialogState, UserMessageLog::Instance(), clock, Options()};
    }

    // The main menus' action that carries the command, or nullptr.
    QAction* MenuAction(MenuCommand command) const;
};

// The process-wide reference, set at the very start of InitialiseApp.
CaptureApp* TheCaptureApp();
void SetCaptureApp(CaptureApp* app);
