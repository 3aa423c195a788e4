#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray Golden(const char* name)
{
    return ReadFileBytes(QStringLiteral(VELA_OPTIONS_GOLDEN_DIR "/") + QLatin1String(name));
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A file in the layout the program writes, with the given lines inside Root.
QByteArray Document(const QByteArray& body, const QByteArray& root = "Root")
{
    return "<?xml version=\"1.0\"?>\r\n<!--VELA Video Application Version 1.1-->\r\n<" + root + ">\r\n" + body + "</"
        + root + ">\r\n";
}

class OptionsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Options() = AppOptions{};
        SetOptionDefaults();
        ClearDeviceTable();
        UserMessageLog::Instance().SetEchoToStderr(false);
        UserMessageLog::Instance().Clear();
    }
    void TearDown() override
    {
        Options() = AppOptions{};
        ClearDeviceTable();
        UserMessageLog::Instance().SetEchoToStderr(true);
    }
    QString OptionsFile() const { return m_dir.FilePath(QStringLiteral("VELA_options.xml")); }
    bool Load(const QByteArray& bytes)
    {
        WriteFile(OptionsFile(), bytes);
        return LoadOptionsFile();
    }
    static QString Log() { return UserMessageLog::Instance().Text(); }

    ScopedProcessDirectory m_dir;
};

void FillPairsExample(AppOptions& o)
{
    o.VideoNamePrefix = QStringLiteral("occ");
    o.VideoDirectory = QStringLiteral("/srv/capture/Caf\u00e9/");
    o.LogfileNamePrefix = QStringLiteral("night");
    o.DefaultDuration = QStringLiteral("01:30:00");
    o.EventPendingDisplay = QStringLiteral("UTC");
    o.PixelSaturationValue = 200;
    o.MainWindowPosition = {-8, 12, 744, 547};
    o.DefaultDevice = QStringLiteral("USB2.0 Grabber & \"VTI\"");
    o.DisplayOffWhileRecording = true;
    o.FilePreAllocation = true;
    o.EventAllocationGB = 2;
    o.ManualAllocationGB = 20;
    o.DefaultRenderer = VideoRenderer::XVideoOverlay;
    o.UseDefaultDeviceSettings = false;
    o.DeviceCodecPairs = {{o.DefaultDevice, QStringLiteral("NONE")},
                          {QStringLiteral("VTI Simulator"), QStringLiteral("JPEG image encoder")}};
    o.DeviceFormatPairs = {{o.DefaultDevice, QStringLiteral("720x480"), FpsStandard::NTSC, VideoSubtype::YUY2},
                           {QStringLiteral("VTI Simulator"), QStringLiteral("720x576"), FpsStandard::PAL,
                            VideoSubtype::RGB24}};
}

void ExpectSameFileFields(const AppOptions& a, const AppOptions& b)
{
    EXPECT_EQ(a.VideoNamePrefix, b.VideoNamePrefix);
    EXPECT_EQ(a.VideoDirectory, b.VideoDirectory);
    EXPECT_EQ(a.LogfileNamePrefix, b.LogfileNamePrefix);
    EXPECT_EQ(a.LogfileDirectory, b.LogfileDirectory);
    EXPECT_EQ(a.DefaultDevice, b.DefaultDevice);
    EXPECT_EQ(a.DefaultDuration, b.DefaultDuration);
    EXPECT_EQ(a.EventPendingDisplay, b.EventPendingDisplay);
    EXPECT_EQ(a.PixelSaturationValue, b.PixelSaturationValue);
    EXPECT_EQ(a.MainWindowPosition, b.MainWindowPosition);
    EXPECT_EQ(a.MessageWindowPosition, b.MessageWindowPosition);
    EXPECT_EQ(a.ControlsWindowPosition, b.ControlsWindowPosition);
    EXPECT_EQ(a.DialogWindowPosition, b.DialogWindowPosition);
    EXPECT_EQ(a.CountdownWindowPosition, b.CountdownWindowPosition);
    EXPECT_EQ(a.BrightnessContrastWindowPosition, b.BrightnessContrastWindowPosition);
    EXPECT_EQ(a.DisplayOffWhileRecording, b.DisplayOffWhileRecording);
    EXPECT_EQ(a.FilePreAllocation, b.FilePreAllocation);
    EXPECT_EQ(a.ManualAllocationGB, b.ManualAllocationGB);
    EXPECT_EQ(a.EventAllocationGB, b.EventAllocationGB);
    EXPECT_EQ(a.DefaultRenderer, b.DefaultRenderer);
    EXPECT_EQ(a.UseDefaultDeviceSettings, b.UseDefaultDeviceSettings);
    ASSERT_EQ(a.DeviceCodecPairs.size(), b.DeviceCodecPairs.size());
    for (qsizetype i = 0; i < a.DeviceCodecPairs.size(); ++i) {
        EXPECT_EQ(a.DeviceCodecPairs[i].device, b.DeviceCodecPairs[i].device);
        EXPECT_EQ(a.DeviceCodecPairs[i].codec, b.DeviceCodecPairs[i].codec);
    }
    ASSERT_EQ(a.DeviceFormatPairs.size(), b.DeviceFormatPairs.size());
    for (qsizetype i = 0; i < a.DeviceFormatPairs.size(); ++i) {
        EXPECT_EQ(a.DeviceFormatPairs[i].device, b.DeviceFormatPairs[i].device);
        EXPECT_EQ(a.DeviceFormatPairs[i].size, b.DeviceFormatPairs[i].size);
        EXPECT_EQ(a.DeviceFormatPairs[i].fps, b.DeviceFormatPairs[i].fps);
        EXPECT_EQ(a.DeviceFormatPairs[i].subtype, b.DeviceFormatPairs[i].subtype);
    }
}

} // namespace

