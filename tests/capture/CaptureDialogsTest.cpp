// The device and codec dialogs driven through their widgets, on hand-made device tables.
#include "app/MenuCommands.h"
#include "capture/DeviceTable.h"
#include "capture/FormatRules.h"
#include "capture/ui/CodecSelectorDialog.h"
#include "capture/ui/DeviceFormatDialog.h"
#include "options/OptionsFile.h"

#include "DeviceTableFixture.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr std::int64_t kNtsc = 333'667;
constexpr std::int64_t kPal = 400'000;
const QString kMark = QString(QChar(0x2713)) + u' ';

void AddDevice(const QString& name, QList<MediaFormat> formats, QStringList codecs = {QStringLiteral("NONE")})
{
    CaptureDevice* slot = FreeDeviceSlot(Devices());
    ASSERT_NE(slot, nullptr);
    slot->name = name;
    slot->formats = std::move(formats);
    slot->codecNames = std::move(codecs);
    ASSERT_TRUE(CommitDeviceSlot(Devices()));
}

CaptureDevice& Device(int i)
{
    return Devices().devices[static_cast<std::size_t>(i)];
}

QStringList Labels(const QListWidget* list)
{
    QStringList labels;
    for (int i = 0; i < list->count(); ++i)
        labels << list->item(i)->text();
    return labels;
}

template <class W>
W* Control(const QDialog& d, const char* id)
{
    W* w = d.findChild<W*>(QString::fromLatin1(id));
    EXPECT_NE(w, nullptr) << id;
    return w;
}

void Click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
}

void ClickRow(QListWidget* list, int row)
{
    ASSERT_LT(row, list->count());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Device 0 offers NTSC only, device 1 is a known device with both standards.
class CaptureDialogTest : public DeviceTableTest {
protected:
    void SetUp() override
    {
        DeviceTableTest::SetUp();
        Options() = AppOptions{};
        Options().UseDefaultDeviceSettings = false;
        AddDevice(QStringLiteral("Bench Camera"), {MakeMediaFormat(VideoSubtype::RGB24, 640, 480, kNtsc),
                                                  MakeMediaFormat(VideoSubtype::YUY2, 720, 480, kNtsc)});
        AddDevice(QStringLiteral("USB 2861 Device"), {MakeMediaFormat(VideoSubtype::YUY2, 720, 480, kNtsc),
                                                      MakeMediaFormat(VideoSubtype::YUY2, 720, 576, kPal),
                                                      MakeMediaFormat(VideoSubtype::MJPG, 640, 480, kPal),
                                                      MakeMediaFormat(VideoSubtype::YUY2, 320, 240, kPal)});
        Devices().currentDeviceIndex = 0;
        Devices().defaultDeviceIndex = 0;
    }

    DeviceAcceptSteps Recorder()
    {
        DeviceAcceptSteps s;
        s.SizeVideoWindow = [this] { m_steps << QStringLiteral("size"); };
        s.EventArmed = [this] { return m_armed; };
        s.DisarmEvent = [this] { m_steps << QStringLiteral("disarm"); };
        s.RestartGraph = [this] {
            m_steps << QStringLiteral("restart %1/%2").arg(Devices().currentDeviceIndex).arg(Device(Devices().currentDeviceIndex).selectedFormatIndex);
        };
        s.LoadEventSchedule = [this] { m_steps << QStringLiteral("schedule"); };
        return s;
    }

    std::unique_ptr<DeviceFormatDialog> OpenDeviceDialog()
    {
        auto d = std::make_unique<DeviceFormatDialog>(Recorder(), m_restricted);
        d->open();
        return d;
    }

    QStringList m_steps;
    bool m_armed = false;
    std::optional<bool> m_restricted;
};

using DeviceFormatDialogTest = CaptureDialogTest;
using CodecSelectorDialogTest = CaptureDialogTest;

TEST_F(DeviceFormatDialogTest, OpensOnTheCurrentDeviceWithMarksAndTheFirstFormatForNoSelection)
{
    Options().DefaultDevice = QStringLiteral("USB 2861 Device");
    Options().UseDefaultDeviceSettings = false;
    Device(0).defaultFormatIndex = 1;
    auto d = OpenDeviceDialog();
    auto* devices = Control<QListWidget>(*d, "1199");
    auto* formats = Control<QListWidget>(*d, "1200");
    EXPECT_EQ(Labels(devices), (QStringList{QStringLiteral("  Bench Camera"), kMark + QStringLiteral("USB 2861 Device")}));
    EXPECT_EQ(devices->currentRow(), 0);
    EXPECT_EQ(Labels(formats), (QStringList{QStringLiteral("  640x480"), kMark + QStringLiteral("720x480")}));
    EXPECT_EQ(formats->currentRow(), 0) << "selected format -1 highlights the first";
    EXPECT_EQ(Control<QLabel>(*d, "1208")->text(), QStringLiteral("RGB24"));
    EXPECT_TRUE(Control<QRadioButton>(*d, "1204")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(*d, "1206")->isVisible());
    EXPECT_FALSE(Control<QCheckBox>(*d, "1201")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*d, "1217")->isChecked());
    EXPECT_EQ(Control<QPushButton>(*d, "1074")->text(), QStringLiteral("OK"));
    EXPECT_EQ(Device(0).selectedFormatIndex, -1) << "opening selects nothing";

    // Highlighting the other device makes it current at once, with its own standard.
    Device(1).selectedFormatIndex = 1;
    devices->setCurrentRow(1);
    EXPECT_EQ(Devices().currentDeviceIndex, 1);
    EXPECT_TRUE(Control<QRadioButton>(*d, "1205")->isChecked());
    EXPECT_EQ(Labels(formats), (QStringList{QStringLiteral("  720x576"), QStringLiteral("  640x480"),
                                            QStringLiteral("  320x240")}))
        << "unrestricted this run: every PAL format";
    EXPECT_EQ(formats->currentRow(), 0);
    formats->setCurrentRow(1);
    EXPECT_EQ(Device(1).selectedFormatIndex, 2);
    EXPECT_EQ(Control<QLabel>(*d, "1208")->text(), QStringLiteral("MJPG"));
}

