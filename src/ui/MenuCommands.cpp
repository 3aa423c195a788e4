#include "ui/MenuCommands.h"

namespace {

void DisarmWhenArmed(const CommandSteps& s)
{
    if (s.EventArmed())
        s.DisarmEvent();
}

void ScheduleCommand(const CommandSteps& s)
{
    // Any result rebuilds; only a saved Event disarms first, so a cancel re-arms the
    // soonest Event without a disarm.
    if (s.RunDialog(MenuDialog::ScheduleEvent) == 1)
        DisarmWhenArmed(s);
    s.LoadEventSchedule();
}

// As after Schedule..., the folder is read again however the dialogs end, so an Event
// file copied in by hand is taken up by either command; only a change disarms first.
void EditAndDeleteCommand(const CommandSteps& s)
{
    int result = s.RunDialog(MenuDialog::ViewEvents);
    // 2: some Events were deleted and rows remain; 4: the expired Events were toggled.
    while (result == 2 || result == 4) {
        if (result == 2)
            DisarmWhenArmed(s);
        s.LoadEventSchedule();
        result = s.RunDialog(MenuDialog::ViewEvents);
    }
    // 1: every listed Event was deleted; 0: one was chosen for editing.
    if (result == 1 || (result == 0 && s.RunDialog(MenuDialog::EditEvent) == 1))
        DisarmWhenArmed(s);
    s.LoadEventSchedule();
}

void SaveOnOne(const CommandSteps& s, MenuDialog dialog)
{
    if (s.RunDialog(dialog) == 1)
        s.SaveOptionsAndReport();
}

// 1: save and restart; 2: restart only (applied for this run).
void SaveAndRestartOnOne(const CommandSteps& s, MenuDialog dialog)
{
    const int result = s.RunDialog(dialog);
    if (result == 1)
        s.SaveOptionsAndReport();
    if (result == 1 || result == 2)
        s.RestartGraph();
}

} // namespace

bool RunDialogCommand(MenuCommand command, const CommandSteps& s)
{
    switch (command) {
    case MenuCommand::Schedule:
        ScheduleCommand(s);
        return true;
    case MenuCommand::EditAndDelete:
        EditAndDeleteCommand(s);
        return true;
    case MenuCommand::PixelSaturation:
        // The threshold in effect is restored by the dialog on cancel; the filter takes it
        // at the next build, whatever the result.
        if (s.RunDialog(MenuDialog::PixelSaturation) == 1)
            s.SaveOptionsFile();
        s.RestartGraph();
        return true;
    case MenuCommand::ClockDrift:
    case MenuCommand::FrameIntegration:
        if (s.RunDialog(command == MenuCommand::ClockDrift ? MenuDialog::ClockDrift : MenuDialog::FrameIntegration) == 1)
            s.RestartGraph();
        return true;
    case MenuCommand::Devices:
        if (s.DeviceCount() < 1)
            s.Log(QStringLiteral("Internal Error detected, no devices\r\n"));
        else
            SaveOnOne(s, MenuDialog::DeviceFormat);
        return true;
    case MenuCommand::FileDefaults:
        SaveOnOne(s, MenuDialog::FileOptions);
        return true;
    case MenuCommand::DurationDefault:
        SaveOnOne(s, MenuDialog::DefaultDuration);
        return true;
    case MenuCommand::CodecDefault:
        if (s.CodecCatalogueExists())
            SaveAndRestartOnOne(s, MenuDialog::CodecSelector);
        return true;
    case MenuCommand::EventPending:
        SaveOnOne(s, MenuDialog::EventPendingOptions);
        return true;
    case MenuCommand::Performance:
        SaveAndRestartOnOne(s, MenuDialog::PerformanceOptions);
        return true;
    default:
        return false;
    }
}