TEST_F(OptionsFileTest, DefaultsWriteTheGoldenFileAndReadBack)
{
    ASSERT_TRUE(SaveOptionsFile());
    EXPECT_EQ(ReadFileBytes(OptionsFile()), Golden("options-defaults.xml"));

    const AppOptions written = Options();
    Options().VideoNamePrefix = QStringLiteral("changed");
    Options().MainWindowPosition = {1, 2, 3, 4};
    ASSERT_TRUE(LoadOptionsFile());
    ExpectSameFileFields(Options(), written);
}

TEST_F(OptionsFileTest, TwoPairsOfEachKindWriteTheGoldenFileAndReadBack)
{
    FillPairsExample(Options());
    ASSERT_TRUE(SaveOptionsFile());
    EXPECT_EQ(ReadFileBytes(OptionsFile()), Golden("options-pairs.xml"));

    const AppOptions written = Options();
    Options() = AppOptions{};
    ASSERT_TRUE(LoadOptionsFile());
    ExpectSameFileFields(Options(), written);
}

TEST_F(OptionsFileTest, ReaderAcceptsOtherRootsQuotesWhitespaceAndAttributeNames)
{
    ASSERT_TRUE(Load("<?xml version='1.0'?>\n<Settings>"
                     "<VideoNamePrefix   Value = 'single'  />\n\n\t  "
                     "<LogfileNamePrefix Anything=\"any name\"/>"
                     "<UseDefaultDeviceSettings Value=\"true\"/>"
                     "<FilePreAllocation Value=\"TRUE\"/><DisplayOffWhileRecording Value=\"True\"/>"
                     "<NoAttributes/><UnknownKey Value=\"x\"/><VideoDirectory A=\"1\" B=\"2\"/>"
                     "<!-- a comment -->text</Settings>"));
    const AppOptions& o = Options();
    EXPECT_EQ(o.VideoNamePrefix, QStringLiteral("single"));
    EXPECT_EQ(o.LogfileNamePrefix, QStringLiteral("any name"));
    EXPECT_FALSE(o.UseDefaultDeviceSettings); // only "TRUE" is true
    EXPECT_TRUE(o.FilePreAllocation);
    EXPECT_FALSE(o.DisplayOffWhileRecording);
    EXPECT_TRUE(o.VideoDirectory.isEmpty()); // two attributes on a single-value key: ignored
}

