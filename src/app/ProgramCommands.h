#pragma once

#include "ui/MenuCommands.h"

class QWidget;

// Opens a command's dialog modally over parent (the main window) with the program's
// operations behind it, and gives its result.
int RunMenuDialog(MenuDialog dialog, QWidget* parent);

// The real operations and the real dialogs, opened over dialogParent.
CommandSteps ProgramCommandSteps(QWidget* dialogParent);
