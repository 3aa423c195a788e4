// The device and codec dialogs driven through their widgets, on a hand-made device table.
#include "capture/ui/CodecSelectorDialog.h"
#include "capture/ui/DeviceFormatDialog.h"
#include "devices/FormatRules.h"
#include "options/SettingsRules.h"

#include "support/LogCapture.h"
#include "support/WidgetDriving.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kMark = QString(QChar(0x2713)) + u' ';

// Device 0 offers NTSC only; device 1 has both standards. Format lists are unrestricted
// unless a test says otherwise; the accept steps are recorded.
class CaptureDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        o.UseDefaultDeviceSettings = false;
        using enum VideoSubtype;
        for (const auto& [name, formats] : {std::pair{"Bench Camera", QList{MakeMediaFormat(RGB24, 640, 480, kNtsc), MakeMediaFormat(YUY2, 720, 480, kNtsc)}},
                                            {"USB 2861 Device", {MakeMediaFormat(YUY2, 720, 480, kNtsc), MakeMediaFormat(YUY2, 720, 576, kPal),
                                                                 MakeMediaFormat(MJPG, 640, 480, kPal), MakeMediaFormat(YUY2, 320, 240, kPal)}}}) {
            CaptureDevice* slot = FreeDeviceSlot(table, m_log.Log());
            slot->name = QLatin1String(name);
            slot->formats = formats;
            CommitDeviceSlot(table);
        }
        table.currentDeviceIndex = table.defaultDeviceIndex = 0;
        Device(0).codecNames = {QStringLiteral("NONE"), QStringLiteral("Codec A"), QStringLiteral("Codec B")};
    }

    CaptureDevice& Device(int i) { return table.devices[static_cast<std::size_t>(i)]; }
    std::unique_ptr<DeviceFormatDialog> OpenDeviceDialog()
    {
        DeviceAcceptSteps s;
        s.SizeVideoWindow = [this] { m_steps << QStringLiteral("size"); };
        s.EventArmed = [this] { return m_armed; };
        s.DisarmEvent = [this] { m_steps << QStringLiteral("disarm"); };
        s.RestartGraph = [this] {
            const int current = table.currentDeviceIndex;
            m_steps << QStringLiteral("restart %1/%2").arg(current).arg(Device(current).selectedFormatIndex);
        };
        s.LoadEventSchedule = [this] { m_steps << QStringLiteral("schedule"); };
        auto d = std::make_unique<DeviceFormatDialog>(o, table, s, m_restricted);
        d->open();
        return d;
    }

    static constexpr std::int64_t kNtsc = 333'667;
    static constexpr std::int64_t kPal = 400'000;
    QStringList m_steps;
    bool m_armed = false;
    std::optional<bool> m_restricted;
    ScopedLogAndClock m_log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
    AppOptions o;
    DeviceTable table;
};

using DeviceFormatDialogTest = CaptureDialogTest;
using CodecSelectorDialogTest = CaptureDialogTest;

QString PairsText(const AppOptions& o)
{
    QStringList pairs;
    for (const DeviceFormatPair& p : o.DeviceFormatPairs)
        pairs << QStringLiteral("%1 %2 %3 %4").arg(p.device, p.size).arg(static_cast<int>(p.fps)).arg(static_cast<int>(p.subtype));
    for (const DeviceCodecPair& p : o.DeviceCodecPairs)
        pairs << p.device + u' ' + p.codec;
    return pairs.join(QLatin1String(", "));
}

// Each device keeps one pair of each kind: a stored one is replaced, never doubled.
TEST_F(CaptureDialogTest, DefaultsStoreOnePairPerDeviceNamingTheChoice)
{
    o.DeviceFormatPairs.append({"USB 2861 Device", "720x480", FpsStandard::NTSC, VideoSubtype::YUY2});
    o.DeviceCodecPairs.append({QStringLiteral("Bench Camera"), QStringLiteral("Codec B")});
    Device(1).selectedFormatIndex = 2;
    StoreDeviceFormatPair(o, table, 0); // nothing selected: the first format
    StoreDeviceFormatPair(o, table, 1);
    StoreDeviceFormatPair(o, table, 2); // no such device: nothing
    StoreDeviceCodecPair(o, table, 0, QStringLiteral("NONE"));
    EXPECT_EQ(PairsText(o), QStringLiteral("USB 2861 Device 640x480 1 0, Bench Camera 640x480 0 1, Bench Camera NONE"));
    EXPECT_EQ(Device(1).selectedFormatIndex, 2);
}

