#include "app/ui/VideoWindow.h"

#include "app/CaptureApp.h"
#include "capture/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include <QPainter>
#include <cstring>

VideoWindow::VideoWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VelaVideoWindow"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(p);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void VideoWindow::PresentFrame(const std::uint8_t* bgrx, int width, int height, int stride)
{
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_frame.width() != width || m_frame.height() != height)
            m_frame = QImage(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            std::memcpy(m_frame.scanLine(y), bgrx + static_cast<std::ptrdiff_t>(y) * stride,
                        static_cast<std::size_t>(width) * 4);
        ++m_frames;
        post = !m_repaintPosted;
        m_repaintPosted = true;
    }
    if (post)
        QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

QImage VideoWindow::LatestFrame() const
{
    std::lock_guard lock(m_mutex);
    return m_frame.copy();
}

std::uint64_t VideoWindow::FramesPresented() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

void VideoWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    std::lock_guard lock(m_mutex);
    m_repaintPosted = false;
    if (m_frame.isNull())
        return;
    const QRect area(2, 1, width() - 8, height() - 8);
    QSize size = m_frame.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(area.topLeft(), size), m_frame);
}

bool SizeVideoWindowToFormat(QWidget* videoWindow)
{
    DeviceTable& table = Devices();
    CaptureDevice& device = table.devices[static_cast<std::size_t>(table.currentDeviceIndex)];
    if (device.formats.isEmpty()) {
        table.currentDeviceIndex = -1;
        device.selectedFormatIndex = -1;
        if (videoWindow)
            videoWindow->hide();
        AppendUserMessage(QStringLiteral("Selected camera (or the only attached camera) has no supported media formats.\r\n"),
                          true);
        return false;
    }
    const MediaFormat& f = device.formats[device.selectedFormatIndex < 0 ? 0 : device.selectedFormatIndex];
    if (CaptureApp* app = TheCaptureApp()) {
        app->frameWidth = f.width;
        app->frameHeight = f.height;
    }
    if (videoWindow)
        videoWindow->resize(f.width + 8, f.height + 8);
    return true;
}
