#include "recording/ui/PowerCountdownDialog.h"

#include "recording/PowerActions.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// The layout is given in dialog units of a 12-point dialog font: about 2 pixels each way.
QRect Units(int x, int y, int w, int h)
{
    return {x * 2, y * 2, w * 2, h * 2};
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect place)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

} // namespace

PowerCountdownDialog::PowerCountdownDialog(bool shutdownTexts, const QFont& countFont, QWidget* parent, int periodMs)
    : QDialog(parent)
{
    setModal(true);
    // A caption with the close box only: no help, minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    QFont dialogFont;
    dialogFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    dialogFont.setPointSize(12);
    setFont(dialogFont);
    setFixedSize(Units(0, 0, 175, 101).size());

    setWindowTitle(shutdownTexts ? QStringLiteral("Shut down") : QStringLiteral("Hibernate"));
    m_cancel = new QPushButton(shutdownTexts ? QStringLiteral("Cancel Shutdown") : QStringLiteral("Cancel Hibernate"), this);
    m_cancel->setGeometry(Units(55, 81, 67, 14));
    // Enter must not cancel: only a deliberate click does.
    m_cancel->setAutoDefault(false);
    m_cancel->setDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(static_cast<int>(CountdownEnd::Cancelled)); });
    MakeLabel(this, shutdownTexts ? QStringLiteral("Shut down in") : QStringLiteral("Hibernate in"), Units(30, 28, 42, 8));
    m_count = MakeLabel(this, QStringLiteral("TIME"), Units(76, 21, 20, 21));
    m_count->setAlignment(Qt::AlignCenter);
    m_count->setFont(countFont);
    MakeLabel(this, QStringLiteral("seconds"), Units(103, 28, 26, 8));
    MakeLabel(this,
              shutdownTexts ? QStringLiteral("unless you select Cancel Shutdown")
                            : QStringLiteral("unless you select Cancel Hibernate"),
              Units(28, 42, 113, 8));

    ShowCounter();
    m_timer.setObjectName(QString::number(kTimerId));
    m_timer.setInterval(periodMs);
    connect(&m_timer, &QTimer::timeout, this, &PowerCountdownDialog::CountdownTick);
    m_timer.start();
}

void PowerCountdownDialog::ShowCounter()
{
    m_count->setText(QStringLiteral("%1").arg(m_counter, 2, 10, QLatin1Char('0')));
}

void PowerCountdownDialog::CountdownTick()
{
    if (--m_counter > 0) {
        ShowCounter();
        return;
    }
    m_timer.stop();
    done(static_cast<int>(CountdownEnd::CountedDown));
}

void PowerCountdownDialog::closeEvent(QCloseEvent* e)
{
    // The frame's close box does not cancel: the action follows at once.
    m_timer.stop();
    done(static_cast<int>(CountdownEnd::ClosedByFrame));
    e->accept();
}

void PowerCountdownDialog::keyPressEvent(QKeyEvent* e)
{
    // Escape and Enter are ignored: a key pressed by chance must not decide the action.
    e->accept();
}

int RunPowerCountdownDialog(bool shutdownTexts, const QFont& countFont, QWidget* parent)
{
    PowerCountdownDialog dialog(shutdownTexts, countFont, parent);
    return dialog.exec();
}
