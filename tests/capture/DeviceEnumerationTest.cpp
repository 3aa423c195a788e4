#include "capture/CapsFormats.h"
#include "capture/DeviceEnumeration.h"
#include "capture/MediaObjects.h"
#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include "data/FieldDeviceCaps.h"
#include "devices/FormatRules.h"
#include "support/LogCapture.h"

#include <gst/gst.h>
#include <iterator>

#include <gtest/gtest.h>

namespace {

QStringList Names(const QList<MediaFormat>& formats)
{
    QStringList out;
    for (const MediaFormat& f : formats)
        out.append(QStringLiteral("%1 %2 %3").arg(f.name).arg(f.framesPerSecond).arg(static_cast<int>(f.subtype)));
    return out;
}

TEST(CapsFormats, AcceptedTypesListsAndRangesBecomeAnalogFormatsOnce)
{
    const struct {
        const char* caps;
        QStringList names;
    } cases[] = {
        // A rate range stands for 30000/1001 and 25, for each listed size.
        {"video/x-raw, format=YUY2, width={ 720, 640 }, height=480, framerate=[ 25/1, 30/1 ]",
         {"720x480 30 3", "720x480 25 3", "640x480 30 3", "640x480 25 3"}},
        {"video/x-raw, format=UYVY, width=640, height=480, framerate=30/1; "
         "video/x-raw, format=BGRA, width=640, height=480, framerate=30/1; "
         "video/x-raw, format=I420, width=640, height=480, framerate=30/1; "
         "image/jpeg, width=640, height=480, framerate=30000/1001; "
         "video/x-raw, format=BGR, width=720, height=576, framerate=25/1; "
         "video/x-bayer, format=bggr, width=640, height=480, framerate=30/1",
         {"640x480 30 2", "640x480 30 0", "720x576 25 1"}},
        // A size range stands for the analog sizes, 720 wide only at its standard's rate.
        {"video/x-raw, format=YUY2, width=[ 640, 720 ], height=[ 480, 576 ], framerate={ 25/1 }",
         {"720x576 25 3", "640x480 25 3"}},
        {"video/x-raw, format=YUY2, width=[ 48, 16384, 2 ], height=[ 32, 16384, 2 ], framerate=[ 0/1, 2147483647/1 ]",
         {"720x480 30 3", "720x576 25 3", "640x480 30 3", "640x480 25 3"}},
        // Rates that round alike, a repeated entry, fields one at a time, GL memory.
        {"video/x-raw, format=YUY2, width=640, height=480, framerate={ 30/1, 30000/1001 }; "
         "video/x-raw, format=YUY2, width=640, height=480, framerate=30/1; "
         "video/x-raw, format=UYVY, width=720, height=480, framerate=30000/1001, interlace-mode=alternate; "
         "video/x-raw(memory:GLMemory), format=UYVY, width=720, height=480, framerate=30000/1001",
         {"640x480 30 3"}},
        {"video/x-raw, format=YUY2, width=640, height=480, framerate=0/1", {}},
        {"video/x-raw, format=YUY2, width=640, height=480", {}},
        {"not caps at all {", {}},
        {"ANY", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Names(FormatsFromCapsText(QLatin1String(c.caps))), c.names) << c.caps;
    EXPECT_EQ(FormatsFromCapsText(QLatin1String(cases[1].caps)).value(2).standard, FpsStandard::PAL);
    EXPECT_EQ(FormatsFromCapsText(QLatin1String(cases[0].caps)).value(0).avgTimePerFrame, 333'666);
}

// Real devices' caps: what each yields for the NTSC and PAL lists, how many formats of
// other rates, how many caps entries give nothing new; every format negotiable, none twice.
TEST(EnumerationTest, FieldCapsYieldNegotiableFormatsOnce)
{
    const ScopedLogAndClock log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
    const struct {
        bool known;
        int others;
        QStringList ntscPal;
        int skipped;
    } expected[] = {
        {false, 27, {}, 0},
        {false, 39, {"4096x2160 MJPG 30 NTSC", "3840x2160 MJPG 30 NTSC", "2560x1440 MJPG 30 NTSC",
                     "1920x1080 MJPG 30 NTSC", "1600x896 MJPG 30 NTSC", "1280x720 MJPG 30 NTSC"}, 0},
        {false, 0, {"720x480 RGB24 29.97 NTSC", "720x576 RGB24 25 PAL", "640x480 RGB24 29.97 NTSC",
                    "640x480 RGB24 25 PAL"}, 8},
        {false, 0, {}, 6},
        {false, 0, {"1920x1080 YUY2 30 NTSC", "1280x720 YUY2 30 NTSC", "640x480 YUY2 30 NTSC", "352x288 YUY2 30 NTSC",
                    "320x240 YUY2 30 NTSC"}, 0},
        {false, 28, {"640x480 YUY2 30 NTSC", "640x480 YUY2 25 PAL", "160x120 YUY2 30 NTSC", "160x120 YUY2 25 PAL",
                     "176x144 YUY2 30 NTSC", "176x144 YUY2 25 PAL", "320x176 YUY2 30 NTSC", "320x176 YUY2 25 PAL",
                     "320x240 YUY2 30 NTSC", "320x240 YUY2 25 PAL", "352x288 YUY2 30 NTSC", "352x288 YUY2 25 PAL",
                     "432x240 YUY2 30 NTSC", "432x240 YUY2 25 PAL"}, 0},
        {false, 13, {"1920x1080 MJPG 30 NTSC", "1280x720 MJPG 30 NTSC", "960x544 MJPG 30 NTSC", "640x360 MJPG 30 NTSC"}, 1},
        {false, 9, {"640x480 YUY2 29.97 NTSC", "640x480 YUY2 25 PAL", "480x360 YUY2 29.97 NTSC", "480x360 YUY2 25 PAL",
                    "352x288 YUY2 29.97 NTSC", "352x288 YUY2 25 PAL", "320x240 YUY2 29.97 NTSC", "320x240 YUY2 25 PAL"}, 0},
        {false, 0, {}, 3},
        {false, 0, {}, 3},
        {true, 0, {"720x576 YUY2 25 PAL", "640x480 YUY2 25 PAL"}, 0},
        {true, 0, {"720x576 UYVY 25 PAL", "640x480 UYVY 25 PAL", "720x576 RGB24 25 PAL", "640x480 RGB24 25 PAL"}, 3},
    };
    static_assert(std::size(expected) == std::size(kFieldDevices));
    for (std::size_t i = 0; i < std::size(kFieldDevices); ++i) {
        const FieldDevice& field = kFieldDevices[i];
        SCOPED_TRACE(field.name);
        DeviceTable table;
        ASSERT_EQ(ListCaptureDevice(table, log.Log(), QString::fromUtf8(field.name), QLatin1String(field.caps),
                                    QLatin1String(field.driver)),
                  Status::Ok);
        QStringList ntscPal, labels;
        int others = 0;
        const CapsPtr all(gst_caps_from_string(field.caps));
        ASSERT_TRUE(all);
        for (int f = 0; table.count == 1 && f < table.devices[0].formats.size(); ++f) {
            const MediaFormat& m = table.devices[0].formats[f];
            const QString label = QStringLiteral("%1 %2 %3").arg(m.name, SubtypeName(&table.devices[0], f), FrameRateText(m));
            if (m.standard == FpsStandard::OTHER)
                ++others;
            else
                ntscPal << label + (m.standard == FpsStandard::NTSC ? QStringLiteral(" NTSC") : QStringLiteral(" PAL"));
            EXPECT_FALSE(labels.contains(label)) << label.toStdString();
            labels << label;
            EXPECT_TRUE(gst_caps_is_fixed(m.caps.get()) && gst_caps_is_subset(m.caps.get(), all.get()))
                << CapsText(m.caps).toStdString();
        }
        EXPECT_EQ(table.count, ntscPal.size() + others > 0 ? 1 : 0);
        EXPECT_EQ(ntscPal, expected[i].ntscPal);
        EXPECT_EQ(others, expected[i].others);
        EXPECT_EQ(IsKnownDevice(table.devices[0].name, table.devices[0].driver), expected[i].known);
        // An entry is skipped when the caps up to it yield no more formats than without it.
        int skipped = 0;
        const CapsPtr upTo(gst_caps_new_empty());
        for (guint s = 0; s < gst_caps_get_size(all.get()); ++s) {
            const qsizetype before = FormatsFromCaps(upTo.get()).size();
            gst_caps_append_structure_full(upTo.get(), gst_structure_copy(gst_caps_get_structure(all.get(), s)),
                                           gst_caps_features_copy(gst_caps_get_features(all.get(), s)));
            skipped += FormatsFromCaps(upTo.get()).size() == before ? 1 : 0;
        }
        EXPECT_EQ(skipped, expected[i].skipped);
    }
    EXPECT_EQ(log.Messages(), QString());
}

} // namespace