// A graph built while the dialog is open (an Event starting) must find the choice in
// force: only OK hands the new one over, whatever the accept button's wording (which a
// platform may decorate with an accelerator); Cancel leaves it, and keys do nothing.
TEST_F(DeviceFormatDialogTest, TheLiveTableChangesOnlyOnOk)
{
    o.DefaultDevice = QStringLiteral("USB 2861 Device");
    Device(0).defaultFormatIndex = 1;
    const auto live = [this] {
        return QStringLiteral("%1/%2/%3").arg(table.currentDeviceIndex).arg(Device(0).selectedFormatIndex).arg(Device(1).selectedFormatIndex);
    };
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        m_armed = ok;
        auto d = OpenDeviceDialog();
        EXPECT_EQ(Labels(ById<QListWidget>(*d, "devices")), (QStringList{"  Bench Camera", kMark + "USB 2861 Device"}));
        EXPECT_EQ(Labels(ById<QListWidget>(*d, "formats")), (QStringList{"  640x480", kMark + "720x480"}));
        EXPECT_EQ(ById<QLabel>(*d, "subtype")->text(), QStringLiteral("RGB24"));
        EXPECT_EQ(live(), QStringLiteral("0/-1/-1")) << "highlighting selects nothing";
        ClickRow(ById<QListWidget>(*d, "formats"), 0);
        Click(ById<QRadioButton>(*d, "pal")); // none on this device: the list empties
        EXPECT_EQ(ById<QListWidget>(*d, "formats")->count(), 0);
        ClickRow(ById<QListWidget>(*d, "devices"), 1);
        Click(ById<QRadioButton>(*d, "pal"));
        ClickRow(ById<QListWidget>(*d, "formats"), 1);
        Click(ById<QCheckBox>(*d, "makeDefault"));
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return})
            QTest::keyClick(ById<QListWidget>(*d, "devices"), key);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(live(), QStringLiteral("0/-1/-1")) << "while open";
        auto* accept = ById<QPushButton>(*d, "accept");
        accept->setText(QStringLiteral("&Save"));
        Click(ok ? accept : ById<QPushButton>(*d, "cancel"));
        EXPECT_EQ(d->result(), ok ? 1 : 3);
        EXPECT_EQ(live(), ok ? QStringLiteral("1/0/2") : QStringLiteral("0/-1/-1"));
        EXPECT_EQ(m_steps.join(u' '), ok ? QStringLiteral("size disarm restart 1/2 schedule") : QString());
        EXPECT_EQ(PairsText(o), ok ? QStringLiteral("USB 2861 Device 640x480 1 0") : QString());
    }
}

// The paired codec keeps its mark while another is chosen; a checked box stores the
// highlighted codec, also the one already chosen; keys change nothing.
TEST_F(CodecSelectorDialogTest, TheBoxWritesThePairOfTheChosenCodecAndKeysChangeNothing)
{
    for (const auto& [paired, row, stored] : {std::tuple{"Codec B", 0, "NONE"}, {"", 1, "Codec A"}}) {
        Device(0).chosenCodecIndex = 1;
        o.DeviceCodecPairs.clear();
        if (*paired)
            o.DeviceCodecPairs.append({QStringLiteral("Bench Camera"), QLatin1String(paired)});
        CodecSelectorDialog d(o, table);
        d.open();
        auto* codecs = ById<QListWidget>(d, "codecs");
        EXPECT_EQ(codecs->currentRow(), 1);
        EXPECT_EQ(Labels(codecs).value(2), (*paired ? kMark : QStringLiteral("  ")) + "Codec B");
        ClickRow(codecs, row);
        Click(ById<QCheckBox>(d, "pairWithCamera"));
        Click(ById<QPushButton>(d, "accept"));
        EXPECT_EQ(d.result(), 1);
        EXPECT_EQ(Device(0).chosenCodecIndex, row);
        EXPECT_EQ(PairsText(o), QStringLiteral("Bench Camera ") + stored);
    }
    CodecSelectorDialog keyed(o, table);
    keyed.open();
    ClickRow(ById<QListWidget>(keyed, "codecs"), 2);
    QTest::keyClick(ById<QListWidget>(keyed, "codecs"), Qt::Key_Enter);
    EXPECT_EQ(keyed.result(), 4);
    EXPECT_EQ(Device(0).chosenCodecIndex, 1);
}

} // namespace
