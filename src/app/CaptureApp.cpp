#include "app/CaptureApp.h"

#include <QAction>
#include <QMenu>

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

QAction* CaptureApp::MenuAction(std::uint32_t commandId) const
{
    for (QMenu* m : menus) {
        if (!m)
            continue;
        for (QAction* a : m->actions())
            if (a->data().toUInt() == commandId)
                return a;
    }
    return nullptr;
}
