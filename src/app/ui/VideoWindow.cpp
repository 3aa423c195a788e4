#include "app/ui/VideoWindow.h"

#include "app/CaptureApp.h"
#include "app/StartupSteps.h"
#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include <QPaintEngine>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// The frame as a 32-bit image: over the renderer's buffer when it is one already,
// otherwise converted into scratch (kept for the next frame of the same size).
QImage ImageOf(const PreviewFrame& frame, QImage& scratch)
{
    if (frame.layout == PreviewFrame::Layout::Rgb32)
        return QImage(frame.pixels, frame.width, frame.height, frame.stride, QImage::Format_RGB32);
    if (scratch.size() != QSize(frame.width, frame.height) || scratch.format() != QImage::Format_RGB32)
        scratch = QImage(frame.width, frame.height, QImage::Format_RGB32);
    frame.ToRgb32(scratch.bits(), static_cast<int>(scratch.bytesPerLine()), 0, 0, frame.width, frame.height);
    return scratch;
}

// Writes the frame 1:1 at target straight into the surface the painter draws on, when
// that is a plain 32-bit raster image the whole target may be drawn into: one pass from
// the renderer's buffer to the window's, with no picture in between. False: nothing
// written, paint through an image.
bool WriteIntoSurface(QPainter& painter, const PreviewFrame& frame, const QRect& target)
{
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return false;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return false;
    auto* surface = static_cast<QImage*>(device);
    if ((surface->format() != QImage::Format_RGB32 && surface->format() != QImage::Format_ARGB32_Premultiplied)
        || surface->devicePixelRatio() != 1.0 || !surface->isDetached())
        return false;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate)
        return false;
    const QRect onSurface = transform.mapRect(target);
    if (!surface->rect().contains(onSurface))
        return false;
    const QRegion clip = engine->systemClip();
    if (!clip.isEmpty() && !QRegion(onSurface).subtracted(clip).isEmpty())
        return false;
    const auto line = static_cast<int>(surface->bytesPerLine());
    std::uint8_t* first = surface->bits() + static_cast<std::ptrdiff_t>(onSurface.y()) * line + onSurface.x() * 4;
    frame.ToRgb32(first, line, 0, 0, target.width(), target.height());
    return true;
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
    std::shared_ptr<const PreviewFrame> frame;
    {
        std::lock_guard lock(m_mutex);
        frame = m_frame;
    }
    QImage scratch;
    return frame ? ImageOf(*frame, scratch).copy() : QImage();
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
    const QSize frameSize(frame->width, frame->height);
    const QRect area(2, 1, width() - 8, height() - 8);
    QSize size = frameSize;
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.topLeft(), size);
    painter.setClipRegion(QRegion(rect()).subtracted(target));
    painter.fillRect(rect(), margin);
    painter.setClipping(false);
    if (size == frameSize) { // the usual case
        if (!WriteIntoSurface(painter, *frame, target))
            painter.drawImage(target.topLeft(), ImageOf(*frame, m_scratch));
    } else {
        painter.drawImage(target, ImageOf(*frame, m_scratch));
    }
}

bool SizeVideoWindowToFormat(CaptureApp& app, QWidget* videoWindow)
{
    if (!UseSelectedFormat(app)) {
        if (videoWindow)
            videoWindow->hide();
        return false;
    }
    if (videoWindow)
        videoWindow->resize(app.frameWidth + 8, app.frameHeight + 8);
    return true;
}
