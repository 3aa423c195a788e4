#include "options/ui/DefaultDurationDialog.h"

#include "options/AppOptions.h"
#include "options/SettingsRules.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

DefaultDurationDialog::DefaultDurationDialog(AppOptions& options, QWidget* parent, const AppIcons& icons)
    : QDialog(parent)
    , m_options(options)
{
    PrepareSettingsDialog(*this, QStringLiteral("Default Recording Duration"), &icons);
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("Default Recording Duration (hh:mm:ss):"), this);
    grid->addWidget(WithId(label, "durationLabel"), 0, 0, 1, 2);

    m_picker = WithId(new QTimeEdit(this), "duration");
    m_picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    const CalendarTime& d = m_options.DefaultRecordingDuration;
    // A hand-edited duration beyond the picker's day leaves it at 00:00:00.
    m_picker->setTime(QTime(d.hour, d.minute, d.second));
    grid->addWidget(m_picker, 1, 0, 1, 2);

    auto* save = MakeDialogButton(this, QStringLiteral("Save"), QStringLiteral("save"), ButtonEnter::PressesWhenFocused);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &DefaultDurationDialog::Save);
    grid->addWidget(save, 2, 0);
    grid->addWidget(MakeCancelButton(*this), 2, 1);
}

void DefaultDurationDialog::Save()
{
    // The picker always holds a valid time of day.
    AppOptions& o = m_options;
    const QTime t = m_picker->time();
    o.DefaultRecordingDuration = DefaultDurationValue(t.hour(), t.minute(), t.second());
    o.DefaultDuration = DurationOptionText(o.DefaultRecordingDuration);
    done(kSettingsSaved);
}

int RunDefaultDurationDialog(AppOptions& options, QWidget* parent, const AppIcons& icons)
{
    return ExecSettingsDialog<DefaultDurationDialog>(options, parent, icons);
}
