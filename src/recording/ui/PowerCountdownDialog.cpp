#include "recording/ui/PowerCountdownDialog.h"

#include "recording/PowerActions.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

PowerCountdownDialog::PowerCountdownDialog(bool shutdownTexts, const QFont& countFont, QWidget* parent,
                                           std::chrono::milliseconds period)
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

    setWindowTitle(shutdownTexts ? QStringLiteral("Shut down") : QStringLiteral("Hibernate"));
    m_cancel = new QPushButton(shutdownTexts ? QStringLiteral("Cancel Shutdown") : QStringLiteral("Cancel Hibernate"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    // Enter must not cancel: only a deliberate click does.
    m_cancel->setAutoDefault(false);
    m_cancel->setDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(static_cast<int>(CountdownEnd::Cancelled)); });
    m_count = new QLabel(QStringLiteral("TIME"), this);
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setAlignment(Qt::AlignCenter);
    m_count->setFont(countFont);

    // Laid out rather than placed: the fallback fonts run wider than the ones the dialog
    // was drawn for, and a cut line would hide how to stop the shut-down.
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setContentsMargins(40, 24, 40, 16);
    grid->addWidget(new QLabel(shutdownTexts ? QStringLiteral("Shut down in") : QStringLiteral("Hibernate in"), this), 0,
                    0, Qt::AlignRight);
    grid->addWidget(m_count, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("seconds"), this), 0, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(shutdownTexts ? QStringLiteral("unless you select Cancel Shutdown")
                                             : QStringLiteral("unless you select Cancel Hibernate"),
                               this),
                    1, 0, 1, 3, Qt::AlignCenter);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(m_cancel, 3, 0, 1, 3, Qt::AlignCenter);

    ShowCounter();
    m_timer.setObjectName(QStringLiteral("powerCountdownTimer"));
    m_timer.setInterval(period);
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