TEST_F(DeviceFormatDialogTest, PalOnAnNtscOnlyDeviceEmptiesTheListAndAcceptKeepsTheFormat)
{
    Device(0).selectedFormatIndex = 1;
    m_armed = true;
    auto d = OpenDeviceDialog();
    auto* formats = Control<QListWidget>(*d, "1200");
    EXPECT_EQ(formats->currentRow(), 1);
    Click(Control<QRadioButton>(*d, "1205"));
    EXPECT_EQ(formats->count(), 0);
    Click(Control<QRadioButton>(*d, "1204"));
    EXPECT_EQ(formats->count(), 2);
    Click(Control<QRadioButton>(*d, "1205"));
    Click(Control<QPushButton>(*d, "1074"));
    EXPECT_EQ(d->result(), 2);
    EXPECT_EQ(m_steps, (QStringList{"size", "disarm", "restart 0/1", "schedule"}));
    EXPECT_TRUE(Options().DeviceFormatPairs.isEmpty());
}

TEST_F(DeviceFormatDialogTest, DefaultsBoxCheckedThenClearedSavesNothingButRestartsWithTheHighlight)
{
    auto d = OpenDeviceDialog();
    auto* makeDefault = Control<QCheckBox>(*d, "1201");
    auto* accept = Control<QPushButton>(*d, "1074");
    ClickRow(Control<QListWidget>(*d, "1199"), 1);
    Click(Control<QRadioButton>(*d, "1205"));
    ClickRow(Control<QListWidget>(*d, "1200"), 1);
    Click(makeDefault);
    EXPECT_EQ(accept->text(), QStringLiteral("Save"));
    Click(makeDefault);
    EXPECT_EQ(accept->text(), QStringLiteral("OK"));
    Click(accept);
    EXPECT_EQ(d->result(), 2);
    EXPECT_EQ(m_steps, (QStringList{"size", "restart 1/2", "schedule"})) << "no Event armed: no disarm";
    EXPECT_TRUE(Options().DeviceFormatPairs.isEmpty());
    EXPECT_TRUE(Options().DefaultDevice.isEmpty());
    EXPECT_EQ(Devices().defaultDeviceIndex, 0);
}

