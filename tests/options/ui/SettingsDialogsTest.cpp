#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"
#include "options/ui/DefaultDurationDialog.h"
#include "options/ui/EventPendingOptionsDialog.h"
#include "options/ui/FileOptionsDialog.h"
#include "options/ui/PerformanceOptionsDialog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/WidgetDriving.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

namespace {

void TypeOver(QLineEdit* edit, const QString& keys)
{
    edit->selectAll();
    QTest::keyClicks(edit, keys);
}

class SettingsDialogs : public ::testing::Test {
protected:
    // The element lines of the file the options writer makes of the options.
    QByteArray SavedOptions()
    {
        EXPECT_TRUE(SaveOptionsFile(o));
        return ReadFileBytes(m_dir.FilePath(QString::fromLatin1(kOptionsFileName)));
    }
    FileOptionsDialog::FolderPicker Picker()
    {
        return [this](QWidget*, const QString&) { return m_pickedFolder; };
    }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    UserMessageLog& log = m_log.Log();
    AppOptions o;
    QString m_pickedFolder;
};

} // namespace

TEST_F(SettingsDialogs, FileOptionsShowTheExampleAndStoreOnlyOnSave)
{
    o.LogfileDirectory = QStringLiteral("/logs/");
    m_pickedFolder = QStringLiteral("/") + QString(509, QLatin1Char('d')); // the longest that fits
    FileOptionsDialog d(o, log, nullptr, Picker());
    d.open();
    QTest::keyClicks(ById<QLineEdit>(d, "videoPrefix"), QStringLiteral("ob"));
    EXPECT_EQ(ById<QLabel>(d, "videoExample")->text(), QStringLiteral("File name:  obmm_dd_yyyy_hh_mm_ss.avi"));
    QTest::keyClicks(ById<QLineEdit>(d, "logPrefix"), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(ById<QLabel>(d, "logExample")->text(), QStringLiteral("File name:  abcdefghijklmnopqrstmm_dd_yyyy_hh_mm_ss.log"));

    // The picked folder gets its "/"; a cancelled picker, or a path too long for the
    // option (cut, it would name another folder), leaves the folder as it was.
    Click(d, "videoSelectFolder");
    EXPECT_EQ(ById<QLineEdit>(d, "videoFolder")->text(), m_pickedFolder + QLatin1Char('/'));
    for (const QString& answer : {QString(), QStringLiteral("/") + QString(510, QLatin1Char('d'))}) {
        m_pickedFolder = answer;
        Click(d, "logSelectFolder");
        EXPECT_EQ(ById<QLineEdit>(d, "logFolder")->text(), QStringLiteral("/logs/"));
    }
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("longer than 511 characters")));
    EXPECT_TRUE(o.VideoNamePrefix.isEmpty()) << "nothing is stored before Save";

    Click(d, "logClearFolder");
    Click(d, "save");
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(o.VideoNamePrefix + o.LogfileNamePrefix, QStringLiteral("obabcdefghijklmnopqrst"));
    EXPECT_EQ(o.VideoDirectory.size(), 511);
    EXPECT_TRUE(SavedOptions().contains("\r\n\t<LogfileDirectory Value=\"\"/>\r\n"));
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
    EXPECT_EQ(o.VideoNamePrefix, QStringLiteral("old"));
    EXPECT_EQ(o.DefaultDuration, QString());
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
    TypeOver(ById<QLineEdit>(d, "manualGB"), QStringLiteral("25"));
    EXPECT_EQ(ById<QLineEdit>(d, "manualGB")->text(), QStringLiteral("20"));
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n03:04:05 (UTC)\nEntered manual pre-allocation GB must be less than "
                                               "or equal to 20\nManual pre-allocation set to 20 GB.\n"));
    m_log.ClearMessages();
    QLineEdit* event = ById<QLineEdit>(d, "eventGB");
    TypeOver(event, QStringLiteral("90"));
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("Entered Event 10 minute pre-allocation GB must be less than or equal to 20\n"
                                                         "Event pre-allocation set to 20 GB.\n")));
    // A third digit is cut off; 12 is in range and nothing is logged.
    m_log.ClearMessages();
    TypeOver(event, QStringLiteral("123x"));
    EXPECT_EQ(event->text(), QStringLiteral("12"));
    EXPECT_TRUE(m_log.Messages().isEmpty()) << m_log.Messages().toStdString();

    Click(d, "preAllocation");
    EXPECT_FALSE(event->isEnabled());
    Click(d, "displayOff");
    Click(d, "xOverlayRenderer");
    Click(d, "save");
    const QByteArray file = SavedOptions();
    for (const char* line : {"<DisplayOffWhileRecording Value=\"TRUE\"/>", "<FilePreAllocation Value=\"FALSE\"/>",
                             "<EventAllocationGB Value=\"3\"/>", "<DefaultRenderer Value=\"VMR7\"/>"})
        EXPECT_TRUE(file.contains(line)) << line;
}

TEST_F(SettingsDialogs, EventPendingResultSaysWhetherTheStoredDefaultChanged)
{
    const struct {
        const char* stored;
        bool utcInForce;
        bool utc; // the radio button clicked
        bool asDefault;
        int result;
        const char* storedAfter;
    } cases[] = {
        {"COUNTDOWN", false, false, true, 3, "COUNTDOWN"}, // already the default: nothing to save
        {"COUNTDOWN", false, true, true, 1, "UTC"},
        {"", false, false, true, 1, "COUNTDOWN"},
        {"UTC", true, true, true, 3, "UTC"},
        {"Utc", false, false, true, 3, "Utc"}, // any word but UTC means countdown
        {"UTC", true, false, false, 2, "UTC"}, // applied for this run only
        {"", false, false, false, 3, ""},
    };
    for (const auto& c : cases) {
        o.EventPendingDisplay = QString::fromLatin1(c.stored);
        o.ShowEventTimeAsUtc = c.utcInForce;
        EventPendingOptionsDialog d(o);
        d.open();
        EXPECT_TRUE(ById<QRadioButton>(d, c.utcInForce ? "showUtc" : "showCountdown")->isChecked());
        Click(d, c.utc ? "showUtc" : "showCountdown");
        if (c.asDefault)
            Click(d, "asDefault");
        EXPECT_EQ(ById<QPushButton>(d, "confirm")->text(), c.asDefault ? QStringLiteral("Save") : QStringLiteral("OK"));
        Click(d, "confirm");
        EXPECT_EQ(d.result(), c.result) << c.stored << " " << c.utc;
        EXPECT_EQ(o.EventPendingDisplay, QString::fromLatin1(c.storedAfter));
        EXPECT_EQ(o.ShowEventTimeAsUtc, c.utc);
    }
}
