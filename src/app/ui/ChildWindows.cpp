#include "app/ui/ChildWindows.h"

#include "app/CaptureApp.h"
#include "messages/MessageTables.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "ui/MenuCommands.h"

#include <QAction>
#include <QCloseEvent>
#include <algorithm>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <new>

namespace {

const QColor kLightGrey(192, 192, 192);

void LightGrey(QWidget* w)
{
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, kLightGrey);
    p.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(p);
}

constexpr Qt::WindowFlags kNoCloseItem =
    Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint;

// `what` names the button for the mouse pointer and for screen readers, also when its
// icon shows alone (the text would not fit beside a 64-pixel icon).
QPushButton* MakeControlButton(const QString& text, const QString& what, int x, const QIcon& icon, const QFont& font,
                               QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setGeometry(x, 3, 100, 100);
    b->setFont(font);
    b->setToolTip(what);
    b->setAccessibleName(what);
    if (!icon.isNull()) {
        b->setIcon(icon);
        b->setIconSize(QSize(64, 64));
        b->setText(QString());
    }
    return b;
}

struct PanePlace {
    CountdownPaneKind kind;
    int y, height;
    bool bordered;
};

constexpr PanePlace kPanes[] = {
    {CountdownPaneKind::Countdown, 29, 110, false}, {CountdownPaneKind::Title, 0, 29, false},
    {CountdownPaneKind::StartLine, 139, 30, true},  {CountdownPaneKind::EventLine, 168, 30, true},
    {CountdownPaneKind::EndLine, 197, 30, true},
};

// Sliders report line, page and drag moves at the new position; the thumb's release and
// the jumps to either end leave the colour as it is.
bool TakesPosition(int action)
{
    switch (action) {
    case QAbstractSlider::SliderMove:
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderPageStepSub:
        return true;
    default:
        return false;
    }
}

} // namespace

ControlsWindow::ControlsWindow(CaptureApp& app)
{
    setObjectName(QStringLiteral("IconWindow"));
    setWindowTitle(QStringLiteral("Event Recording Controls"));
    setWindowFlags(kNoCloseItem);
    LightGrey(this);
    move(150, 150);
    resize(224, 144);
    m_start = MakeControlButton(QStringLiteral("Start\nRecording"), QStringLiteral("Start recording"), 3, app.icons.start,
                                app.fonts.buttons, this);
    m_start->setObjectName(QStringLiteral("StartButton"));
    m_stop = MakeControlButton(QStringLiteral("Stop\nRecording"), QStringLiteral("Stop recording"), 106, app.icons.stop,
                               app.fonts.buttons, this);
    m_stop->setObjectName(QStringLiteral("StopButton"));
    m_stop->setEnabled(false);
    connect(m_start, &QPushButton::clicked, this, [&app] { app.scheduler.StartButtonPressed(); });
    connect(m_stop, &QPushButton::clicked, this, [&app] { app.scheduler.StopButtonPressed(); });
}

void ControlsWindow::closeEvent(QCloseEvent* e)
{
    e->ignore();
}

CountdownPane::CountdownPane(const CaptureApp& app, CountdownPaneKind kind, QWidget* parent)
    : QFrame(parent)
    , m_app(app)
    , m_kind(kind)
{
}

