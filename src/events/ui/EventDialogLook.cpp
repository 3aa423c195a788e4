#include "events/ui/EventDialogLook.h"

#include "ui/AppLook.h"
#include "ui/DialogSupport.h"

#include <QDialog>

void ApplyEventDialogLook(QDialog& dialog, const AppIcons& icons)
{
    dialog.setModal(true);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint);
    dialog.setFont(DialogFont());
    if (!icons.logoLarge.isNull())
        dialog.setWindowIcon(icons.logoLarge);
}

QFont EventListFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Consolas"), QStringLiteral("DejaVu Sans Mono")});
    font.setPixelSize(16);
    return font;
}