TEST_F(OptionsFileTest, PairsAreReadByPosition)
{
    ASSERT_TRUE(Load(Document("\t<DeviceFormatPair SubType=\"YUY2\" Device=\"Cam\" Size=\"720x480\" FPS=\"NTSC\"/>\r\n"
                              "\t<DeviceFormatPair Device=\"Cam\" Size=\"720x480\" FPS=\"NTSC\"/>\r\n"
                              "\t<DeviceFormatPair Device=\"Cam\" Size=\"640x480\" FPS=\"SECAM\" SubType=\"I420\"/>\r\n"
                              "\t<DeviceCodecPair Codec=\"NONE\" Device=\"Cam\" Extra=\"x\"/>\r\n"
                              "\t<DeviceCodecPair Device=\"Cam\"/>\r\n")));
    const AppOptions& o = Options();
    ASSERT_EQ(o.DeviceFormatPairs.size(), 2); // the three-attribute pair is dropped
    EXPECT_EQ(o.DeviceFormatPairs[0].device, QStringLiteral("YUY2"));
    EXPECT_EQ(o.DeviceFormatPairs[0].size, QStringLiteral("Cam"));
    EXPECT_EQ(o.DeviceFormatPairs[0].fps, FpsStandard::OTHER); // "720x480" is no FPS word
    EXPECT_EQ(o.DeviceFormatPairs[0].subtype, VideoSubtype::OTHER);
    EXPECT_EQ(o.DeviceFormatPairs[1].fps, FpsStandard::OTHER);     // unknown FPS word
    EXPECT_EQ(o.DeviceFormatPairs[1].subtype, VideoSubtype::OTHER); // unknown subtype word
    ASSERT_EQ(o.DeviceCodecPairs.size(), 1); // a single attribute is a value, not a pair
    EXPECT_EQ(o.DeviceCodecPairs[0].device, QStringLiteral("NONE"));
    EXPECT_EQ(o.DeviceCodecPairs[0].codec, QStringLiteral("Cam"));
}

TEST_F(OptionsFileTest, NumbersStopAtTheFirstMismatch)
{
    ASSERT_TRUE(Load(Document("\t<MainWindowPosition Value=\"10, 20\"/>\r\n"
                              "\t<MessageWindowPosition Value=\"1,2 ,3, x\"/>\r\n"
                              "\t<ControlsWindowPosition Value=\"junk\"/>\r\n"
                              "\t<PixelSaturationValue Value=\"  230 dB\"/>\r\n"
                              "\t<ManualAllocationGB Value=\"7GB\"/>\r\n"
                              "\t<EventAllocationGB Value=\"\"/>\r\n"
                              "\t<DefaultRenderer Value=\"vmr9\"/>\r\n")));
    const AppOptions& o = Options();
    EXPECT_EQ(o.MainWindowPosition, (WindowPosition4{10, 20, 660, 540}));
    EXPECT_EQ(o.MessageWindowPosition, (WindowPosition4{1, 2, 700, 460}));
    EXPECT_EQ(o.ControlsWindowPosition, (WindowPosition2{150, 150}));
    EXPECT_EQ(o.PixelSaturationValue, 230);
    EXPECT_EQ(o.ManualAllocationGB, 7u);
    EXPECT_EQ(o.EventAllocationGB, 0u);
    EXPECT_EQ(o.DefaultRenderer, VideoRenderer::Window);
}

TEST_F(OptionsFileTest, OverlongValuesAreCutAtTheirCapacity)
{
    const QByteArray longPrefix(40, 'p');
    const QByteArray longFolder(700, 'f');
    ASSERT_TRUE(Load(Document("\t<VideoNamePrefix Value=\"" + longPrefix + "\"/>\r\n\t<VideoDirectory Value=\"" + longFolder
                              + "\"/>\r\n\t<DeviceCodecPair Device=\"d\" Codec=\"" + QByteArray(300, 'c') + "\"/>\r\n")));
    EXPECT_EQ(Options().VideoNamePrefix.size(), 20);
    EXPECT_EQ(Options().VideoDirectory.size(), 511);
    EXPECT_EQ(Options().DeviceCodecPairs[0].codec.size(), 127);
}

TEST_F(OptionsFileTest, WindowsWrittenLatin1AndBrokenFilesAreHandled)
{
    // Bytes as the Windows program writes them: 8-bit text, CR LF, no encoding named.
    ASSERT_TRUE(Load(Document("\t<VideoDirectory Value=\"C:\\Vid\xe9o\\\"/>\r\n")));
    EXPECT_EQ(Options().VideoDirectory, QStringLiteral("C:\\Vid\u00e9o\\"));
    // A hand-edited file that says it is UTF-8.
    ASSERT_TRUE(Load("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root><VideoNamePrefix Value=\"\xd0\x96\"/></Root>"));
    EXPECT_EQ(Options().VideoNamePrefix, QStringLiteral("\u0416"));

    for (const QByteArray& broken : {QByteArray(), QByteArray("<Root><VideoNamePrefix Value=\"x\"></Root>"),
                                     QByteArray("not xml at all"), QByteArray("<?xml version=\"1.0\"?>")}) {
        Options().VideoNamePrefix = QStringLiteral("kept");
        EXPECT_FALSE(Load(broken)) << broken.constData();
        EXPECT_EQ(Options().VideoNamePrefix, QStringLiteral("kept"));
    }
    QFile::remove(OptionsFile());
    EXPECT_FALSE(LoadOptionsFile());
}