void CountdownPane::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    QPainter p(this);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(kLightGrey);
    p.setPen(Qt::black);
    const bool countdown = m_kind == CountdownPaneKind::Countdown;
    p.setFont(countdown ? m_app.fonts.countdown : m_app.fonts.lists);
    // Drawn from the top-left corner of the text, as the positions are given.
    const QPoint at = countdown ? QPoint(25, 17) : m_kind == CountdownPaneKind::Title ? QPoint(10, 12) : QPoint(10, 5);
    const QString text = CountdownPaneText(m_kind, m_app.schedulerState, m_app.options.ShowEventTimeAsUtc,
                                           m_app.state.EventRecordingActive);
    // The fallback fonts run wider than the ones the panes were laid out for: shrink the
    // text to the pane rather than cut off the seconds or the time of day.
    const int room = width() - at.x() - 4;
    const int wide = p.fontMetrics().horizontalAdvance(text);
    if (wide > room && room > 0) {
        QFont smaller = p.font();
        const int pixels = smaller.pixelSize() > 0 ? smaller.pixelSize() : p.fontMetrics().height();
        smaller.setPixelSize(std::max(8, pixels * room / wide));
        p.setFont(smaller);
    }
    p.drawText(QRect(at, size()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

CountdownWindow::CountdownWindow(const CaptureApp& app)
{
    setObjectName(QStringLiteral("CountdownWindow"));
    setWindowTitle(QStringLiteral("Event Pending"));
    setWindowFlags(kNoCloseItem | Qt::WindowMinimizeButtonHint);
    LightGrey(this);
    move(100, 600);
    resize(318, 266);
    for (const PanePlace& place : kPanes) {
        auto* pane = new CountdownPane(app, place.kind, this);
        pane->setGeometry(0, place.y, 306, place.height);
        if (place.bordered)
            pane->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_panes[static_cast<std::size_t>(place.kind)] = pane;
    }
}

void CountdownWindow::ShowCountdownPanes()
{
    for (CountdownPane* pane : m_panes) {
        pane->show();
        pane->update();
    }
    show();
    update();
}

void CountdownWindow::closeEvent(QCloseEvent* e)
{
    e->ignore();
}

BrightnessContrastWindow::BrightnessContrastWindow(CaptureApp& app)
    : m_app(app)
{
    setObjectName(QStringLiteral("BrightnessContrast"));
    setWindowTitle(QStringLiteral("Brightness and Contrast"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    LightGrey(this);
    move(100, 700);
    resize(310, 270);
}

QSlider* BrightnessContrastWindow::MakeSlider(bool brightness, int y, int failureMessage)
{
    auto* slider = new (std::nothrow) QSlider(Qt::Horizontal, this);
    if (!slider) {
        ReportAppMessage(m_app.messages, failureMessage);
        return nullptr;
    }
    slider->setObjectName(brightness ? QStringLiteral("brightnessSlider") : QStringLiteral("contrastSlider"));
    slider->setGeometry(20, y, 250, 40);
    slider->setRange(0, 100);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(25);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setValue(50);
    connect(slider, &QSlider::actionTriggered, this, [this, slider, brightness](int action) {
        GraphControl* graph = m_app.recording.Graph();
        if (!graph || !TakesPosition(action))
            return;
        // The position the action leads to; the value follows only after this signal.
        const int position = slider->sliderPosition();
        // Without a colour control the sliders are never made, so there is no result to act on.
        static_cast<void>(brightness ? graph->SetBrightnessContrast(position, -1)
                                     : graph->SetBrightnessContrast(-1, position));
    });
    slider->show();
    return slider;
}

QLabel* BrightnessContrastWindow::MakeLabel(const QString& text, int y, int failureMessage)
{
    auto* label = new (std::nothrow) QLabel(text, this);
    if (!label) {
        ReportAppMessage(m_app.messages, failureMessage);
        return nullptr;
    }
    label->setGeometry(20, y, 250, 30);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(m_app.fonts.lists);
    LightGrey(label);
    label->show();
    return label;
}

void BrightnessContrastWindow::ShowBrightnessContrast()
{
    // Labels that a recording's close left in the window are replaced, not doubled.
    delete m_brightnessLabel;
    delete m_contrastLabel;
    m_brightness = MakeSlider(true, 30, 11);
    m_contrast = MakeSlider(false, 150, 12);
    m_brightnessLabel = MakeLabel(QStringLiteral("Brightness"), 70, 13);
    m_contrastLabel = MakeLabel(QStringLiteral("Contrast"), 190, 14);
}

void BrightnessContrastWindow::UncheckMenuEntry()
{
    if (!m_app.mainWindow.isNull())
        if (QAction* a = m_app.MenuAction(MenuCommand::BrightnessContrast))
            a->setChecked(false);
}

void BrightnessContrastWindow::ResetColour()
{
    if (GraphControl* graph = m_app.recording.Graph())
        static_cast<void>(graph->SetBrightnessContrast(50, 50)); // without a colour control there is nothing to reset
}

void BrightnessContrastWindow::DestroySliders()
{
    delete m_brightness;
    delete m_contrast;
}

void BrightnessContrastWindow::HideBrightnessContrast()
{
    ResetColour();
    UncheckMenuEntry();
    DestroySliders();
    delete m_brightnessLabel;
    delete m_contrastLabel;
    hide();
}

void BrightnessContrastWindow::CloseForRecording()
{
    if (!m_app.state.BrightnessContrastShown)
        return;
    ResetColour();
    m_app.state.BrightnessContrastShown = false;
    DestroySliders();
    UncheckMenuEntry();
    hide();
}

void BrightnessContrastWindow::closeEvent(QCloseEvent* e)
{
    HideBrightnessContrast();
    m_app.state.BrightnessContrastShown = false;
    m_app.recording.RestartGraph();
    e->accept();
}
