#include "devices/DeviceTable.h"
#include "devices/FormatRules.h"

#include "DeviceTableFixture.h"

#include <gtest/gtest.h>

namespace {

const QString kTableFull = QStringLiteral("Maximum attached camera count is exceeded.");

MediaFormat Format(int width, int height, std::int64_t interval, VideoSubtype subtype = VideoSubtype::YUY2)
{
    return MakeMediaFormat(subtype, width, height, interval);
}

constexpr std::int64_t kNtsc = 333'667;
constexpr std::int64_t kPal = 400'000;
constexpr std::int64_t kFifty = 200'000;

// Puts a device into the next slot the way the enumeration does.
bool AddDevice(const QString& name, QList<MediaFormat> formats)
{
    CaptureDevice* slot = FreeDeviceSlot(Devices());
    if (!slot)
        return false;
    slot->name = name;
    slot->formats = std::move(formats);
    CommitDeviceSlot(Devices());
    return true;
}

TEST(FrameRate, RoundsTheIntervalToWholeFramesAndStandards)
{
    struct Case {
        std::int64_t interval;
        std::uint32_t fps;
        FpsStandard standard;
    };
    const Case cases[] = {
        {333'667, 30, FpsStandard::NTSC}, {400'000, 25, FpsStandard::PAL}, {333'366, 30, FpsStandard::NTSC},
        {333'333, 30, FpsStandard::NTSC}, {200'000, 50, FpsStandard::OTHER},
        {800'000, 12, FpsStandard::OTHER}, // remainder exactly half: not rounded up
        {799'999, 13, FpsStandard::OTHER}, // remainder just over half
        {4'000'000, 2, FpsStandard::OTHER}, {0, 0, FpsStandard::OTHER}, {-5, 0, FpsStandard::OTHER},
    };
    for (const Case& c : cases) {
        const MediaFormat f = Format(720, 480, c.interval);
        EXPECT_EQ(f.framesPerSecond, c.fps) << c.interval;
        EXPECT_EQ(f.standard, c.standard) << c.interval;
    }
}

TEST(FrameRate, IntervalFromRateIsTruncated)
{
    EXPECT_EQ(AvgTimePerFrameOf(30000, 1001), 333'666);
    EXPECT_EQ(FramesPerSecondOf(AvgTimePerFrameOf(30000, 1001)), 30u);
    EXPECT_EQ(AvgTimePerFrameOf(25, 1), 400'000);
    EXPECT_EQ(AvgTimePerFrameOf(0, 1), 0);
}

TEST(FrameRate, FormatIsNamedAfterItsSize)
{
    const MediaFormat f = Format(720, 576, kPal, VideoSubtype::MJPG);
    EXPECT_EQ(f.name, QStringLiteral("720x576"));
    EXPECT_EQ(f.subtype, VideoSubtype::MJPG);
}

TEST_F(DeviceTableTest, TenDevicesFitWithoutMessage)
{
    for (int i = 0; i < kMaxDevices; ++i)
        ASSERT_TRUE(AddDevice(QStringLiteral("Camera %1").arg(i), {Format(640, 480, kNtsc)}));
    EXPECT_EQ(Devices().count, kMaxDevices);
    EXPECT_EQ(m_log.Messages(), QString());
}

TEST_F(DeviceTableTest, EleventhDeviceStopsWithOneMessage)
{
    for (int i = 0; i < kMaxDevices; ++i)
        AddDevice(QStringLiteral("Camera %1").arg(i), {Format(640, 480, kNtsc)});
    EXPECT_FALSE(AddDevice(QStringLiteral("Camera 10"), {Format(640, 480, kNtsc)}));
    EXPECT_EQ(Devices().count, kMaxDevices);
    EXPECT_EQ(Devices().devices[9].name, QStringLiteral("Camera 9"));
    EXPECT_EQ(m_log.Messages().count(kTableFull), 1);
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("(UTC)"))) << "the message is time-stamped";
}

TEST_F(DeviceTableTest, DeviceWithoutFormatsLeavesItsSlotToTheNext)
{
    AddDevice(QStringLiteral("First"), {Format(640, 480, kNtsc)});
    AddDevice(QStringLiteral("Only UYVY"), {});
    AddDevice(QStringLiteral("Third"), {Format(720, 576, kPal)});
    ASSERT_EQ(Devices().count, 2);
    EXPECT_EQ(Devices().devices[1].name, QStringLiteral("Third"));
    EXPECT_EQ(Devices().devices[2].name, QString()) << "the unused slot is empty";
}

TEST_F(DeviceTableTest, SubtypeNameAndStandardTakeMinusOneAsFirstFormat)
{
    AddDevice(QStringLiteral("Cam"), {Format(640, 480, kPal, VideoSubtype::RGB24), Format(640, 480, kNtsc)});
    EXPECT_EQ(SubtypeName(0, -1), QStringLiteral("RGB24"));
    EXPECT_EQ(SubtypeName(0, 1), QStringLiteral("YUY2"));
    EXPECT_EQ(FormatStandardOf(0, -1), FpsStandard::PAL);
    EXPECT_EQ(FormatStandardOf(0, 1), FpsStandard::NTSC);
    Devices().devices[0].formats[0].subtype = VideoSubtype::OTHER;
    EXPECT_EQ(SubtypeName(0, 0), QStringLiteral(" "));
    Devices().devices[0].formats.clear();
    EXPECT_EQ(FormatStandardOf(0, -1), FpsStandard::NTSC) << "a device without formats reads NTSC";
}

TEST(KnownDevice, PrefixOrExactName)
{
    EXPECT_TRUE(IsKnownDevice(QStringLiteral("USB 28")));
    EXPECT_TRUE(IsKnownDevice(QStringLiteral("USB 2861 Device")));
    EXPECT_TRUE(IsKnownDevice(QStringLiteral("DFG/USB2pro")));
    EXPECT_FALSE(IsKnownDevice(QStringLiteral("DFG/USB2pro #2")));
    EXPECT_FALSE(IsKnownDevice(QStringLiteral("usb 2861 Device")));
    EXPECT_FALSE(IsKnownDevice(QStringLiteral("USB 2")));
    EXPECT_FALSE(IsKnownDevice(QString()));
}

class FormatListTest : public DeviceTableTest {
protected:
    // Every size in each standard, so each rule has something to leave out.
    static QList<MediaFormat> AllSizes()
    {
        return {Format(640, 480, kNtsc), Format(720, 480, kNtsc), Format(720, 576, kNtsc),
                Format(640, 480, kPal),  Format(720, 480, kPal),  Format(720, 576, kPal),
                Format(320, 240, kPal),  Format(640, 480, kFifty), Format(720, 480, kFifty),
                Format(720, 576, kFifty)};
    }
    static QList<int> Indexes(const FormatList& list)
    {
        QList<int> out;
        for (const FormatListEntry& e : list.entries)
            out.append(e.formatIndex);
        return out;
    }
};

TEST_F(FormatListTest, RestrictionByDeviceAndStandard)
{
    struct Case {
        const char* device;
        FpsStandard standard;
        bool restricted;
        QList<int> expected;
    };
    const Case cases[] = {
        {"USB 2861 Device", FpsStandard::PAL, true, {3, 5}},
        {"USB 2861 Device", FpsStandard::NTSC, true, {0, 1}},
        {"DFG/USB2pro", FpsStandard::PAL, true, {3, 5}},
        {"DFG/USB2pro+", FpsStandard::PAL, true, {3}},
        {"Webcam", FpsStandard::NTSC, true, {0}},
        {"USB 2861 Device", FpsStandard::PAL, false, {3, 4, 5, 6}},
        {"USB 2861 Device", FpsStandard::OTHER, true, {7}}, // OTHER never matches 720 sizes
        {"Webcam", FpsStandard::OTHER, false, {7, 8, 9}},
    };
    for (const Case& c : cases) {
        ClearDeviceTable();
        AddDevice(QString::fromLatin1(c.device), AllSizes());
        EXPECT_EQ(Indexes(ListFormatsForStandard(0, c.standard, c.restricted)), c.expected)
            << c.device << " standard " << static_cast<int>(c.standard) << " restricted " << c.restricted;
    }
}

TEST_F(FormatListTest, LabelsMarkTheDefaultFormat)
{
    AddDevice(QStringLiteral("USB 28"), AllSizes());
    Devices().devices[0].defaultFormatIndex = 5;
    const FormatList list = ListFormatsForStandard(0, FpsStandard::PAL, true);
    ASSERT_EQ(list.entries.size(), 2);
    EXPECT_EQ(list.entries[0].label, QStringLiteral("  640x480"));
    EXPECT_EQ(list.entries[1].label, QString(QChar(0x2713)) + QStringLiteral(" 720x576"));
}

TEST_F(FormatListTest, SelectsTheSelectedFormatWhenListed)
{
    AddDevice(QStringLiteral("USB 28"), AllSizes());
    CaptureDevice& d = Devices().devices[0];
    d.selectedFormatIndex = 5;
    EXPECT_EQ(ListFormatsForStandard(0, FpsStandard::PAL, true).selectPosition, 1);
    d.selectedFormatIndex = 4; // 720x480 PAL is not listed when restricted
    EXPECT_EQ(ListFormatsForStandard(0, FpsStandard::PAL, true).selectPosition, 0);
    EXPECT_EQ(ListFormatsForStandard(0, FpsStandard::PAL, false).selectPosition, 1);
    d.selectedFormatIndex = -1;
    EXPECT_EQ(ListFormatsForStandard(0, FpsStandard::PAL, false).selectPosition, 0);
    EXPECT_TRUE(ListFormatsForStandard(3, FpsStandard::PAL, false).entries.isEmpty()) << "no such device";
}

} // namespace
