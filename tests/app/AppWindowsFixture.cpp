#include "AppWindowsFixture.h"

#include "app/Startup.h"
#include "messages/UserMessageLog.h"

#include <QCoreApplication>

void AppWindowsTest::SetUpTestSuite()
{
    s_dir = new ScopedProcessDirectory;
    s_app = new CaptureApp;
    s_app->messages.SetEchoToStderr(false);
    s_started = InitialiseApp(*s_app, false);
    QCoreApplication::processEvents();
}

void AppWindowsTest::TearDownTestSuite()
{
    delete s_app;
    delete s_dir;
}

void AppWindowsTest::SetUp()
{
    ASSERT_EQ(s_started, Status::Ok);
    s_app->UseGraph(&m_graph);
    s_app->messages.Clear();
}
