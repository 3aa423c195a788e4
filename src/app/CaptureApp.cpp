#include "app/CaptureApp.h"

namespace {
CaptureApp* g_app = nullptr;
} // namespace

CaptureApp* TheCaptureApp()
{
    return g_app;
}

void SetCaptureApp(CaptureApp* app)
{
    g_app = app;
    SetAppState(app);
}
