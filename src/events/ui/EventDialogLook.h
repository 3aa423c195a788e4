#pragma once

#include <QFont>

class QDialog;
class QWidget;

// The Event dialogs' common frame: a caption with the close box only, the dialog font
// (Tahoma 11 or its fallback) and the application icons when they were loaded.
void ApplyEventDialogLook(QDialog& dialog);

// The 16-pixel Consolas font made at start-up, or the same request without the program.
QFont EventListFont();

// The window that owns the Event dialogs: the given parent, else the main window.
QWidget* EventDialogOwner(QWidget* parent);
