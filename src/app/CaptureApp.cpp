#include "app/CaptureApp.h"

#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "capture/CaptureGraph.h"
#include "common/Clock.h"
#include "devices/DeviceTable.h"
#include "filter/CharacterSet.h"
#include "filter/DriftMeasurement.h"
#include "filter/FramePipeline.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "options/AppOptions.h"
#include "recording/GraphControl.h"
#include "recording/LogindPower.h"
#include "recording/SchedulerHooks.h"

#include <QAction>
#include <QMenu>

CaptureApp::CaptureApp()
    : options(Options())
    , devices(Devices())
    , scheduler(TheSchedulerState())
    , messages(UserMessageLog::Instance())
    , pipeline(TheFramePipeline())
    , drift(TheDriftMeasurement())
    , characterSets(LoadedCharacterSets())
    , clock(AppClock())
{
    SetAppState(&state);
    SetEventSchedule(&schedule);
}

CaptureApp::~CaptureApp()
{
    SetRecordingUi(nullptr);
    SetSchedulerTimers(nullptr);
    SetSystemPower(nullptr);
    SetTheGraph(nullptr);
    // The graph first: it hands frames to the video window.
    captureGraph.reset();
    delete mainWindow;
    delete userMessagesWindow;
    delete controlsWindow;
    delete countdownWindow;
    delete brightnessContrastWindow;
    SetEventSchedule(nullptr);
    SetAppState(nullptr);
}

QAction* CaptureApp::MenuAction(MenuCommand command) const
{
    for (QMenu* m : menus) {
        if (!m)
            continue;
        for (QAction* a : m->actions())
            if (static_cast<MenuCommand>(a->data().toInt()) == command)
                return a;
    }
    return nullptr;
}

void CaptureApp::UseGraph(GraphControl* other)
{
    graph = other ? other : static_cast<GraphControl*>(captureGraph.get());
    SetTheGraph(graph);
}
