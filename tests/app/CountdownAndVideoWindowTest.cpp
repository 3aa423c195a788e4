// The countdown panes' texts, and the video window: its size for a format and its painting.
#include "app/CaptureApp.h"
#include "app/CountdownPaneText.h"
#include "app/ui/VideoWindow.h"
#include "devices/DeviceTable.h"
#include "recording/Scheduler.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString kInfo = QStringLiteral("Start time:  MAR 15, 2026  03:04:05\r\n"
                                     "Event time:  MAR 15, 2026  03:05:05\r\n"
                                     "Recording duration:  2 minutes");

QString Pane(CountdownPaneKind kind, const QString& info, bool utc = false)
{
    SchedulerState state;
    state.EventInfoText = info;
    state.EndTimeText = QStringLiteral("End time:    MAR 15, 2026  03:06:05");
    state.CountdownText = QStringLiteral("00:01:00");
    return CountdownPaneText(kind, state, utc);
}

// A YUY2 picture in memory: the left half pure red, the right half white.
class RedAndWhite final : public PreviewFrame {
public:
    RedAndWhite(int w, int h)
        : m_data(static_cast<std::size_t>(w) * 2 * h)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; x += 2) {
                std::uint8_t* p = m_data.data() + (static_cast<std::size_t>(y) * w + x) * 2;
                const bool red = x < w / 2;
                p[0] = p[2] = red ? 81 : 235;
                p[1] = red ? 90 : 128;
                p[3] = red ? 240 : 128;
            }
        pixels = m_data.data();
        layout = Layout::Yuy2;
        yuv = MakeYuvToRgb(0.299, 0.114, false);
        width = w;
        height = h;
        stride = w * 2;
    }

private:
    std::vector<std::uint8_t> m_data;
};

bool Near(QRgb pixel, int r, int g, int b)
{
    return std::abs(qRed(pixel) - r) <= 2 && std::abs(qGreen(pixel) - g) <= 2 && std::abs(qBlue(pixel) - b) <= 2;
}

// The window as the screen shows it, once its picture has replaced the grey at (2, 1).
QImage OnScreenOnceDrawn(VideoWindow& video)
{
    QImage shown;
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents();
        shown = video.screen()->grabWindow(video.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    } while ((shown.isNull() || Near(shown.pixel(2, 1), 128, 128, 128)) && clock.elapsed() < 5000);
    return shown;
}

} // namespace

TEST(VideoWindowPainting, AYuy2PictureIsPaintedConvertedAtTwoOneInsideAGreyMargin)
{
    VideoWindow video(nullptr);
    video.resize(40 + 8, 20 + 8);
    video.show();
    video.PresentFrame(std::make_shared<RedAndWhite>(40, 20));
    const QImage shown = OnScreenOnceDrawn(video);
    ASSERT_EQ(shown.size(), QSize(48, 28));
    EXPECT_TRUE(Near(shown.pixel(2, 1), 255, 0, 0));
    EXPECT_TRUE(Near(shown.pixel(21, 20), 255, 0, 0));
    EXPECT_TRUE(Near(shown.pixel(22, 1), 255, 255, 255));
    EXPECT_TRUE(Near(shown.pixel(41, 20), 255, 255, 255));
    for (const QPoint margin : {QPoint(1, 1), QPoint(2, 0), QPoint(42, 1), QPoint(2, 21), QPoint(47, 27)})
        EXPECT_TRUE(Near(shown.pixel(margin), 128, 128, 128)) << margin.x() << "," << margin.y();
    // Painted into another device (a grab) the picture goes through an image: the same.
    EXPECT_EQ(video.grab().toImage().convertToFormat(QImage::Format_RGB32), shown);
    EXPECT_EQ(video.LatestFrame().pixel(0, 0), shown.pixel(2, 1));

    // A window smaller than the picture scales it, aspect kept.
    video.resize(20 + 8, 20 + 8);
    video.PresentFrame(std::make_shared<RedAndWhite>(40, 20));
    const QImage small = OnScreenOnceDrawn(video);
    ASSERT_EQ(small.size(), QSize(28, 28));
    EXPECT_TRUE(Near(small.pixel(3, 2), 255, 0, 0));
    EXPECT_TRUE(Near(small.pixel(20, 2), 255, 255, 255));
    EXPECT_TRUE(Near(small.pixel(10, 15), 128, 128, 128)); // below the 20 x 10 picture
}

