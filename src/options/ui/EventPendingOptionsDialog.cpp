#include "options/ui/EventPendingOptionsDialog.h"

#include "app/CaptureApp.h"
#include "app/ui/ChildWindows.h"
#include "options/AppOptions.h"
#include "options/SettingsRules.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The title pane says which of the two the window shows.
void RepaintCountdownTitle()
{
    const CaptureApp* app = TheCaptureApp();
    if (!app || !app->countdownWindow)
        return;
    CountdownPane* title = app->countdownWindow->Pane(CountdownPaneKind::Title);
    title->show();
    title->update();
}

} // namespace

EventPendingOptionsDialog::EventPendingOptionsDialog(QWidget* parent)
    : QDialog(parent)
    , m_utcAtOpening(Options().ShowEventTimeAsUtc)
{
    PrepareSettingsDialog(*this, QStringLiteral("Event Pending Options"), false);
    auto* layout = new QVBoxLayout(this);
    auto* countdown =
        Named(new QRadioButton(QStringLiteral("Display countdown timer to start of Event recording"), this), "showCountdown");
    m_utc = Named(new QRadioButton(QStringLiteral("Display current UTC time"), this), "showUtc");
    (m_utcAtOpening ? m_utc : countdown)->setChecked(true);
    m_asDefault = Named(new QCheckBox(QStringLiteral("Use selection as application default"), this), "asDefault");
    layout->addWidget(countdown);
    layout->addWidget(m_utc);
    layout->addWidget(m_asDefault);

    auto* ok = MakeDialogButton(this, "confirm", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(m_asDefault, &QCheckBox::toggled, ok,
            [ok](bool on) { ok->setText(on ? QStringLiteral("Save") : QStringLiteral("OK")); });
    connect(ok, &QPushButton::clicked, this, &EventPendingOptionsDialog::Accept);
    AddButtonRow(layout, {ok, MakeCancelButton(*this)});
}

void EventPendingOptionsDialog::Accept()
{
    const int result = ApplyEventPendingChoice(m_utc->isChecked(), m_asDefault->isChecked(), m_utcAtOpening);
    RepaintCountdownTitle();
    done(result);
}

int RunEventPendingOptionsDialog(QWidget* parent)
{
    return ExecSettingsDialog<EventPendingOptionsDialog>(parent);
}