TEST_F(DeviceFormatDialogTest, ChangingOnlyTheStartupBoxSavesItButKeepsThisRunsLists)
{
    Options().UseDefaultDeviceSettings = true;
    Devices().currentDeviceIndex = 1;
    auto d = OpenDeviceDialog();
    auto* useDefaults = Control<QCheckBox>(*d, "1217");
    EXPECT_TRUE(useDefaults->isChecked());
    Click(useDefaults);
    EXPECT_EQ(Control<QPushButton>(*d, "1074")->text(), QStringLiteral("Save"));
    Click(Control<QPushButton>(*d, "1074"));
    EXPECT_EQ(d->result(), 1);
    EXPECT_FALSE(Options().UseDefaultDeviceSettings);
    EXPECT_TRUE(Options().DeviceFormatPairs.isEmpty());
    EXPECT_TRUE(Options().DefaultDevice.isEmpty());

    // The restriction taken at the first opening holds until the next start.
    auto again = OpenDeviceDialog();
    EXPECT_TRUE(Control<QCheckBox>(*again, "1217")->isChecked());
    EXPECT_EQ(Labels(Control<QListWidget>(*again, "1200")), (QStringList{QStringLiteral("  720x480")}));
    Click(Control<QCheckBox>(*again, "1217"));
    Click(Control<QCheckBox>(*again, "1217"));
    EXPECT_EQ(Control<QPushButton>(*again, "1074")->text(), QStringLiteral("OK"));
}

TEST_F(DeviceFormatDialogTest, SavedDefaultsCreateOrUpdateTheFormatPair)
{
    // No pair yet: one is appended; the format stays unselected but is marked as default.
    auto d = OpenDeviceDialog();
    Click(Control<QCheckBox>(*d, "1201"));
    Click(Control<QPushButton>(*d, "1074"));
    EXPECT_EQ(d->result(), 1);
    ASSERT_EQ(Options().DeviceFormatPairs.size(), 1);
    const DeviceFormatPair& created = Options().DeviceFormatPairs[0];
    EXPECT_EQ(created.device, QStringLiteral("Bench Camera"));
    EXPECT_EQ(created.size, QStringLiteral("640x480"));
    EXPECT_EQ(created.fps, FpsStandard::NTSC);
    EXPECT_EQ(created.subtype, VideoSubtype::RGB24);
    EXPECT_EQ(Device(0).selectedFormatIndex, -1);
    EXPECT_EQ(Device(0).defaultFormatIndex, 0);
    EXPECT_EQ(Options().DefaultDevice, QStringLiteral("Bench Camera"));

    // A pair exists: it is rewritten in place for the other device's PAL format.
    Options().DeviceFormatPairs.append({QStringLiteral("USB 2861 Device"), QStringLiteral("720x480"), FpsStandard::NTSC,
                                        VideoSubtype::YUY2});
    d = OpenDeviceDialog();
    ClickRow(Control<QListWidget>(*d, "1199"), 1);
    Click(Control<QRadioButton>(*d, "1205"));
    ASSERT_EQ(Device(1).selectedFormatIndex, -1) << "the refill only highlights";
    ClickRow(Control<QListWidget>(*d, "1200"), 0); // the highlighted one
    Click(Control<QCheckBox>(*d, "1201"));
    Click(Control<QPushButton>(*d, "1074"));
    EXPECT_EQ(d->result(), 1);
    ASSERT_EQ(Options().DeviceFormatPairs.size(), 2);
    const DeviceFormatPair& updated = Options().DeviceFormatPairs[1];
    EXPECT_EQ(updated.size, QStringLiteral("720x576"));
    EXPECT_EQ(updated.fps, FpsStandard::PAL);
    EXPECT_EQ(Options().DefaultDevice, QStringLiteral("USB 2861 Device"));
    EXPECT_EQ(Devices().defaultDeviceIndex, 1);
    EXPECT_EQ(Device(1).defaultFormatIndex, 1);
    EXPECT_EQ(Labels(Control<QListWidget>(*OpenDeviceDialog(), "1199")).value(1), kMark + QStringLiteral("USB 2861 Device"));
}

