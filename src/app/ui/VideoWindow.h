#pragma once

#include "capture/CaptureGraph.h"

#include <QImage>
#include <QWidget>
#include <mutex>

class CaptureApp;

// "VelaVideoWindow": the live picture. The window renderer hands it frames on the
// streaming thread; it keeps the newest one and repaints on the UI thread, never making
// the streaming thread wait, and paints it straight from the renderer's buffer (YUY2 and UYVY
// pictures converted on the way, into the window's own surface when it can). The
// picture is painted at (2, 1) with its aspect kept.
class VideoWindow final : public QWidget, public PreviewSink {
    Q_OBJECT
public:
    explicit VideoWindow(QWidget* parent);

    void PresentFrame(std::shared_ptr<const PreviewFrame> frame) override;
    // The newest frame, for tests and screenshots; null before the first.
    QImage LatestFrame() const;
    // Frames received since the window was made.
    std::uint64_t FramesPresented() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(VideoWindow)
    mutable std::mutex m_mutex;
    std::shared_ptr<const PreviewFrame> m_frame;
    std::uint64_t m_frames = 0;
    bool m_repaintPosted = false;
    QImage m_scratch; // converted pictures, when they cannot be written straight in
};

// Sizes the video window to the current device's selected format (or its first) plus 8
// each way, recording the frame size in app. A device without formats leaves no current
// device, hides the window, logs why and gives false.
bool SizeVideoWindowToFormat(CaptureApp& app, QWidget* videoWindow);
