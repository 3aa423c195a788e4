#pragma once

#include "ui/MenuCommands.h"

class QWidget;
class CaptureApp;

// Opens a command's dialog modally over parent (the main window) with app's operations
// behind it, and gives its result.
int RunMenuDialog(CaptureApp& app, MenuDialog dialog, QWidget* parent);

// The real operations and the real dialogs of app, opened over dialogParent.
CommandSteps ProgramCommandSteps(CaptureApp& app, QWidget* dialogParent);