TEST_F(DeviceFormatDialogTest, CancelPutsBackEveryDeviceAndKeysDoNothing)
{
    Device(0).selectedFormatIndex = 1;
    auto d = OpenDeviceDialog();
    Control<QListWidget>(*d, "1200")->setCurrentRow(0);
    Control<QListWidget>(*d, "1199")->setCurrentRow(1);
    Click(Control<QRadioButton>(*d, "1205"));
    Control<QListWidget>(*d, "1200")->setCurrentRow(1);
    ASSERT_EQ(Device(1).selectedFormatIndex, 2);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(Control<QListWidget>(*d, "1199"), key);
    EXPECT_TRUE(d->isVisible());
    Click(Control<QPushButton>(*d, "1038"));
    EXPECT_EQ(d->result(), 3);
    EXPECT_EQ(Devices().currentDeviceIndex, 0);
    EXPECT_EQ(Device(0).selectedFormatIndex, 1);
    EXPECT_EQ(Device(1).selectedFormatIndex, -1) << "a format clicked on another device is undone too";
    EXPECT_TRUE(m_steps.isEmpty());

    d = OpenDeviceDialog();
    Control<QListWidget>(*d, "1199")->setCurrentRow(1);
    d->close();
    EXPECT_EQ(d->result(), 3);
    EXPECT_EQ(Devices().currentDeviceIndex, 0);
}

TEST_F(DeviceFormatDialogTest, MoreThanAHundredFormatsAreAllListedAndSelectable)
{
    QList<MediaFormat> many;
    for (int i = 0; i < 130; ++i)
        many.append(MakeMediaFormat(VideoSubtype::YUY2, 100 + i, 100, kNtsc));
    AddDevice(QStringLiteral("Many Formats"), many);
    Devices().currentDeviceIndex = 2;
    Options().UseDefaultDeviceSettings = false;
    auto d = OpenDeviceDialog();
    auto* formats = Control<QListWidget>(*d, "1200");
    ASSERT_EQ(formats->count(), 130);
    formats->setCurrentRow(125);
    EXPECT_EQ(Device(2).selectedFormatIndex, 125);
}

TEST_F(CodecSelectorDialogTest, PairedCodecKeepsItsMarkWhileAnotherIsChosen)
{
    Device(0).codecNames = {QStringLiteral("NONE"), QStringLiteral("Codec A"), QStringLiteral("Codec B")};
    Device(0).chosenCodecIndex = 1;
    Options().DeviceCodecPairs.append({QStringLiteral("Bench Camera"), QStringLiteral("Codec B")});
    CodecSelectorDialog d;
    d.open();
    auto* codecs = Control<QListWidget>(d, "1031");
    EXPECT_EQ(Control<QLabel>(d, "1030")->text(), QStringLiteral("Bench Camera"));
    EXPECT_EQ(Labels(codecs), (QStringList{QStringLiteral("  NONE"), QStringLiteral("  Codec A"), kMark + QStringLiteral("Codec B")}));
    EXPECT_EQ(codecs->currentRow(), 1);
    EXPECT_TRUE(Control<QCheckBox>(d, "1144")->isEnabled());

    // The box with a different codec rewrites the existing pair.
    codecs->setCurrentRow(0);
    Click(Control<QCheckBox>(d, "1144"));
    EXPECT_EQ(Control<QPushButton>(d, "1074")->text(), QStringLiteral("Save"));
    Click(Control<QPushButton>(d, "1074"));
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(Device(0).chosenCodecIndex, 0);
    ASSERT_EQ(Options().DeviceCodecPairs.size(), 1);
    EXPECT_EQ(Options().DeviceCodecPairs[0].codec, QStringLiteral("NONE"));
}

