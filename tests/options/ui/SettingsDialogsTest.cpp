#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"
#include "options/SettingsRules.h"
#include "options/ui/DefaultDurationDialog.h"
#include "options/ui/EventPendingOptionsDialog.h"
#include "options/ui/FileOptionsDialog.h"
#include "options/ui/PerformanceOptionsDialog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/WidgetDriving.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

namespace {

class SettingsDialogs : public ::testing::Test {
protected:
    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    UserMessageLog& log = m_log.Log();
    AppOptions o;
};

using SettingsRules = SettingsDialogs;

const QString kStamp = QStringLiteral("\n03:04:05 (UTC)\n");

} // namespace

// A size edit keeps two digits and at most 20; a picked folder gets its "/" unless that
// makes it too long for the option (cut, it would name another folder).
TEST_F(SettingsRules, EnteredSizesAndFoldersAreCorrectedAndReported)
{
    using enum AllocationKind;
    const struct {
        QString text;
        AllocationKind kind;
        const char* checked;
        std::uint32_t value;
        const char* logged;
    } sizes[] = {
        {"25", Manual, "20", 20, "Entered manual pre-allocation GB must be less than or equal to 20\nManual pre-allocation set to 20 GB.\n"},
        {"90", Event, "20", 20, "Entered Event 10 minute pre-allocation GB must be less than or equal to 20\nEvent pre-allocation set to 20 GB.\n"},
        {"123x", Event, "12", 12, ""}, {"20", Manual, "20", 20, ""}, {"19", Manual, "19", 19, ""}, {"7x", Manual, "7x", 7, ""},
    };
    for (const auto& c : sizes) {
        m_log.ClearMessages();
        const QString checked = CheckedAllocationText(c.text, c.kind, log);
        EXPECT_EQ(checked, QLatin1String(c.checked)) << c.text.toStdString();
        EXPECT_EQ(AllocationValue(checked), c.value) << c.text.toStdString();
        EXPECT_EQ(m_log.Messages(), *c.logged ? kStamp + QLatin1String(c.logged) : QString());
    }
    const QString longest = QStringLiteral("/") + QString(509, QLatin1Char('d'));
    const struct {
        QString picked, stored;
    } folders[] = {{"", ""}, {"/v", "/v/"}, {"/v/", "/v/"}, {longest, longest + "/"}, {longest + "d", ""}};
    m_log.ClearMessages();
    for (const auto& c : folders)
        EXPECT_EQ(FolderOptionText(c.picked, log), c.stored) << c.picked.size();
    EXPECT_EQ(m_log.Messages(), kStamp + "WARNING: the chosen folder's path is longer than 511 characters; the folder was not changed.\n");
}

// 1: the stored default changed (save); 2: another choice for this run only; else 3.
TEST_F(SettingsRules, EventPendingResultSaysWhetherTheStoredDefaultChanged)
{
    const struct {
        const char* stored;
        bool utcAtOpening, utc, asDefault;
        int result;
        const char* storedAfter;
    } cases[] = {
        {"COUNTDOWN", false, false, true, 3, "COUNTDOWN"}, {"COUNTDOWN", false, true, true, 1, "UTC"},
        {"", false, false, true, 1, "COUNTDOWN"},          {"UTC", true, true, true, 3, "UTC"},
        {"Utc", false, false, true, 3, "Utc"}, // any word but UTC means countdown
        {"UTC", true, false, false, 2, "UTC"},             {"", false, false, false, 3, ""},
    };
    for (const auto& c : cases) {
        o.EventPendingDisplay = QString::fromLatin1(c.stored);
        EXPECT_EQ(ApplyEventPendingChoice(o, c.utc, c.asDefault, c.utcAtOpening), c.result) << c.stored << c.utc;
        EXPECT_EQ(o.EventPendingDisplay + (o.ShowEventTimeAsUtc == c.utc ? "" : " wrong choice"), c.storedAfter);
    }
}

