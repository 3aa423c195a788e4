#include "events/ui/EventDialogLook.h"

#include "app/CaptureApp.h"
#include "app/ui/MainWindow.h"

#include <QDialog>

void ApplyEventDialogLook(QDialog& dialog)
{
    dialog.setModal(true);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint);
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(11);
    dialog.setFont(font);
    if (const CaptureApp* app = TheCaptureApp(); app && !app->icons.logoLarge.isNull())
        dialog.setWindowIcon(app->icons.logoLarge);
}

QFont EventListFont()
{
    if (const CaptureApp* app = TheCaptureApp())
        return app->fonts.eventList;
    QFont font;
    font.setFamilies({QStringLiteral("Consolas"), QStringLiteral("DejaVu Sans Mono")});
    font.setPixelSize(16);
    return font;
}

QWidget* EventDialogOwner(QWidget* parent)
{
    if (parent)
        return parent;
    const CaptureApp* app = TheCaptureApp();
    return app ? app->mainWindow.data() : nullptr;
}
