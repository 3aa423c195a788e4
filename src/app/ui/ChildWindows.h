#pragma once

#include "app/CountdownPaneText.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QWidget>
#include <array>

class QPushButton;
class CaptureApp;

// "Event Recording Controls": Start and Stop Recording. It cannot be closed by its frame.
class ControlsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ControlsWindow(CaptureApp& app);
    QPushButton* StartButton() const { return m_start; }
    QPushButton* StopButton() const { return m_stop; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(ControlsWindow)
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
};

// One pane of the countdown window; it paints its text from the scheduler's state.
class CountdownPane final : public QFrame {
    Q_OBJECT
public:
    CountdownPane(const CaptureApp& app, CountdownPaneKind kind, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(CountdownPane)
    const CaptureApp& m_app;
    CountdownPaneKind m_kind;
};

// "Event Pending": the countdown to an armed Event and its three lines. It has no close
// item; it can be minimised.
class CountdownWindow final : public QWidget {
    Q_OBJECT
public:
    explicit CountdownWindow(const CaptureApp& app);
    // Shows and repaints the window and its five panes.
    void ShowCountdownPanes();
    CountdownPane* Pane(CountdownPaneKind kind) const { return m_panes[static_cast<std::size_t>(kind)]; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(CountdownWindow)
    std::array<CountdownPane*, 5> m_panes{};
};

// "Brightness and Contrast": two sliders of the colour control. They and their labels
// exist only while the window is shown.
class BrightnessContrastWindow final : public QWidget {
    Q_OBJECT
public:
    explicit BrightnessContrastWindow(CaptureApp& app);

    // Creates the sliders (range 0..100, position 50) and their labels; the caller shows
    // the window.
    void ShowBrightnessContrast();
    // Resets the colour control to 50/50 when a graph exists, unchecks the menu entry,
    // destroys the sliders and labels and hides the window.
    void HideBrightnessContrast();
    // As a recording starts: the colour reset, the shown flag cleared, the sliders (not
    // the labels) destroyed, the entry unchecked, the window hidden.
    void CloseForRecording();

    QSlider* BrightnessSlider() const { return m_brightness; }
    QSlider* ContrastSlider() const { return m_contrast; }
    QLabel* BrightnessLabel() const { return m_brightnessLabel; }
    QLabel* ContrastLabel() const { return m_contrastLabel; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(BrightnessContrastWindow)
    QSlider* MakeSlider(bool brightness, int y, int failureMessage);
    QLabel* MakeLabel(const QString& text, int y, int failureMessage);
    void DestroySliders();
    void ResetColour();
    void UncheckMenuEntry();

    CaptureApp& m_app;
    QPointer<QSlider> m_brightness;
    QPointer<QSlider> m_contrast;
    QPointer<QLabel> m_brightnessLabel;
    QPointer<QLabel> m_contrastLabel;
};
