#include "app/MainLoop.h"

#include "app/CaptureApp.h"
#include "recording/RecordingControl.h"
#include "recording/SchedulerTimerSet.h"

#include <QCoreApplication>
#include <QEvent>

bool MainLoopChecks::eventFilter(QObject* watched, QEvent* e)
{
    if (m_app.state.QuitRequested) {
        QCoreApplication::exit(0);
        return true;
    }
    if (m_app.framePipeline.MeasurementFinished().Take()) {
        m_app.state.Analysis.driftMinutes = 0;
        static_cast<void>(m_app.recording.RestartCapture()); // the graph reports its own failures
    }
    return QObject::eventFilter(watched, e);
}

void WakeMainLoop()
{
    if (QCoreApplication* a = QCoreApplication::instance())
        QCoreApplication::postEvent(a, new QEvent(QEvent::User));
}

void EndProgramNow(CaptureApp& app)
{
    if (app.schedulerTimers)
        app.schedulerTimers->KillAll();
    // A failure has been reported by the graph; the program ends all the same.
    static_cast<void>(app.recording.StopCapture());
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}
