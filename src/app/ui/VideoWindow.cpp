#include "app/ui/VideoWindow.h"

#include "app/CaptureApp.h"
#include "capture/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include <QPainter>
#include <utility>

namespace {

// The frame as an image over the renderer's buffer, without a copy.
QImage ImageOf(const PreviewFrame& frame)
{
    return QImage(frame.bgrx, frame.width, frame.height, frame.stride, QImage::Format_RGB32);
}

} // namespace

VideoWindow::VideoWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VelaVideoWindow"));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(p);
    // paintEvent covers every pixel: the grey margin around the picture, and the picture.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void VideoWindow::PresentFrame(std::shared_ptr<const PreviewFrame> frame)
{
    std::shared_ptr<const PreviewFrame> previous; // released outside the lock
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        previous = std::exchange(m_frame, std::move(frame));
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
    return m_frame ? ImageOf(*m_frame).copy() : QImage();
}

std::uint64_t VideoWindow::FramesPresented() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

void VideoWindow::paintEvent(QPaintEvent*)
{
    std::shared_ptr<const PreviewFrame> frame;
    {
        std::lock_guard lock(m_mutex);
        m_repaintPosted = false;
        frame = m_frame;
    }
    QPainter painter(this);
    const QColor margin = palette().color(QPalette::Window);
    if (!frame) {
        painter.fillRect(rect(), margin);
        return;
    }
    const QImage image = ImageOf(*frame);
    const QRect area(2, 1, width() - 8, height() - 8);
    QSize size = image.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.topLeft(), size);
    painter.setClipRegion(QRegion(rect()).subtracted(target));
    painter.fillRect(rect(), margin);
    painter.setClipping(false);
    if (size == image.size())
        painter.drawImage(target.topLeft(), image); // the usual case: one row copy per row
    else
        painter.drawImage(target, image);
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