TEST_F(OptionsFileTest, CheckDerivesDurationAndDisplay)
{
    struct Case {
        const char* text;
        int h, m, s;
        const char* storedAfter;
    } cases[] = {{"01:30:00", 1, 30, 0, "01:30:00"},
                 {"", 0, 10, 0, "00:10:00"},
                 {"02", 2, 10, 0, "02"},
                 {"03:45", 3, 45, 0, "03:45"},
                 {"nonsense", 0, 10, 0, "nonsense"}};
    for (const Case& c : cases) {
        Options().DefaultDuration = QString::fromLatin1(c.text);
        CheckLoadedOptions();
        const CalendarTime& d = Options().DefaultRecordingDuration;
        EXPECT_EQ(d.hour, c.h) << c.text;
        EXPECT_EQ(d.minute, c.m) << c.text;
        EXPECT_EQ(d.second, c.s) << c.text;
        EXPECT_EQ(d.year, 1943);
        EXPECT_EQ(Options().DefaultDuration, QLatin1String(c.storedAfter));
    }
    // The empty duration is written as 00:10:00 by the next save.
    ASSERT_TRUE(SaveOptionsFile());
    EXPECT_TRUE(ReadFileBytes(OptionsFile()).contains("<DefaultDuration Value=\"nonsense\"/>"));

    Options().EventPendingDisplay = QStringLiteral("UTC");
    CheckLoadedOptions();
    EXPECT_TRUE(Options().ShowEventTimeAsUtc);
    Options().EventPendingDisplay = QStringLiteral("utc");
    CheckLoadedOptions();
    EXPECT_FALSE(Options().ShowEventTimeAsUtc);
    Options().EventPendingDisplay.clear();
    Options().ShowEventTimeAsUtc = true;
    CheckLoadedOptions();
    EXPECT_TRUE(Options().ShowEventTimeAsUtc); // empty leaves it as it is
}

TEST_F(OptionsFileTest, CheckMatchesPairsAgainstTheAttachedDevices)
{
    DeviceTable& t = Devices();
    t.count = 2;
    t.devices[0].name = QStringLiteral("Cam");
    t.devices[0].codecNames = {QStringLiteral("NONE"), QStringLiteral("JPEG image encoder")};
    t.devices[0].formats = {{QStringLiteral("720x480"), 720, 480, 30, 333667, FpsStandard::NTSC, VideoSubtype::YUY2},
                            {QStringLiteral("720x576"), 720, 576, 25, 400000, FpsStandard::PAL, VideoSubtype::YUY2}};
    t.devices[1].name = QStringLiteral("Other");
    t.devices[1].codecNames = {QStringLiteral("NONE")};

    AppOptions& o = Options();
    o.DeviceCodecPairs = {{QStringLiteral("Cam"), QStringLiteral("Gone 1")},
                          {QStringLiteral("Other"), QStringLiteral("Gone 2")},
                          {QStringLiteral("Cam"), QStringLiteral("JPEG image encoder")},
                          {QStringLiteral("Unplugged"), QStringLiteral("Anything")},
                          {QStringLiteral("cam"), QStringLiteral("Gone 3")}};
    o.DeviceFormatPairs = {{QStringLiteral("Cam"), QStringLiteral("720x576"), FpsStandard::PAL, VideoSubtype::YUY2},
                           {QStringLiteral("Other"), QStringLiteral("640x480"), FpsStandard::NTSC, VideoSubtype::RGB24}};
    CheckLoadedOptions();

    // Both consecutive missing codecs are gone, each with its NOTE; the rest stay.
    ASSERT_EQ(o.DeviceCodecPairs.size(), 3);
    EXPECT_EQ(o.DeviceCodecPairs[0].codec, QStringLiteral("JPEG image encoder"));
    EXPECT_EQ(o.DeviceCodecPairs[1].device, QStringLiteral("Unplugged"));
    EXPECT_EQ(o.DeviceCodecPairs[2].device, QStringLiteral("cam")); // names compare case-sensitively
    EXPECT_EQ(t.devices[0].chosenCodecIndex, 1);
    const QString log = Log();
    EXPECT_TRUE(log.contains(QStringLiteral("NOTE: the camera codec pair \"Cam | Gone 1\" because the codec is not installed\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("NOTE: the camera codec pair \"Other | Gone 2\" because the codec is not installed\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("Media format \"640x480\" is not available for video camera \"Other\"\n")));
    EXPECT_EQ(o.DeviceFormatPairs.size(), 2); // the unavailable format stays
    EXPECT_EQ(t.devices[0].defaultFormatIndex, 1);
    EXPECT_EQ(t.devices[0].selectedFormatIndex, 1);

    // The file was rewritten without the removed pairs.
    const QByteArray file = ReadFileBytes(OptionsFile());
    EXPECT_FALSE(file.contains("Gone 1"));
    EXPECT_FALSE(file.contains("Gone 2"));
    EXPECT_TRUE(file.contains("Gone 3"));
}

