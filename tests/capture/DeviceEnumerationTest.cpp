#include "capture/CapsFormats.h"
#include "capture/DeviceEnumeration.h"
#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

constexpr char kYuy2Ntsc[] = "video/x-raw, format=YUY2, width=720, height=480, framerate=30000/1001";

QStringList Names(const QList<MediaFormat>& formats)
{
    QStringList out;
    for (const MediaFormat& f : formats)
        out.append(QStringLiteral("%1 %2 %3").arg(f.name).arg(f.framesPerSecond).arg(static_cast<int>(f.subtype)));
    return out;
}

class EnumerationTest : public ::testing::Test {
protected:
    ScopedLogAndClock m_log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
    UserMessageLog& log = m_log.Log();
    DeviceTable table;
};

TEST(CapsFormats, OnlyFixedRatesOfYuy2UyvyBgrAndJpegAreTakenAndListsAndRangesExpand)
{
    const struct {
        const char* caps;
        QStringList names;
    } cases[] = {
        // The common rates within a range, highest first, for each size in list order.
        {"video/x-raw, format=YUY2, width={ 720, 640 }, height=480, framerate=[ 25/1, 30/1 ]",
         {"720x480 30 3", "720x480 30 3", "720x480 25 3", "640x480 30 3", "640x480 30 3", "640x480 25 3"}},
        {"video/x-raw, format=UYVY, width=640, height=480, framerate=30/1; "
         "video/x-raw, format=BGRA, width=640, height=480, framerate=30/1; "
         "video/x-raw, format=I420, width=640, height=480, framerate=30/1; "
         "image/jpeg, width=640, height=480, framerate=30000/1001; "
         "video/x-raw, format=BGR, width=720, height=576, framerate=25/1; "
         "video/x-bayer, format=bggr, width=640, height=480, framerate=30/1",
         {"640x480 30 2", "640x480 30 0", "720x576 25 1"}},
        {"video/x-raw, format=YUY2, width=[ 640, 720 ], height=[ 480, 576 ], framerate={ 25/1 }",
         {"720x576 25 3", "720x480 25 3", "640x480 25 3"}},
        {"video/x-raw, format=YUY2, width=640, height=480, framerate=0/1", {}},
        {"video/x-raw, format=YUY2, width=640, height=480", {}},
        {"not caps at all {", {}},
        {"ANY", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Names(FormatsFromCapsText(QLatin1String(c.caps))), c.names) << c.caps;
    EXPECT_EQ(FormatsFromCapsText(QLatin1String(cases[1].caps)).value(2).standard, FpsStandard::PAL);
    EXPECT_EQ(FormatsFromCapsText(QLatin1String(cases[0].caps)).value(1).avgTimePerFrame, 333'666);
}

TEST_F(EnumerationTest, DeviceWithoutAcceptedFormatsIsNotListed)
{
    EXPECT_EQ(ListCaptureDevice(table, log, QStringLiteral("I420 only"),
                                QStringLiteral("video/x-raw, format=I420, width=720, height=480, framerate=30/1")),
              Status::Ok);
    EXPECT_EQ(ListCaptureDevice(table, log, QStringLiteral("Good"), QString::fromLatin1(kYuy2Ntsc)), Status::Ok);
    ASSERT_EQ(table.count, 1);
    EXPECT_EQ(table.devices[0].name, QStringLiteral("Good"));
    EXPECT_EQ(table.devices[0].formats[0].standard, FpsStandard::NTSC);
    EXPECT_EQ(m_log.Messages(), QString());
}

} // namespace
