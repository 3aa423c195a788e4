#include "options/ui/SettingsDialogFrame.h"

#include "ui/AppLook.h"
#include "ui/DialogSupport.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

void PrepareSettingsDialog(QDialog& dialog, const QString& title, const AppIcons* applicationIcons)
{
    PrepareModalDialog(dialog, title);
    // Start-up made the application's window icon from the two logos when they loaded.
    if (applicationIcons && (!applicationIcons->logoLarge.isNull() || !applicationIcons->logoSmall.isNull()))
        dialog.setWindowIcon(QApplication::windowIcon());
}

QPushButton* MakeCancelButton(QDialog& dialog)
{
    auto* cancel = MakeDialogButton(&dialog, QStringLiteral("Cancel"), QStringLiteral("cancel"), ButtonEnter::PressesWhenFocused);
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
