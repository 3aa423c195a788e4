#include "app/CaptureApp.h"

#include "capture/CaptureGraph.h"
#include "recording/GraphControl.h"

#include <QAction>
#include <QMenu>

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
    recording.SetGraph(other ? other : static_cast<GraphControl*>(captureGraph.get()));
}
