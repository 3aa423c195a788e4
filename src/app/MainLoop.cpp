#include "app/MainLoop.h"

#include "app/CaptureApp.h"
#include "recording/RecordingControl.h"

#include <QCoreApplication>
#include <QEvent>

bool MainLoopChecks::eventFilter(QObject* watched, QEvent* e)
{
    CaptureApp* app = TheCaptureApp();
    if (app && app->QuitRequested) {
        QCoreApplication::exit(0);
        return true;
    }
    if (app && app->framePipeline.MeasurementFinished().Take()) {
        app->Analysis.driftMinutes = 0;
        static_cast<void>(app->recording.RestartCapture()); // the graph reports its own failures
    }
    return QObject::eventFilter(watched, e);
}

void WakeMainLoop()
{
    if (QCoreApplication* a = QCoreApplication::instance())
        QCoreApplication::postEvent(a, new QEvent(QEvent::User));
}
