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