TEST_F(SettingsDialogs, FileOptionsShowTheExampleAndStoreOnlyOnSave)
{
    o.LogfileDirectory = QStringLiteral("/logs/");
    QString picked = QStringLiteral("/videos");
    FileOptionsDialog d(o, log, nullptr, [&picked](QWidget*, const QString&) { return picked; });
    d.open();
    QTest::keyClicks(ById<QLineEdit>(d, "videoPrefix"), QStringLiteral("ob"));
    EXPECT_EQ(ById<QLabel>(d, "videoExample")->text(), QStringLiteral("File name:  obmm_dd_yyyy_hh_mm_ss.avi"));
    QTest::keyClicks(ById<QLineEdit>(d, "logPrefix"), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(ById<QLabel>(d, "logExample")->text(), QStringLiteral("File name:  abcdefghijklmnopqrstmm_dd_yyyy_hh_mm_ss.log"));
    Click(d, "videoSelectFolder");
    EXPECT_EQ(ById<QLineEdit>(d, "videoFolder")->text(), QStringLiteral("/videos/"));
    picked.clear(); // cancelled: the folder stays
    Click(d, "logSelectFolder");
    EXPECT_EQ(ById<QLineEdit>(d, "logFolder")->text(), QStringLiteral("/logs/"));
    EXPECT_TRUE(o.VideoNamePrefix.isEmpty()) << "nothing is stored before Save";

    Click(d, "logClearFolder");
    Click(d, "save");
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(o.VideoNamePrefix + o.LogfileNamePrefix + o.VideoDirectory + o.LogfileDirectory,
              QStringLiteral("obabcdefghijklmnopqrst/videos/"));
}

TEST_F(SettingsDialogs, EveryWayOutButSaveLeavesTheOptionsAsTheyWere)
{
    o.VideoNamePrefix = QStringLiteral("old");
    const std::function<void(QDialog&)> ends[] = {[](QDialog& d) { Click(d, "cancel"); },
                                                  [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
                                                  [](QDialog& d) { d.close(); }};
    for (const auto& end : ends) {
        FileOptionsDialog files(o, log);
        files.open();
        QTest::keyClicks(ById<QLineEdit>(files, "videoPrefix"), QStringLiteral("new"));
        end(files);
        EXPECT_EQ(files.result(), 3);
        DefaultDurationDialog duration(o);
        duration.open();
        ById<QTimeEdit>(duration, "duration")->setTime(QTime(2, 0, 0));
        end(duration);
    }
    EXPECT_EQ(o.VideoNamePrefix + o.DefaultDuration, QStringLiteral("old"));
    // Saved, the duration is stored as hours, minutes and seconds.
    DefaultDurationDialog duration(o);
    duration.open();
    EXPECT_EQ(ById<QTimeEdit>(duration, "duration")->time(), QTime(0, 10, 0));
    ById<QTimeEdit>(duration, "duration")->setTime(QTime(1, 30, 0));
    Click(duration, "save");
    EXPECT_EQ(o.DefaultDuration, QStringLiteral("01:30:00"));
    EXPECT_EQ(o.DefaultRecordingDuration, DefaultDurationValue(1, 30, 0));
}

TEST_F(SettingsDialogs, PerformanceSizesAboveTwentyBecomeTwentyAndUncheckedSizesStay)
{
    o.FilePreAllocation = true;
    o.EventAllocationGB = 3;
    PerformanceOptionsDialog d(o, log);
    d.open();
    QLineEdit* manual = ById<QLineEdit>(d, "manualGB");
    Type(manual, "25");
    EXPECT_EQ(manual->text(), QStringLiteral("20"));
    Click(d, "preAllocation");
    EXPECT_FALSE(ById<QLineEdit>(d, "eventGB")->isEnabled());
    Click(d, "displayOff");
    Click(d, "xOverlayRenderer");
    Click(d, "save");
    EXPECT_EQ(std::tuple(o.DisplayOffWhileRecording, o.FilePreAllocation, o.EventAllocationGB),
              std::tuple(true, false, 3u));
    EXPECT_EQ(VideoRendererWord(o.DefaultRenderer), QStringLiteral("VMR7")); // as the options file names it
}

TEST_F(SettingsDialogs, EventPendingSaveStoresTheChoice)
{
    o.EventPendingDisplay = QStringLiteral("UTC");
    o.ShowEventTimeAsUtc = true;
    EventPendingOptionsDialog d(o);
    d.open();
    EXPECT_TRUE(ById<QRadioButton>(d, "showUtc")->isChecked());
    Click(d, "showCountdown");
    Click(d, "asDefault");
    EXPECT_EQ(ById<QPushButton>(d, "confirm")->text(), QStringLiteral("Save"));
    Click(d, "confirm");
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(o.EventPendingDisplay + (o.ShowEventTimeAsUtc ? "UTC" : ""), QStringLiteral("COUNTDOWN"));
}
