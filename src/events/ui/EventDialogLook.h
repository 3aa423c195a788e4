#pragma once

#include <QFont>

class QDialog;
struct AppIcons;

// The Event dialogs' common frame: a caption with the close box only, the dialog font
// (Tahoma 11 or its fallback) and the large logo when start-up loaded it.
void ApplyEventDialogLook(QDialog& dialog, const AppIcons& icons);

// The Event lists' font: 16-pixel Consolas, DejaVu Sans Mono where it is missing, the
// same request as start-up makes.
QFont EventListFont();