TEST_F(OptionsFileTest, LookupsAreExactAndBounded)
{
    DeviceTable& t = Devices();
    EXPECT_EQ(FindDeviceIndex(QStringLiteral("Cam")), -1); // nothing attached
    t.count = 1;
    t.devices[0].name = QStringLiteral("Cam");
    t.devices[0].formats = {{QStringLiteral("720x480"), 720, 480, 30, 333667, FpsStandard::NTSC, VideoSubtype::YUY2}};
    EXPECT_EQ(FindDeviceIndex(QStringLiteral("Cam")), 0);
    EXPECT_EQ(FindDeviceIndex(QStringLiteral("CAM")), -1);
    EXPECT_EQ(FindCodecIndex(0, QStringLiteral("NONE")), -1); // empty codec list
    EXPECT_EQ(FindCodecIndex(5, QStringLiteral("NONE")), -1);
    EXPECT_EQ(FindFormatIndex(0, QStringLiteral("720x480"), FpsStandard::NTSC, VideoSubtype::YUY2), 0);
    EXPECT_EQ(FindFormatIndex(0, QStringLiteral("720x480"), FpsStandard::PAL, VideoSubtype::YUY2), -1);
    EXPECT_EQ(FindFormatIndex(0, QStringLiteral("720x480"), FpsStandard::NTSC, VideoSubtype::RGB24), -1);

    Options().DeviceCodecPairs = {{QStringLiteral("cam"), QStringLiteral("a")}, {QStringLiteral("Cam"), QStringLiteral("b")}};
    ASSERT_NE(FindDeviceCodecPair(0), nullptr);
    EXPECT_EQ(FindDeviceCodecPair(0)->codec, QStringLiteral("b"));
    EXPECT_EQ(FindDeviceFormatPair(0), nullptr);
    EXPECT_EQ(FindDeviceCodecPair(-1), nullptr);
}

TEST_F(OptionsFileTest, CharactersOutsideLatin1AreWrittenAsReferences)
{
    Options().VideoDirectory = QStringLiteral("/home/\u041d\u0430\u0431\u043b/\U0001F52D/");
    ASSERT_TRUE(SaveOptionsFile());
    const QByteArray file = ReadFileBytes(OptionsFile());
    EXPECT_TRUE(file.contains("<VideoDirectory Value=\"/home/&#x41D;&#x430;&#x431;&#x43B;/&#x1F52D;/\"/>\r\n"));
    const QString written = Options().VideoDirectory;
    Options().VideoDirectory.clear();
    ASSERT_TRUE(LoadOptionsFile());
    EXPECT_EQ(Options().VideoDirectory, written);
}

TEST_F(OptionsFileTest, SaveAndReportWritesTheDefaultThresholdAndKeepsTheOneInEffect)
{
    Options().PixelSaturationValue = 180;
    Options().SaturationDefault = -1;
    SaveOptionsAndReport();
    EXPECT_TRUE(ReadFileBytes(OptionsFile()).contains("<PixelSaturationValue Value=\"-1\"/>"));
    EXPECT_EQ(Options().PixelSaturationValue, 180);
    Options().SaturationDefault = 220;
    SaveOptionsAndReport();
    EXPECT_TRUE(ReadFileBytes(OptionsFile()).contains("<PixelSaturationValue Value=\"220\"/>"));
}

TEST_F(OptionsFileTest, AFailedSaveKeepsTheOldFileAndIsReported)
{
    ASSERT_TRUE(SaveOptionsFile());
    const QByteArray before = ReadFileBytes(OptionsFile());

    // A disk that fills while the file is written: the file-size limit makes the write fail.
    Options().VideoNamePrefix = QStringLiteral("new");
    {
        ScopedFileSizeLimit limit(200);
        SaveOptionsAndReport();
    }

    EXPECT_EQ(ReadFileBytes(OptionsFile()), before);
    EXPECT_TRUE(Log().contains(QStringLiteral(
        "WARNING: Cannot save VELA_options.xml file in process directory - write protected?,  warning 17\n")));
    // No temporary file is left behind.
    EXPECT_EQ(QDir(m_dir.Path()).entryList(QDir::Files), QStringList{QStringLiteral("VELA_options.xml")});
}
