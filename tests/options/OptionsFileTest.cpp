#include "devices/DeviceTable.h"
#include "options/OptionsFile.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <utility>

namespace {

class OptionsFileTest : public ::testing::Test {
protected:
    void Check() { CheckLoadedOptions(o, t, m_log.Log()); }
    QString OptionsFile() const { return m_dir.FilePath(QStringLiteral("VELA_options.xml")); }
    QByteArray Written() const { return ReadFileBytes(OptionsFile()); }
    bool Load(const QByteArray& bytes)
    {
        QFile f(OptionsFile());
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        return LoadOptionsFile(o, &m_log.Log());
    }

    ScopedProcessDirectory m_dir;
    AppOptions o;
    DeviceTable t;
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 9, 0, 0, 0}};
};

} // namespace

// Each golden file is written byte for byte, and read into fresh options it writes itself again.
TEST_F(OptionsFileTest, GoldenFilesAreWrittenAndReadBack)
{
    AppOptions pairs;
    pairs.VideoNamePrefix = QStringLiteral("occ");
    pairs.VideoDirectory = QStringLiteral("/srv/capture/Caf\u00e9/");
    pairs.LogfileNamePrefix = QStringLiteral("night");
    pairs.DefaultDuration = QStringLiteral("01:30:00");
    pairs.EventPendingDisplay = QStringLiteral("UTC");
    pairs.PixelSaturationValue = 200;
    pairs.MainWindowPosition = {-8, 12, 744, 547};
    pairs.DefaultDevice = QStringLiteral("USB2.0 Grabber & \"VTI\"");
    pairs.DisplayOffWhileRecording = pairs.FilePreAllocation = true;
    pairs.EventAllocationGB = 2;
    pairs.ManualAllocationGB = 20;
    pairs.DefaultRenderer = VideoRenderer::XVideoOverlay;
    pairs.UseDefaultDeviceSettings = false;
    pairs.DeviceCodecPairs = {{pairs.DefaultDevice, QStringLiteral("NONE")},
                              {QStringLiteral("VTI Simulator"), QStringLiteral("JPEG image encoder")}};
    pairs.DeviceFormatPairs = {{pairs.DefaultDevice, QStringLiteral("720x480"), FpsStandard::NTSC, VideoSubtype::YUY2},
                               {QStringLiteral("VTI Simulator"), QStringLiteral("720x576"), FpsStandard::PAL,
                                VideoSubtype::RGB24}};
    const std::pair<const char*, AppOptions> cases[] = {{"options-defaults.xml", AppOptions{}},
                                                        {"options-pairs.xml", pairs}};
    for (const auto& [name, options] : cases) {
        const QByteArray golden = ReadFileBytes(QStringLiteral(VELA_OPTIONS_GOLDEN_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(SaveOptionsFile(options));
        EXPECT_EQ(Written(), golden) << name;
        o = AppOptions{};
        o.VideoNamePrefix = QStringLiteral("changed");
        o.MainWindowPosition = {1, 2, 3, 4};
        ASSERT_TRUE(LoadOptionsFile(o));
        ASSERT_TRUE(SaveOptionsFile(o));
        EXPECT_EQ(Written(), golden) << name << " read back";
    }
}

// Any root, quotes and spacing; attributes are taken by position, numbers stop at the first
// mismatch and text is cut at its capacity.
TEST_F(OptionsFileTest, ReaderTakesAttributesByPositionAndCutsValues)
{
    ASSERT_TRUE(Load("<?xml version='1.0'?>\n<Settings><VideoNamePrefix   Value = '" + QByteArray(21, 'p') + "'  />\n\n\t  "
                     "<LogfileNamePrefix Anything=\"any name\"/><UseDefaultDeviceSettings Value=\"true\"/>"
                     "<FilePreAllocation Value=\"TRUE\"/><NoAttributes/><UnknownKey Value=\"x\"/><VideoDirectory A=\"1\" B=\"2\"/>"
                     "<LogfileDirectory Value=\"" + QByteArray(700, 'f') + "\"/><!-- a comment -->text"
                     "<DeviceFormatPair SubType=\"YUY2\" Device=\"Cam\" Size=\"720x480\" FPS=\"NTSC\"/>"
                     "<DeviceFormatPair Device=\"Cam\" Size=\"720x480\" FPS=\"NTSC\"/>"
                     "<DeviceFormatPair Device=\"Cam\" Size=\"640x480\" FPS=\"SECAM\" SubType=\"I420\"/>"
                     "<DeviceCodecPair Codec=\"NONE\" Device=\"" + QByteArray(300, 'c') + "\" Extra=\"x\"/><DeviceCodecPair Device=\"Cam\"/>"
                     "<MainWindowPosition Value=\"10, 20\"/><MessageWindowPosition Value=\"1,2 ,3, x\"/>"
                     "<PixelSaturationValue Value=\"  230 dB\"/><ManualAllocationGB Value=\"7GB\"/>"
                     "<DefaultRenderer Value=\"vmr9\"/></Settings>"));
    EXPECT_EQ(o.VideoNamePrefix.size(), 20);
    EXPECT_EQ(o.LogfileNamePrefix, QStringLiteral("any name"));
    EXPECT_FALSE(o.UseDefaultDeviceSettings); // only "TRUE" is true
    EXPECT_TRUE(o.FilePreAllocation);
    EXPECT_TRUE(o.VideoDirectory.isEmpty()); // two attributes on a single-value key: ignored
    EXPECT_EQ(o.LogfileDirectory.size(), 511);
    ASSERT_EQ(o.DeviceFormatPairs.size(), 2); // the three-attribute pair is dropped
    EXPECT_EQ(o.DeviceFormatPairs[0].device + o.DeviceFormatPairs[0].size, QStringLiteral("YUY2Cam"));
    EXPECT_EQ(o.DeviceFormatPairs[0].fps, FpsStandard::OTHER); // "720x480" is no FPS word
    EXPECT_EQ(o.DeviceFormatPairs[1].fps, FpsStandard::OTHER);
    EXPECT_EQ(o.DeviceFormatPairs[1].subtype, VideoSubtype::OTHER);
    ASSERT_EQ(o.DeviceCodecPairs.size(), 1); // a single attribute is a value, not a pair
    EXPECT_EQ(o.DeviceCodecPairs[0].device, QStringLiteral("NONE"));
    EXPECT_EQ(o.DeviceCodecPairs[0].codec.size(), 127);
    EXPECT_EQ(o.MainWindowPosition, (WindowPosition4{10, 20, 660, 540}));
    EXPECT_EQ(o.MessageWindowPosition, (WindowPosition4{1, 2, 700, 460}));
    EXPECT_EQ(o.PixelSaturationValue, 230);
    EXPECT_EQ(o.ManualAllocationGB, 7u);
    EXPECT_EQ(o.DefaultRenderer, VideoRenderer::Window);
}

TEST_F(OptionsFileTest, EncodingsAndBrokenFilesAreHandled)
{
    // Characters outside Latin-1 are written as references and read back.
    o.VideoDirectory = QStringLiteral("/home/\u041d\u0430\u0431\u043b/\U0001F52D/");
    ASSERT_TRUE(SaveOptionsFile(o));
    EXPECT_TRUE(Written().contains("<VideoDirectory Value=\"/home/&#x41D;&#x430;&#x431;&#x43B;/&#x1F52D;/\"/>\r\n"));
    const QString written = std::exchange(o.VideoDirectory, QString());
    ASSERT_TRUE(LoadOptionsFile(o));
    EXPECT_EQ(o.VideoDirectory, written);
    // Bytes as the Windows program writes them: 8-bit text, CR LF, no encoding named.
    ASSERT_TRUE(Load("<?xml version=\"1.0\"?>\r\n<!--VELA Video Application Version 1.1-->\r\n<Root>\r\n"
                     "\t<VideoDirectory Value=\"C:\\Vid\xe9o\\\"/>\r\n</Root>\r\n"));
    EXPECT_EQ(o.VideoDirectory, QStringLiteral("C:\\Vid\u00e9o\\"));
    // A hand-edited file that says it is UTF-8.
    ASSERT_TRUE(Load("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root><VideoNamePrefix Value=\"\xd0\x96\"/></Root>"));
    EXPECT_EQ(o.VideoNamePrefix, QStringLiteral("\u0416"));

    // A file that is there but not an options document is named, left alone until a save,
    // and kept whole beside the new file by the save (a second save keeps that copy).
    for (const QByteArray& broken : {QByteArray(), QByteArray("<Root><VideoNamePrefix Value=\"x\"></Root>"),
                                     QByteArray("not xml at all"), QByteArray("<?xml version=\"1.0\"?>")}) {
        o.VideoNamePrefix = QStringLiteral("kept");
        m_log.ClearMessages();
        EXPECT_FALSE(Load(broken)) << broken.constData();
        EXPECT_EQ(o.VideoNamePrefix, QStringLiteral("kept"));
        EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("(UTC)\n\nWARNING: VELA_options.xml was not read: ")))
            << broken.constData();
        EXPECT_EQ(Written(), broken);
        ASSERT_TRUE(SaveOptionsFile(o) && SaveOptionsFile(o));
        EXPECT_EQ(ReadFileBytes(OptionsFile() + ".unreadable"), broken);
    }
    // Where the copy cannot be kept, the save fails and the unreadable file stays as it was.
    QFile::remove(OptionsFile() + ".unreadable");
    ASSERT_TRUE(QDir().mkpath(OptionsFile() + ".unreadable/inside"));
    QString why;
    EXPECT_FALSE(Load("not xml") || SaveOptionsFile(o, &why));
    EXPECT_EQ(Written(), QByteArray("not xml")) << why.toStdString();
    // No file at all is the first start: nothing to say.
    m_log.ClearMessages();
    QFile::remove(OptionsFile());
    EXPECT_FALSE(LoadOptionsFile(o, &m_log.Log()) || m_log.Messages().contains(QLatin1String("WARNING")));
}

