#include "app/ui/ChildWindows.h"

#include "app/CaptureApp.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {
void LightGrey(QWidget* w)
{
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    w->setPalette(p);
}

constexpr Qt::WindowFlags kNoCloseItem =
    Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint;
} // namespace

ControlsWindow::ControlsWindow()
{
    setObjectName(QStringLiteral("IconWindow"));
    setWindowTitle(QStringLiteral("Event Recording Controls"));
    setWindowFlags(kNoCloseItem);
    LightGrey(this);
    move(150, 150);
    resize(224, 144);
    m_start = new QPushButton(QStringLiteral("Start\nRecording"), this);
    m_start->setObjectName(QStringLiteral("StartButton"));
    m_start->setGeometry(3, 3, 100, 100);
    m_stop = new QPushButton(QStringLiteral("Stop\nRecording"), this);
    m_stop->setObjectName(QStringLiteral("StopButton"));
    m_stop->setGeometry(106, 3, 100, 100);
    m_stop->setEnabled(false);
    if (const CaptureApp* app = TheCaptureApp()) {
        for (QPushButton* b : {m_start, m_stop})
            b->setIconSize(QSize(64, 64));
        m_start->setIcon(app->icons.start);
        m_stop->setIcon(app->icons.stop);
    }
}

void ControlsWindow::closeEvent(QCloseEvent* e)
{
    e->ignore();
}

CountdownWindow::CountdownWindow()
{
    setObjectName(QStringLiteral("CountdownWindow"));
    setWindowTitle(QStringLiteral("Event Pending"));
    setWindowFlags(kNoCloseItem | Qt::WindowMinimizeButtonHint);
    LightGrey(this);
    move(100, 600);
    resize(318, 266);
}

void CountdownWindow::closeEvent(QCloseEvent* e)
{
    e->ignore();
}

BrightnessContrastWindow::BrightnessContrastWindow()
{
    setObjectName(QStringLiteral("BrightnessContrast"));
    setWindowTitle(QStringLiteral("Brightness and Contrast"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    LightGrey(this);
    move(100, 700);
    resize(310, 270);
}
