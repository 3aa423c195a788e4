#include "AppWindowsFixture.h"

#include "app/Startup.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"

#include <QCoreApplication>

Status FakeGraph::BuildGraph(const QString*, bool)
{
    ++builds;
    return Status::Ok;
}

Status FakeGraph::StopGraph()
{
    ++stops;
    return Status::Ok;
}

Status FakeGraph::SetBrightnessContrast(int brightness, int contrast)
{
    colour.emplace_back(brightness, contrast);
    return Status::Ok;
}

void FakeGraph::Reset()
{
    builds = 0;
    stops = 0;
    colour.clear();
}

void AppWindowsTest::SetUpTestSuite()
{
    s_dir = new ScopedProcessDirectory;
    UserMessageLog::Instance().SetEchoToStderr(false);
    s_app = new CaptureApp;
    ASSERT_EQ(InitialiseApp(*s_app, false), Status::Ok);
    QCoreApplication::processEvents();
}

void EndStartedApp(CaptureApp* app)
{
    delete app->mainWindow;
    delete app->userMessagesWindow;
    delete app->controlsWindow;
    delete app->countdownWindow;
    delete app->brightnessContrastWindow;
    SetCaptureApp(nullptr);
    delete app;
}

void AppWindowsTest::TearDownTestSuite()
{
    EndStartedApp(s_app);
    delete s_dir;
}

void AppWindowsTest::SetUp()
{
    s_app->recording.SetGraph(&m_graph);
    UserMessageLog::Instance().Clear();
}

void AppWindowsTest::TearDown()
{
    s_app->recording.SetGraph(nullptr);
}