TEST_F(OptionsFileTest, CheckDerivesDurationAndDisplay)
{
    struct Case {
        const char* text;
        std::uint16_t h, m, s;
    } cases[] = {{"01:30:00", 1, 30, 0}, {"", 0, 10, 0}, {"02", 2, 10, 0}, {"03:45", 3, 45, 0}, {"nonsense", 0, 10, 0}};
    for (const Case& c : cases) {
        o.DefaultDuration = QString::fromLatin1(c.text);
        Check();
        EXPECT_EQ(o.DefaultRecordingDuration, (CalendarTime{1943, 5, 1, 3, c.h, c.m, c.s, 0})) << c.text;
        EXPECT_EQ(o.DefaultDuration, QLatin1String(*c.text ? c.text : "00:10:00"));
    }
    for (const auto& [display, before, utc] : {std::tuple{"UTC", false, true}, {"utc", true, false}, {"", true, true}}) {
        o.EventPendingDisplay = QLatin1String(display);
        o.ShowEventTimeAsUtc = before;
        Check();
        EXPECT_EQ(o.ShowEventTimeAsUtc, utc) << display; // empty leaves it as it is
    }
}

TEST_F(OptionsFileTest, CheckMatchesPairsAgainstTheAttachedDevices)
{
    t.count = 2;
    t.devices[0].name = QStringLiteral("Cam");
    t.devices[0].codecNames = {QStringLiteral("NONE"), QStringLiteral("JPEG image encoder")};
    t.devices[0].formats = {{QStringLiteral("720x480"), 720, 480, 30, 333667, FpsStandard::NTSC, VideoSubtype::YUY2},
                            {QStringLiteral("720x576"), 720, 576, 25, 400000, FpsStandard::PAL, VideoSubtype::YUY2}};
    t.devices[1].name = QStringLiteral("Other");
    t.devices[1].codecNames = {QStringLiteral("NONE")};

    o.DeviceCodecPairs = {{QStringLiteral("Cam"), QStringLiteral("Gone 1")},
                          {QStringLiteral("Other"), QStringLiteral("Gone 2")},
                          {QStringLiteral("Cam"), QStringLiteral("JPEG image encoder")},
                          {QStringLiteral("Unplugged"), QStringLiteral("Anything")},
                          {QStringLiteral("cam"), QStringLiteral("Gone 3")}};
    o.DeviceFormatPairs = {{QStringLiteral("Cam"), QStringLiteral("720x576"), FpsStandard::PAL, VideoSubtype::YUY2},
                           {QStringLiteral("Other"), QStringLiteral("640x480"), FpsStandard::NTSC, VideoSubtype::RGB24},
                           {QStringLiteral("Cam"), QStringLiteral("720x480"), FpsStandard::PAL, VideoSubtype::YUY2},
                           {QStringLiteral("Cam"), QStringLiteral("720x480"), FpsStandard::NTSC, VideoSubtype::RGB24}};
    Check();

    // Both consecutive missing codecs are gone, each with its NOTE; the rest stay.
    ASSERT_EQ(o.DeviceCodecPairs.size(), 3);
    EXPECT_EQ(o.DeviceCodecPairs[0].codec, QStringLiteral("JPEG image encoder"));
    EXPECT_EQ(o.DeviceCodecPairs[1].device, QStringLiteral("Unplugged"));
    EXPECT_EQ(o.DeviceCodecPairs[2].device, QStringLiteral("cam")); // names compare case-sensitively
    EXPECT_EQ(FindDeviceCodecPair(o, t, 0)->codec, QStringLiteral("JPEG image encoder"));
    EXPECT_EQ(t.devices[0].chosenCodecIndex, 1);
    const QString log = m_log.Messages();
    EXPECT_TRUE(log.contains(QStringLiteral("(UTC)\nNOTE: the camera codec pair \"Cam | Gone 1\" because the codec is not installed\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("(UTC)\nMedia format \"640x480\" is not available for video camera \"Other\"\n")));
    EXPECT_EQ(log.count(QStringLiteral("Media format \"720x480\"")), 2); // the FPS and the subtype must match
    EXPECT_EQ(o.DeviceFormatPairs.size(), 4); // the unavailable formats stay
    EXPECT_EQ(std::pair(t.devices[0].defaultFormatIndex, t.devices[0].selectedFormatIndex), std::pair(1, 1));

    EXPECT_FALSE(Written().contains("Gone 1")); // rewritten without the removed pairs
    EXPECT_TRUE(Written().contains("Gone 3"));
}

TEST_F(OptionsFileTest, SaveAndReportWritesTheDefaultThresholdAndAFailedSaveKeepsTheOldFile)
{
    // The default threshold is written; the one in effect stays.
    o.PixelSaturationValue = 180;
    o.SaturationDefault = -1;
    SaveOptionsAndReport(o, m_log.Log());
    EXPECT_TRUE(Written().contains("<PixelSaturationValue Value=\"-1\"/>"));
    EXPECT_EQ(o.PixelSaturationValue, 180);
    o.SaturationDefault = 220;
    SaveOptionsAndReport(o, m_log.Log());
    const QByteArray before = Written();
    EXPECT_TRUE(before.contains("<PixelSaturationValue Value=\"220\"/>"));
    o.VideoNamePrefix = QStringLiteral("new");
    ScopedFileSizeLimit limit(200); // a disk that fills while the file is written
    SaveOptionsAndReport(o, m_log.Log());
    EXPECT_EQ(Written(), before);
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral(
        "WARNING: Cannot save VELA_options.xml file in process directory - write protected?,  warning 17\n")));
}
