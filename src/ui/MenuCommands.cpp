#include "ui/MenuCommands.h"

#include "messages/UserMessageLog.h"

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
    if (result == 1) { // every listed Event was deleted
        DisarmWhenArmed(s);
        s.LoadEventSchedule();
    } else if (result == 0 && s.RunDialog(MenuDialog::EditEvent) == 1) {
        DisarmWhenArmed(s);
        s.LoadEventSchedule();
    }
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

bool RunDialogCommand(std::uint32_t commandId, const CommandSteps& s)
{
    switch (commandId) {
    case CommandId::Schedule:
        ScheduleCommand(s);
        return true;
    case CommandId::EditAndDelete:
        EditAndDeleteCommand(s);
        return true;
    case CommandId::PixelSaturation:
        // The threshold in effect is restored by the dialog on cancel; the filter takes it
        // at the next build, whatever the result.
        if (s.RunDialog(MenuDialog::PixelSaturation) == 1)
            s.SaveOptionsFile();
        s.RestartGraph();
        return true;
    case CommandId::ClockDrift:
    case CommandId::FrameIntegration:
        if (s.RunDialog(commandId == CommandId::ClockDrift ? MenuDialog::ClockDrift : MenuDialog::FrameIntegration) == 1)
            s.RestartGraph();
        return true;
    case CommandId::Devices:
        if (s.DeviceCount() < 1)
            AppendUserMessage(QStringLiteral("Internal Error detected, no devices\r\n"), true);
        else
            SaveOnOne(s, MenuDialog::DeviceFormat);
        return true;
    case CommandId::FileDefaults:
        SaveOnOne(s, MenuDialog::FileOptions);
        return true;
    case CommandId::DurationDefault:
        SaveOnOne(s, MenuDialog::DefaultDuration);
        return true;
    case CommandId::CodecDefault:
        if (s.CodecCatalogueExists())
            SaveAndRestartOnOne(s, MenuDialog::CodecSelector);
        return true;
    case CommandId::EventPending:
        SaveOnOne(s, MenuDialog::EventPendingOptions);
        return true;
    case CommandId::Performance:
        SaveAndRestartOnOne(s, MenuDialog::PerformanceOptions);
        return true;
    default:
        return false;
    }
}
