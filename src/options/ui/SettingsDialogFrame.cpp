#include "options/ui/SettingsDialogFrame.h"

#include "app/CaptureApp.h"
#include "app/ui/MainWindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

void PrepareSettingsDialog(QDialog& dialog, const QString& title, bool applicationIcons)
{
    dialog.setModal(true);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    dialog.setWindowTitle(title);
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(11);
    dialog.setFont(font);

    // Start-up made the application's window icon from the two logos when they loaded.
    const CaptureApp* app = TheCaptureApp();
    if (applicationIcons && app && (!app->icons.logoLarge.isNull() || !app->icons.logoSmall.isNull()))
        dialog.setWindowIcon(QApplication::windowIcon());
}

QPushButton* MakeDialogButton(QWidget* parent, const char* name, const QString& text)
{
    return Named(new QPushButton(text, parent), name);
}

QPushButton* MakeCancelButton(QDialog& dialog)
{
    auto* cancel = MakeDialogButton(&dialog, "cancel", QStringLiteral("Cancel"));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return cancel;
}

void AddButtonRow(QBoxLayout* layout, std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    layout->addLayout(row);
}

QWidget* SettingsDialogParent(QWidget* parent)
{
    if (parent)
        return parent;
    const CaptureApp* app = TheCaptureApp();
    return app ? app->mainWindow.data() : nullptr;
}
