#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;
class QSlider;
struct AppOptions;
class FramePipeline;
struct RequestedAnalysis;

// Where the threshold in effect lives, all moved at once: the application's request,
// the in-memory option (what a direct save of the options file writes) and the running
// filter.
struct SaturationThresholdPlaces {
    RequestedAnalysis& request;
    AppOptions& options;
    FramePipeline& pipeline;
};

// "Pixel Saturation": the threshold (50 to 255) at which the preview marks saturated
// pixels. Opening it switches marking on (255 when it was off) and rebuilds the graph;
// the slider then moves the running filter's threshold live. Ends with 1 when the
// threshold became the saved default or marking was removed (save the options), else
// 2; the graph is rebuilt afterwards in every case.
class PixelSaturationDialog final : public QDialog {
    Q_OBJECT
public:
    // restartGraph: StopCapture and, on success, StartCapture.
    PixelSaturationDialog(const SaturationThresholdPlaces& places, std::function<void()> restartGraph,
                          QWidget* parent = nullptr);
    PixelSaturationDialog(const PixelSaturationDialog&) = delete;
    PixelSaturationDialog& operator=(const PixelSaturationDialog&) = delete;

    void reject() override; // Cancel, Escape and closing: the threshold at opening returns

protected:
    void showEvent(QShowEvent* e) override;

private:
    // -1 switches marking off.
    void SetThresholdInEffect(int threshold);
    void BoxClicked(QCheckBox* box, bool checked);
    void Accept();

    SaturationThresholdPlaces m_places;
    int m_thresholdAtOpening = -1;
    bool m_placed = false;
    QSlider* m_slider = nullptr;
    QCheckBox* m_useAsDefault = nullptr;
    QCheckBox* m_remove = nullptr;
    QPushButton* m_first = nullptr;
};

// Opens the dialog modally over parent; it restarts the program's graph on opening.
int RunPixelSaturationDialog(QWidget* parent, const SaturationThresholdPlaces& places, std::function<void()> restartGraph);