TEST_F(CodecSelectorDialogTest, NoChosenCodecHighlightsNothingAndTheBoxWaitsForAChoice)
{
    Device(0).codecNames = {QStringLiteral("NONE"), QStringLiteral("Codec A")};
    CodecSelectorDialog d;
    d.open();
    EXPECT_EQ(Control<QListWidget>(d, "1031")->currentRow(), -1);
    EXPECT_FALSE(Control<QCheckBox>(d, "1144")->isEnabled());
    Click(Control<QPushButton>(d, "1074"));
    EXPECT_EQ(d.result(), 3);
    EXPECT_EQ(Device(0).chosenCodecIndex, -1);
}

TEST_F(CodecSelectorDialogTest, CheckedBoxOnTheChosenCodecStoresTheMissingPair)
{
    Device(0).codecNames = {QStringLiteral("NONE"), QStringLiteral("Codec A")};
    Device(0).chosenCodecIndex = 1;
    CodecSelectorDialog d;
    d.open();
    Click(Control<QCheckBox>(d, "1144"));
    Click(Control<QPushButton>(d, "1074"));
    EXPECT_EQ(d.result(), 1);
    ASSERT_EQ(Options().DeviceCodecPairs.size(), 1);
    EXPECT_EQ(Options().DeviceCodecPairs[0].device, QStringLiteral("Bench Camera"));
    EXPECT_EQ(Options().DeviceCodecPairs[0].codec, QStringLiteral("Codec A"));

    // Unchanged codec, box clear: nothing to do.
    CodecSelectorDialog same;
    same.open();
    Click(Control<QPushButton>(same, "1074"));
    EXPECT_EQ(same.result(), 3);
}

TEST_F(CodecSelectorDialogTest, CancelAndKeysKeepTheChosenCodec)
{
    Device(0).codecNames = {QStringLiteral("NONE"), QStringLiteral("Codec A")};
    Device(0).chosenCodecIndex = 0;
    struct Case {
        Qt::Key key;
        int result;
    };
    for (const Case c : {Case{Qt::Key_Escape, 4}, Case{Qt::Key_Return, 4}, Case{Qt::Key_unknown, 3}}) {
        CodecSelectorDialog d;
        d.open();
        Control<QListWidget>(d, "1031")->setCurrentRow(1);
        if (c.key == Qt::Key_unknown)
            Click(Control<QPushButton>(d, "1038"));
        else
            QTest::keyClick(Control<QListWidget>(d, "1031"), c.key);
        EXPECT_FALSE(d.isVisible()) << c.key;
        EXPECT_EQ(d.result(), c.result) << c.key;
        EXPECT_EQ(Device(0).chosenCodecIndex, 0) << c.key;
    }
}

// The menu command around the real dialog: another codec without the box restarts
// capture with it and writes no options file.
TEST_F(CodecSelectorDialogTest, ChosenWithoutTheBoxRestartsCaptureAndLeavesTheOptionsFile)
{
    ScopedProcessDirectory dir;
    Device(0).codecNames = {QStringLiteral("NONE"), QStringLiteral("Codec A")};
    Device(0).chosenCodecIndex = 0;
    QStringList calls;
    CommandSteps steps;
    steps.CodecCatalogueExists = [] { return true; };
    steps.SaveOptionsAndReport = [&] {
        calls << QStringLiteral("save");
        SaveOptionsAndReport();
    };
    steps.RestartGraph = [&] { calls << QStringLiteral("restart with %1").arg(Device(0).chosenCodecIndex); };
    steps.RunDialog = [](MenuDialog which) {
        EXPECT_EQ(which, MenuDialog::CodecSelector);
        CodecSelectorDialog d;
        QTimer::singleShot(0, &d, [&d] {
            Control<QListWidget>(d, "1031")->setCurrentRow(1);
            Click(Control<QPushButton>(d, "1074"));
        });
        return d.exec();
    };
    ASSERT_TRUE(RunDialogCommand(CommandId::CodecDefault, steps));
    EXPECT_EQ(calls, QStringList{QStringLiteral("restart with 1")});
    EXPECT_FALSE(QFile::exists(dir.FilePath(QLatin1String(kOptionsFileName))));
    EXPECT_TRUE(Options().DeviceCodecPairs.isEmpty());
}

} // namespace
