#include "options/ui/EventPendingOptionsDialog.h"

#include "options/AppOptions.h"
#include "options/SettingsRules.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

EventPendingOptionsDialog::EventPendingOptionsDialog(QWidget* parent, std::function<void()> choiceApplied)
    : QDialog(parent)
    , m_choiceApplied(std::move(choiceApplied))
    , m_utcAtOpening(Options().ShowEventTimeAsUtc)
{
    PrepareSettingsDialog(*this, QStringLiteral("Event Pending Options"), nullptr);
    auto* layout = new QVBoxLayout(this);
    auto* countdown =
        WithId(new QRadioButton(QStringLiteral("Display countdown timer to start of Event recording"), this), 1149);
    m_utc = WithId(new QRadioButton(QStringLiteral("Display current UTC time"), this), 1150);
    (m_utcAtOpening ? m_utc : countdown)->setChecked(true);
    m_asDefault = WithId(new QCheckBox(QStringLiteral("Use selection as application default"), this), 1151);
    layout->addWidget(countdown);
    layout->addWidget(m_utc);
    layout->addWidget(m_asDefault);

    auto* ok = MakeDialogButton(this, 1074, QStringLiteral("OK"));
    ok->setDefault(true);
    connect(m_asDefault, &QCheckBox::toggled, ok,
            [ok](bool on) { ok->setText(on ? QStringLiteral("Save") : QStringLiteral("OK")); });
    connect(ok, &QPushButton::clicked, this, &EventPendingOptionsDialog::Accept);
    AddButtonRow(layout, {ok, MakeCancelButton(*this)});
}

void EventPendingOptionsDialog::Accept()
{
    const int result = ApplyEventPendingChoice(m_utc->isChecked(), m_asDefault->isChecked(), m_utcAtOpening);
    if (m_choiceApplied)
        m_choiceApplied();
    done(result);
}

int RunEventPendingOptionsDialog(QWidget* parent, std::function<void()> choiceApplied)
{
    return ExecSettingsDialog<EventPendingOptionsDialog>(parent, std::move(choiceApplied));
}
