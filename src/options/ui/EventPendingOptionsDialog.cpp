#include "options/ui/EventPendingOptionsDialog.h"

#include "options/AppOptions.h"
#include "options/SettingsRules.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

EventPendingOptionsDialog::EventPendingOptionsDialog(AppOptions& options, QWidget* parent,
                                                     std::function<void()> choiceApplied)
    : QDialog(parent)
    , m_options(options)
    , m_choiceApplied(std::move(choiceApplied))
    , m_utcAtOpening(options.ShowEventTimeAsUtc)
{
    PrepareSettingsDialog(*this, QStringLiteral("Event Pending Options"), nullptr);
    auto* layout = new QVBoxLayout(this);
    auto* countdown =
        WithId(new QRadioButton(QStringLiteral("Display countdown timer to start of Event recording"), this),
               "showCountdown");
    m_utc = WithId(new QRadioButton(QStringLiteral("Display current UTC time"), this), "showUtc");
    (m_utcAtOpening ? m_utc : countdown)->setChecked(true);
    m_asDefault = WithId(new QCheckBox(QStringLiteral("Use selection as application default"), this), "asDefault");
    layout->addWidget(countdown);
    layout->addWidget(m_utc);
    layout->addWidget(m_asDefault);

    auto* ok = MakeDialogButton(this, QStringLiteral("OK"), QStringLiteral("confirm"), ButtonEnter::PressesWhenFocused);
    ok->setDefault(true);
    connect(m_asDefault, &QCheckBox::toggled, ok,
            [ok](bool on) { ok->setText(on ? QStringLiteral("Save") : QStringLiteral("OK")); });
    connect(ok, &QPushButton::clicked, this, &EventPendingOptionsDialog::Accept);
    AddButtonRow(layout, {ok, MakeCancelButton(*this)});
}

void EventPendingOptionsDialog::Accept()
{
    const int result = ApplyEventPendingChoice(m_options, m_utc->isChecked(), m_asDefault->isChecked(), m_utcAtOpening);
    if (m_choiceApplied)
        m_choiceApplied();
    done(result);
}

int RunEventPendingOptionsDialog(AppOptions& options, QWidget* parent, std::function<void()> choiceApplied)
{
    return ExecSettingsDialog<EventPendingOptionsDialog>(options, parent, std::move(choiceApplied));
}