TEST(CountdownPanes, LinePanesShowTheFirstTwoLinesAndTheEndTime)
{
    EXPECT_EQ(Pane(CountdownPaneKind::StartLine, kInfo), QStringLiteral("Start time:  MAR 15, 2026  03:04:05"));
    EXPECT_EQ(Pane(CountdownPaneKind::EventLine, kInfo), QStringLiteral("Event time:  MAR 15, 2026  03:05:05"));
    EXPECT_EQ(Pane(CountdownPaneKind::EndLine, kInfo), QStringLiteral("End time:    MAR 15, 2026  03:06:05"));
    EXPECT_EQ(Pane(CountdownPaneKind::Countdown, kInfo), QStringLiteral("00:01:00"));
    // The file name notice follows the duration on a line of its own; it is never shown.
    EXPECT_EQ(Pane(CountdownPaneKind::EventLine,
                   kInfo + QStringLiteral("\r\nYou have not created or selected a capture file\r\n")),
              QStringLiteral("Event time:  MAR 15, 2026  03:05:05"));
}

TEST(CountdownPanes, TextWithoutACarriageReturnLeavesStartAndEventEmpty)
{
    for (const QString& info : {QString(), QStringLiteral("Start time:  MAR 15, 2026  03:04:05"),
                                QString(512, QLatin1Char('x')) + QStringLiteral("\r\nEvent\r\n")}) {
        EXPECT_EQ(Pane(CountdownPaneKind::StartLine, info), QString());
        EXPECT_EQ(Pane(CountdownPaneKind::EventLine, info), QString());
    }
    // A first line without a second one.
    EXPECT_EQ(EventInfoLine(QStringLiteral("Start\r\nno end"), 0), QStringLiteral("Start"));
    EXPECT_EQ(EventInfoLine(QStringLiteral("Start\r\nno end"), 1), QString());
}

TEST(CountdownPanes, TitleFollowsTheEventPendingDisplay)
{
    EXPECT_EQ(Pane(CountdownPaneKind::Title, kInfo, false), QStringLiteral("Countdown to recording start time:"));
    EXPECT_EQ(Pane(CountdownPaneKind::Title, kInfo, true), QStringLiteral("  Computer time (UTC):"));
}

TEST(VideoWindowSize, TheSelectedFormatSizesTheWindowWithEightPixelsEachWay)
{
    ScopedLogAndClock log({2026, 3, 0, 15, 3, 4, 5, 0});
    CaptureApp app;
    SetCaptureApp(&app);
    Devices() = DeviceTable{};
    DeviceTable& table = Devices();
    table.count = 1;
    table.currentDeviceIndex = 0;
    CaptureDevice& device = table.devices[0];
    MediaFormat pal;
    pal.width = 720;
    pal.height = 576;
    MediaFormat vga;
    vga.width = 640;
    vga.height = 480;
    device.formats = {vga, pal};
    QWidget video;

    device.selectedFormatIndex = 1;
    EXPECT_TRUE(SizeVideoWindowToFormat(&video));
    EXPECT_EQ(video.size(), QSize(728, 584));
    EXPECT_EQ(app.frameWidth, 720);
    EXPECT_EQ(app.frameHeight, 576);

    device.selectedFormatIndex = -1; // none selected reads as the first
    EXPECT_TRUE(SizeVideoWindowToFormat(&video));
    EXPECT_EQ(video.size(), QSize(648, 488));

    // A camera without formats: no current device, the window hidden, the reason logged.
    device.formats.clear();
    video.show();
    EXPECT_FALSE(SizeVideoWindowToFormat(&video));
    EXPECT_FALSE(video.isVisible());
    EXPECT_EQ(table.currentDeviceIndex, -1);
    EXPECT_EQ(device.selectedFormatIndex, -1);
    EXPECT_TRUE(log.Messages().endsWith(
        QStringLiteral("Selected camera (or the only attached camera) has no supported media formats.\n")));

    Devices() = DeviceTable{};
    SetCaptureApp(nullptr);
}
