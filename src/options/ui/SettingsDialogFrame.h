#pragma once

#include <QString>
#include <initializer_list>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// What the four settings dialogs share: modal, a caption with the close box only, the
// dialog font (Tahoma 11, DejaVu Sans where Tahoma is not installed), and the
// application icons where the caller asks for them and start-up loaded them.
void PrepareSettingsDialog(QDialog& dialog, const QString& title, bool applicationIcons);

// The results shared by the dialogs.
inline constexpr int kSettingsSaved = 1;
inline constexpr int kSettingsApplied = 2;
inline constexpr int kSettingsCancelled = 3;

// Gives a control its object name.
template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* MakeDialogButton(QWidget* parent, const char* name, const QString& text);
// "Cancel", which rejects the dialog.
QPushButton* MakeCancelButton(QDialog& dialog);
// Puts the buttons in a right-aligned row at the end of the layout.
void AddButtonRow(QBoxLayout* layout, std::initializer_list<QPushButton*> buttons);

// The parent a dialog opens over: the given one, else the main window.
QWidget* SettingsDialogParent(QWidget* parent);

// Runs a dialog modally in its own event loop, so the program's timers keep running,
// and returns its result.
template <class D>
int ExecSettingsDialog(QWidget* parent)
{
    D dialog(SettingsDialogParent(parent));
    return dialog.exec();
}
