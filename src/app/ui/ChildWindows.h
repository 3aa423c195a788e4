#pragma once

#include <QWidget>

class QPushButton;

// "Event Recording Controls": Start and Stop Recording. It cannot be closed by its frame.
class ControlsWindow final : public QWidget {
    Q_OBJECT
public:
    ControlsWindow();
    QPushButton* StartButton() const { return m_start; }
    QPushButton* StopButton() const { return m_stop; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(ControlsWindow)
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
};

// "Event Pending": the countdown to an armed Event. It has no close item.
class CountdownWindow final : public QWidget {
    Q_OBJECT
public:
    CountdownWindow();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(CountdownWindow)
};

// "Brightness and Contrast": the two sliders of the colour control.
class BrightnessContrastWindow final : public QWidget {
    Q_OBJECT
public:
    BrightnessContrastWindow();

private:
    Q_DISABLE_COPY_MOVE(BrightnessContrastWindow)
};
