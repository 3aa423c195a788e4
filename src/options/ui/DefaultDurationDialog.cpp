#include "options/ui/DefaultDurationDialog.h"

#include "options/AppOptions.h"
#include "options/SettingsRules.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

DefaultDurationDialog::DefaultDurationDialog(QWidget* parent, const AppIcons& icons)
    : QDialog(parent)
{
    PrepareSettingsDialog(*this, QStringLiteral("Default Recording Duration"), &icons);
    auto* grid = new QGridLayout(this);
    grid->addWidget(WithId(new QLabel(QStringLiteral("Default Recording Duration (hh:mm:ss):"), this), 1027), 0, 0, 1, 2);

    m_picker = WithId(new QTimeEdit(this), 1029);
    m_picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    const CalendarTime& d = Options().DefaultRecordingDuration;
    // A hand-edited duration beyond the picker's day leaves it at 00:00:00.
    m_picker->setTime(QTime(d.hour, d.minute, d.second));
    grid->addWidget(m_picker, 1, 0, 1, 2);

    auto* save = MakeDialogButton(this, 1074, QStringLiteral("Save"));
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &DefaultDurationDialog::Save);
    grid->addWidget(save, 2, 0);
    grid->addWidget(MakeCancelButton(*this), 2, 1);
}

void DefaultDurationDialog::Save()
{
    // The picker always holds a valid time of day.
    AppOptions& o = Options();
    const QTime t = m_picker->time();
    o.DefaultRecordingDuration = DefaultDurationValue(t.hour(), t.minute(), t.second());
    o.DefaultDuration = DurationOptionText(o.DefaultRecordingDuration);
    done(kSettingsSaved);
}

int RunDefaultDurationDialog(QWidget* parent, const AppIcons& icons)
{
    return ExecSettingsDialog<DefaultDurationDialog>(parent, icons);
}
