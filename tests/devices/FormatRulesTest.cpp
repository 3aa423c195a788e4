#include "devices/DeviceTable.h"
#include "devices/FormatRules.h"
#include "messages/UserMessageLog.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

MediaFormat Format(int width, int height, std::int64_t interval, VideoSubtype subtype = VideoSubtype::YUY2)
{
    return MakeMediaFormat(subtype, width, height, interval);
}

constexpr std::int64_t kNtsc = 333'667;
constexpr std::int64_t kPal = 400'000;
constexpr std::int64_t kFifty = 200'000;

class DeviceTableTest : public ::testing::Test {
protected:
    // Puts a device into the next slot the way the enumeration does.
    bool AddDevice(const QString& name, QList<MediaFormat> formats, const QString& driver = {})
    {
        CaptureDevice* slot = FreeDeviceSlot(table, m_log.Log());
        if (!slot)
            return false;
        slot->name = name;
        slot->driver = driver;
        slot->formats = std::move(formats);
        CommitDeviceSlot(table);
        return true;
    }
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

    ScopedLogAndClock m_log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
    DeviceTable table;
};

TEST(FrameRate, RoundsTheIntervalToWholeFramesAndStandards)
{
    const struct {
        std::int64_t interval;
        std::uint32_t fps;
        FpsStandard standard;
    } cases[] = {
        {333'667, 30, FpsStandard::NTSC}, {400'000, 25, FpsStandard::PAL}, {333'366, 30, FpsStandard::NTSC},
        {333'333, 30, FpsStandard::NTSC}, {200'000, 50, FpsStandard::OTHER},
        {800'000, 12, FpsStandard::OTHER}, // remainder exactly half: not rounded up
        {799'999, 13, FpsStandard::OTHER}, // remainder just over half
        {4'000'000, 2, FpsStandard::OTHER}, {0, 0, FpsStandard::OTHER}, {-5, 0, FpsStandard::OTHER},
    };
    for (const auto& c : cases) {
        const MediaFormat f = Format(720, 480, c.interval);
        EXPECT_EQ(f.framesPerSecond, c.fps) << c.interval;
        EXPECT_EQ(f.standard, c.standard) << c.interval;
    }
    EXPECT_EQ(AvgTimePerFrameOf(30000, 1001), 333'666);
    EXPECT_EQ(AvgTimePerFrameOf(0, 1), 0);
    EXPECT_EQ(Format(720, 576, kPal).name, QStringLiteral("720x576"));
}

TEST_F(DeviceTableTest, TheEleventhDeviceStopsWithOneMessageAndOneWithoutFormatsLeavesItsSlot)
{
    AddDevice(QStringLiteral("Only UYVY"), {});
    for (int i = 0; i < kMaxDevices; ++i)
        ASSERT_TRUE(AddDevice(QStringLiteral("Camera %1").arg(i), {Format(640, 480, kNtsc)}));
    EXPECT_EQ(table.devices[0].name, QStringLiteral("Camera 0"));
    EXPECT_FALSE(AddDevice(QStringLiteral("Camera 10"), {Format(640, 480, kNtsc)}));
    EXPECT_EQ(table.count, kMaxDevices);
    EXPECT_EQ(table.devices[9].name, QStringLiteral("Camera 9"));
    EXPECT_EQ(m_log.Messages().count(QStringLiteral("Maximum attached camera count is exceeded.")), 1);
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("(UTC)"))) << "the message is time-stamped";
}

TEST_F(DeviceTableTest, FormatListsAreRestrictedByDeviceAndStandard)
{
    const struct {
        const char* device;
        FpsStandard standard;
        bool restricted;
        QList<int> expected;
        const char* driver = "";
    } cases[] = {
        {"USB 2861 Device", FpsStandard::PAL, true, {3, 5}},
        // Known by their Linux capture driver, whatever the card is called; the simulator too.
        {"EM2860/SAA711X Reference Design", FpsStandard::PAL, true, {3, 5}, "em28xx"},
        {"stk1160", FpsStandard::NTSC, true, {0, 1}, "stk1160"},
        {"VTI Simulator", FpsStandard::PAL, true, {3, 5}, "simulator"},
        {"USB Camera", FpsStandard::PAL, true, {3}, "uvcvideo"},
        {"USB 2861 Device", FpsStandard::NTSC, true, {0, 1}},
        {"DFG/USB2pro", FpsStandard::PAL, true, {3, 5}},
        {"DFG/USB2pro+", FpsStandard::PAL, true, {3}}, // known names: a prefix, or exact
        {"USB 28", FpsStandard::PAL, true, {3, 5}},
        {"USB 2", FpsStandard::PAL, true, {3}},
        {"usb 2861 Device", FpsStandard::PAL, true, {3}},
        {"Webcam", FpsStandard::NTSC, true, {0}},
        {"USB 2861 Device", FpsStandard::PAL, false, {3, 4, 5, 6}},
        {"USB 2861 Device", FpsStandard::OTHER, true, {7}}, // OTHER never matches 720 sizes
        {"Webcam", FpsStandard::OTHER, false, {7, 8, 9}},
    };
    for (const auto& c : cases) {
        table = DeviceTable{};
        AddDevice(QString::fromLatin1(c.device), AllSizes(), QLatin1String(c.driver));
        EXPECT_EQ(Indexes(ListFormatsForStandard(&table.devices[0], c.standard, c.restricted)), c.expected)
            << c.device << " standard " << static_cast<int>(c.standard) << " restricted " << c.restricted;
    }
}

// The format in use is listed and highlighted even where the restriction hides its size,
// and rows of one size say what they are, so accepting the dialog keeps what runs.
TEST_F(DeviceTableTest, TheFormatInUseIsListedAndRowsOfOneSizeSayWhatTheyAre)
{
    using enum VideoSubtype;
    AddDevice(QStringLiteral("Webcam"), {Format(720, 480, 333'667), Format(720, 576, kPal), Format(640, 480, 333'667),
                                         Format(640, 480, 333'667, RGB24), Format(640, 480, 333'667, MJPG)});
    const QString mark = QString(QChar(0x2713)) + u' ';
    const struct {
        int selected;
        FpsStandard standard;
        QStringList labels;
        int position;
    } cases[] = {
        {-1, FpsStandard::NTSC, {mark + "720x480", "  640x480 YUY2 29.97 fps", "  640x480 RGB24 29.97 fps",
                                 "  640x480 MJPG 29.97 fps"}, 0},
        {3, FpsStandard::NTSC, {"  640x480 YUY2 29.97 fps", "  640x480 RGB24 29.97 fps", mark + "640x480 MJPG 29.97 fps"}, 1},
        {1, FpsStandard::PAL, {"  720x576"}, 0},
        {1, FpsStandard::NTSC, {"  640x480 YUY2 29.97 fps", "  640x480 RGB24 29.97 fps", mark + "640x480 MJPG 29.97 fps"}, 0},
    };
    for (const auto& c : cases) {
        table.devices[0].selectedFormatIndex = c.selected;
        table.devices[0].defaultFormatIndex = c.selected < 0 ? -1 : 4;
        const FormatList list = ListFormatsForStandard(&table.devices[0], c.standard, true);
        QStringList labels;
        for (const FormatListEntry& e : list.entries)
            labels << e.label;
        EXPECT_EQ(labels, c.labels) << c.selected;
        EXPECT_EQ(list.selectPosition, c.position) << c.selected;
    }
}

} // namespace
