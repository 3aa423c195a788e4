#include "capture/CapsFormats.h"
#include "capture/DeviceEnumeration.h"
#include "devices/DeviceTable.h"

#include "HiddenFeatures.h"
#include "devices/DeviceTableFixture.h"

#include <cstring>
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

using EnumerationTest = DeviceTableTest;

TEST(CapsFormats, SizeListAndRateRangeExpandToFixedFormats)
{
    const QList<MediaFormat> formats = FormatsFromCapsText(QStringLiteral(
        "video/x-raw, format=YUY2, width={ 720, 640 }, height=480, framerate=[ 25/1, 30/1 ]"));
    // The common rates within the range, highest first, for each size in list order.
    EXPECT_EQ(Names(formats), (QStringList{"720x480 30 3", "720x480 30 3", "720x480 25 3", "640x480 30 3",
                                           "640x480 30 3", "640x480 25 3"}));
    for (const MediaFormat& f : formats) {
        const QString caps = CapsText(f.caps);
        EXPECT_TRUE(caps.startsWith(QStringLiteral("video/x-raw"))) << caps.toStdString();
        EXPECT_FALSE(caps.contains(u'[') || caps.contains(u'{')) << "not fixed: " << caps.toStdString();
        EXPECT_TRUE(caps.contains(QStringLiteral("width=(int)%1").arg(f.width))) << caps.toStdString();
    }
    EXPECT_TRUE(CapsText(formats[1].caps).contains(QStringLiteral("framerate=(fraction)30000/1001")));
    EXPECT_EQ(formats[1].avgTimePerFrame, 333'666);
}

TEST(CapsFormats, OnlyYuy2BgrAndJpegAreAccepted)
{
    const QList<MediaFormat> formats = FormatsFromCapsText(QStringLiteral(
        "video/x-raw, format=UYVY, width=640, height=480, framerate=30/1; "
        "video/x-raw, format=BGRA, width=640, height=480, framerate=30/1; "
        "video/x-raw, format=I420, width=640, height=480, framerate=30/1; "
        "image/jpeg, width=640, height=480, framerate=30000/1001; "
        "video/x-raw, format=BGR, width=720, height=576, framerate=25/1; "
        "video/x-bayer, format=bggr, width=640, height=480, framerate=30/1"));
    EXPECT_EQ(Names(formats), (QStringList{"640x480 30 0", "720x576 25 1"}));
    ASSERT_EQ(formats.size(), 2);
    EXPECT_EQ(formats[1].standard, FpsStandard::PAL);
}

TEST(CapsFormats, RatesThatRoundToZeroAndMissingRatesAreDropped)
{
    EXPECT_TRUE(FormatsFromCapsText(QStringLiteral("video/x-raw, format=YUY2, width=640, height=480, framerate=0/1"))
                    .isEmpty());
    EXPECT_TRUE(FormatsFromCapsText(QStringLiteral("video/x-raw, format=YUY2, width=640, height=480")).isEmpty());
    EXPECT_TRUE(FormatsFromCapsText(QStringLiteral("not caps at all {")).isEmpty());
    EXPECT_TRUE(FormatsFromCapsText(QStringLiteral("ANY")).isEmpty());
}

TEST(CapsFormats, SizeRangesGiveTheCommonSizesInside)
{
    const QList<MediaFormat> formats = FormatsFromCapsText(QStringLiteral(
        "video/x-raw, format=YUY2, width=[ 640, 720 ], height=[ 480, 576 ], framerate={ 25/1 }"));
    EXPECT_EQ(Names(formats), (QStringList{"720x576 25 3", "720x480 25 3", "640x480 25 3"}));
}

TEST_F(EnumerationTest, EleventhDeviceIsNotListed)
{
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(ListCaptureDevice(QStringLiteral("Camera %1").arg(i), QString::fromLatin1(kYuy2Ntsc)),
                  i < kMaxDevices ? Status::Ok : Status::Partial);
    EXPECT_EQ(Devices().count, kMaxDevices);
    EXPECT_EQ(Devices().devices[9].name, QStringLiteral("Camera 9"));
    EXPECT_EQ(m_log.Messages().count(QStringLiteral("Maximum attached camera count is exceeded.  "
                                                    "Some cameras will not be listed.")),
              1);
}

TEST_F(EnumerationTest, DeviceWithoutAcceptedFormatsIsNotListed)
{
    EXPECT_EQ(ListCaptureDevice(QStringLiteral("UYVY only"),
                                QStringLiteral("video/x-raw, format=UYVY, width=720, height=480, framerate=30/1")),
              Status::Ok);
    EXPECT_EQ(ListCaptureDevice(QStringLiteral("Good"), QString::fromLatin1(kYuy2Ntsc)), Status::Ok);
    ASSERT_EQ(Devices().count, 1);
    EXPECT_EQ(Devices().devices[0].name, QStringLiteral("Good"));
    EXPECT_EQ(Devices().devices[0].formats[0].standard, FpsStandard::NTSC);
    EXPECT_EQ(m_log.Messages(), QString());
}

TEST_F(EnumerationTest, NoCaptureDeviceGivesFalseAndAnEmptyTable)
{
    // No provider of video sources at all stands for a machine without cameras.
    ScopedHiddenFeatures providers([](const char*, const char* klass) {
        return std::strstr(klass, "Video") && std::strstr(klass, "Source");
    });
    EXPECT_EQ(EnumerateCaptureDevices(false), Status::Partial);
    EXPECT_EQ(Devices().count, 0);
    EXPECT_EQ(m_log.Messages(), QString());
}

TEST_F(EnumerationTest, AttachedCameraIsListed)
{
    const Status status = EnumerateCaptureDevices(false);
    if (status == Status::Partial)
        GTEST_SKIP() << "No video capture device is attached to this machine.";
    ASSERT_EQ(status, Status::Ok);
    ASSERT_GE(Devices().count, 1);
    for (int i = 0; i < Devices().count; ++i) {
        const CaptureDevice& d = Devices().devices[static_cast<std::size_t>(i)];
        EXPECT_FALSE(d.name.isEmpty());
        EXPECT_TRUE(d.sourceDevice);
        ASSERT_FALSE(d.formats.isEmpty());
        EXPECT_NE(d.formats[0].framesPerSecond, 0u);
        EXPECT_TRUE(d.formats[0].caps);
    }
}

} // namespace
