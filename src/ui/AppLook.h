#pragma once

#include <QFont>
#include <QIcon>

// The fonts start-up makes for the windows: each family with a DejaVu stand-in.
struct AppFonts {
    QFont countdown;     // "Tahoma" 72
    QFont buttons;       // "Tahoma" 20
    QFont lists;         // "Consolas" 18
    QFont eventList;     // "Consolas" 16
    QFont powerCountdown; // "Consolas" 28
};

// The icons start-up loads from VelaVideoIcons/; one whose file is missing stays null.
// Dialogs that show them take them as a parameter.
struct AppIcons {
    QIcon logoLarge, logoSmall, folder, folderClear, stop, start;
};
