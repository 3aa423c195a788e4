#pragma once

#include "ui/AppLook.h"
#include "ui/DialogSupport.h"

#include <QString>
#include <initializer_list>
#include <utility>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// What the four settings dialogs share: modal, a caption with the close box only, the
// dialog font (Tahoma 11, DejaVu Sans where Tahoma is not installed), and the
// application's window icon where the dialog shows it (applicationIcons given) and
// start-up made it from the logos.
void PrepareSettingsDialog(QDialog& dialog, const QString& title, const AppIcons* applicationIcons);

// The results shared by the dialogs.
inline constexpr int kSettingsSaved = 1;
inline constexpr int kSettingsApplied = 2;
inline constexpr int kSettingsCancelled = 3;

// "Cancel", which rejects the dialog.
QPushButton* MakeCancelButton(QDialog& dialog);
// Puts the buttons in a right-aligned row at the end of the layout.
void AddButtonRow(QBoxLayout* layout, std::initializer_list<QPushButton*> buttons);

// Runs a dialog made from the arguments modally in its own event loop, so the program's
// timers keep running, and returns its result.
template <class D, class... Arguments>
int ExecSettingsDialog(Arguments&&... arguments)
{
    D dialog(std::forward<Arguments>(arguments)...);
    return dialog.exec();
}
