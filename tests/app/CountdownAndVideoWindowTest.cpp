// The countdown panes' texts and the video window's size for a format.
#include "app/CaptureApp.h"
#include "app/CountdownPaneText.h"
#include "app/ui/VideoWindow.h"
#include "capture/DeviceTable.h"
#include "recording/Scheduler.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

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

} // namespace

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
    ClearDeviceTable();
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

    ClearDeviceTable();
    SetCaptureApp(nullptr);
}
