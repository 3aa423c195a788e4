#include "options/OptionsFile.h"
#include "options/ui/DefaultDurationDialog.h"
#include "options/ui/EventPendingOptionsDialog.h"
#include "options/ui/FileOptionsDialog.h"
#include "options/ui/PerformanceOptionsDialog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include "support/WidgetDriving.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {


void TypeOver(QLineEdit* edit, const QString& keys)
{
    edit->selectAll();
    QTest::keyClicks(edit, keys);
}

class SettingsDialogs : public ::testing::Test {
protected:
    void SetUp() override { Options() = AppOptions{}; }
    void TearDown() override { Options() = AppOptions{}; }

    // Saves through the options writer into the scratch process directory and returns
    // the element lines of the file.
    QByteArray SavedOptions()
    {
        EXPECT_TRUE(SaveOptionsFile());
        return ReadFileBytes(m_dir.FilePath(QString::fromLatin1(kOptionsFileName)));
    }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
};

// Stands in for the folder picker: answers with the given path and counts the calls.
struct PickerStub {
    QString answer;
    int calls = 0;
    FileOptionsDialog::FolderPicker Picker()
    {
        return [this](QWidget*, const QString&) {
            ++calls;
            return answer;
        };
    }
};

} // namespace

TEST_F(SettingsDialogs, FileOptionsExampleFollowsEveryKeystrokeAndPrefixesStopAtTwenty)
{
    FileOptionsDialog d;
    d.open();
    EXPECT_EQ(ById<QLabel>(d, 1048)->text(), QStringLiteral("File name:  mm_dd_yyyy_hh_mm_ss.avi"));
    QStringList shown;
    for (const QChar c : QStringLiteral("obs_")) {
        QTest::keyClick(ById<QLineEdit>(d, 1047), c.toLatin1());
        shown << ById<QLabel>(d, 1048)->text();
    }
    EXPECT_EQ(shown, (QStringList{"File name:  omm_dd_yyyy_hh_mm_ss.avi", "File name:  obmm_dd_yyyy_hh_mm_ss.avi",
                                  "File name:  obsmm_dd_yyyy_hh_mm_ss.avi", "File name:  obs_mm_dd_yyyy_hh_mm_ss.avi"}));

    QTest::keyClicks(ById<QLineEdit>(d, 1064), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(ById<QLabel>(d, 1065)->text(), QStringLiteral("File name:  abcdefghijklmnopqrstmm_dd_yyyy_hh_mm_ss.log"));
    EXPECT_TRUE(Options().VideoNamePrefix.isEmpty()) << "nothing is stored before Save";

    Click(d, 1074);
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(Options().VideoNamePrefix, QStringLiteral("obs_"));
    EXPECT_EQ(Options().LogfileNamePrefix, QStringLiteral("abcdefghijklmnopqrst"));
}

TEST_F(SettingsDialogs, FileOptionsPickedFolderGetsATrailingSlashAndACancelledPickerChangesNothing)
{
    Options().LogfileDirectory = QStringLiteral("/logs/");
    PickerStub picker{m_dir.Path()};
    FileOptionsDialog d(nullptr, picker.Picker());
    d.open();
    EXPECT_EQ(ById<QLineEdit>(d, 1076)->text(), QStringLiteral("/logs/"));

    Click(d, 1049);
    EXPECT_EQ(picker.calls, 1);
    EXPECT_EQ(ById<QLineEdit>(d, 1051)->text(), m_dir.Path() + QLatin1Char('/'));

    picker.answer.clear(); // cancelled
    Click(d, 1068);
    EXPECT_EQ(ById<QLineEdit>(d, 1076)->text(), QStringLiteral("/logs/"));

    picker.answer = QStringLiteral("/"); // already ends in one
    Click(d, 1049);
    EXPECT_EQ(ById<QLineEdit>(d, 1051)->text(), QStringLiteral("/"));

    // Cut to the option's 511 characters it would name another folder.
    picker.answer = QStringLiteral("/") + QString(511, QLatin1Char('d'));
    Click(d, 1049);
    EXPECT_EQ(ById<QLineEdit>(d, 1051)->text(), QStringLiteral("/"));
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("longer than 511 characters")));

    picker.answer = m_dir.Path();
    Click(d, 1049);
    Click(d, 1074);
    EXPECT_EQ(Options().VideoDirectory, m_dir.Path() + QLatin1Char('/'));
    EXPECT_EQ(Options().LogfileDirectory, QStringLiteral("/logs/"));
}

TEST_F(SettingsDialogs, FileOptionsClearedFolderIsSavedAsAnEmptyValue)
{
    Options().VideoDirectory = QStringLiteral("/video/");
    Options().LogfileDirectory = QStringLiteral("/logs/");
    FileOptionsDialog d;
    d.open();
    Click(d, 1050);
    EXPECT_TRUE(ById<QLineEdit>(d, 1051)->text().isEmpty());
    Click(d, 1074);
    EXPECT_EQ(d.result(), 1);

    const QByteArray file = SavedOptions();
    EXPECT_TRUE(file.contains("\r\n\t<VideoDirectory Value=\"\"/>\r\n")) << file.constData();
    EXPECT_TRUE(file.contains("\r\n\t<LogfileDirectory Value=\"/logs/\"/>\r\n")) << file.constData();
}

TEST_F(SettingsDialogs, FileOptionsCancelEscapeAndCloseBoxLeaveTheOptionsAsTheyWere)
{
    Options().VideoNamePrefix = QStringLiteral("old");
    Options().VideoDirectory = QStringLiteral("/video/");
    const auto cancelBy = [](QDialog& d) { Click(d, 1038); };
    const auto escapeBy = [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
    const auto closeBy = [](QDialog& d) { d.close(); };
    for (const auto& end : std::initializer_list<std::function<void(QDialog&)>>{cancelBy, escapeBy, closeBy}) {
        FileOptionsDialog d;
        d.open();
        QTest::keyClicks(ById<QLineEdit>(d, 1047), QStringLiteral("new"));
        Click(d, 1050);
        end(d);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), 3);
        EXPECT_EQ(Options().VideoNamePrefix, QStringLiteral("old"));
        EXPECT_EQ(Options().VideoDirectory, QStringLiteral("/video/"));
    }
}

TEST_F(SettingsDialogs, DefaultDurationIsStoredAsHoursMinutesSecondsAndCancelKeepsIt)
{
    Options().DefaultDuration = QStringLiteral("00:10:00");
    {
        DefaultDurationDialog d;
        d.open();
        EXPECT_EQ(ById<QTimeEdit>(d, 1029)->time(), QTime(0, 10, 0));
        ById<QTimeEdit>(d, 1029)->setTime(QTime(2, 0, 0));
        Click(d, 1038);
        EXPECT_EQ(d.result(), 3);
        EXPECT_EQ(Options().DefaultDuration, QStringLiteral("00:10:00"));
    }
    DefaultDurationDialog d;
    d.open();
    ById<QTimeEdit>(d, 1029)->setTime(QTime(1, 30, 0));
    Click(d, 1074);
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(Options().DefaultDuration, QStringLiteral("01:30:00"));
    EXPECT_EQ(Options().DefaultRecordingDuration, DefaultDurationValue(1, 30, 0));
}

TEST_F(SettingsDialogs, PerformanceValueAboveTwentyBecomesTwentyWithBothLinesLogged)
{
    Options().FilePreAllocation = true;
    PerformanceOptionsDialog d;
    d.open();
    EXPECT_EQ(ById<QLineEdit>(d, 1186)->text(), QStringLiteral("0"));
    TypeOver(ById<QLineEdit>(d, 1186), QStringLiteral("25"));
    EXPECT_EQ(ById<QLineEdit>(d, 1186)->text(), QStringLiteral("20"));
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n03:04:05 (UTC)\nEntered manual pre-allocation GB must be less than "
                                               "or equal to 20\nManual pre-allocation set to 20 GB.\n"));

    m_log.ClearMessages();
    QLineEdit* event = ById<QLineEdit>(d, 1187);
    TypeOver(event, QStringLiteral("99"));
    EXPECT_EQ(event->text(), QStringLiteral("20"));
    EXPECT_TRUE(m_log.Messages().contains(
        QStringLiteral("Entered Event 10 minute pre-allocation GB must be less than or equal to 20\n"
                       "Event pre-allocation set to 20 GB.\n")));

    // A third digit is cut off; 12 is in range and nothing is logged.
    m_log.ClearMessages();
    TypeOver(event, QStringLiteral("123x"));
    EXPECT_EQ(event->text(), QStringLiteral("12"));
    EXPECT_EQ(event->cursorPosition(), 2);
    EXPECT_TRUE(m_log.Messages().isEmpty()) << m_log.Messages().toStdString();

    Click(d, 1074);
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(Options().ManualAllocationGB, 20u);
    EXPECT_EQ(Options().EventAllocationGB, 12u);
}

TEST_F(SettingsDialogs, PerformanceUncheckedPreAllocationKeepsTheSizesInTheFile)
{
    AppOptions& o = Options();
    o.FilePreAllocation = true;
    o.ManualAllocationGB = 7;
    o.EventAllocationGB = 3;
    PerformanceOptionsDialog d;
    d.open();
    QLineEdit* manual = ById<QLineEdit>(d, 1186);
    TypeOver(manual, QStringLiteral("15"));
    Click(d, 1185);
    EXPECT_FALSE(manual->isEnabled());
    EXPECT_FALSE(ById<QLabel>(d, 1191)->isEnabled());
    Click(d, 1184);
    Click(d, 1194);
    Click(d, 1074);
    EXPECT_EQ(d.result(), 1);

    const QByteArray file = SavedOptions();
    for (const char* line : {"<DisplayOffWhileRecording Value=\"TRUE\"/>", "<FilePreAllocation Value=\"FALSE\"/>",
                             "<EventAllocationGB Value=\"3\"/>", "<ManualAllocationGB Value=\"7\"/>",
                             "<DefaultRenderer Value=\"VMR7\"/>"})
        EXPECT_TRUE(file.contains(line)) << line;
}

TEST_F(SettingsDialogs, PerformanceEnterInASizeEditDoesNothingAndOkAppliesWithoutSaving)
{
    Options().FilePreAllocation = true;
    Options().DefaultRenderer = static_cast<VideoRenderer>(7); // hand-edited: shown as EVR
    PerformanceOptionsDialog d;
    d.show();
    QApplication::setActiveWindow(&d);
    EXPECT_TRUE(ById<QRadioButton>(d, 1192)->isChecked());
    Click(d, 1193);
    for (const int id : {1186, 1187}) {
        QLineEdit* edit = ById<QLineEdit>(d, id);
        edit->setFocus();
        TypeOver(edit, QStringLiteral("5"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
        EXPECT_TRUE(d.isVisible()) << "edit " << id;
    }
    EXPECT_EQ(Options().DefaultRenderer, static_cast<VideoRenderer>(7));

    Click(d, 1080);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), 2);
    EXPECT_EQ(Options().DefaultRenderer, VideoRenderer::XVideoOverlay);
    EXPECT_EQ(Options().ManualAllocationGB, 5u);
}

TEST_F(SettingsDialogs, PerformanceCancelRunsModallyAndChangesNothing)
{
    Options().ManualAllocationGB = 4;
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        Click(*dialog, 1185);
        Click(*dialog, 1184);
        Click(*dialog, 1038);
    });
    EXPECT_EQ(RunPerformanceOptionsDialog(nullptr), 3);
    EXPECT_FALSE(Options().FilePreAllocation);
    EXPECT_FALSE(Options().DisplayOffWhileRecording);
    EXPECT_EQ(Options().ManualAllocationGB, 4u);
}

TEST_F(SettingsDialogs, EventPendingResultSaysWhetherTheStoredDefaultChanged)
{
    struct Case {
        const char* stored;
        bool utcInForce;
        int radio;
        bool asDefault;
        int result;
        const char* storedAfter;
    };
    const Case cases[] = {
        {"COUNTDOWN", false, 1149, true, 3, "COUNTDOWN"}, // already the default: nothing to save
        {"COUNTDOWN", false, 1150, true, 1, "UTC"},
        {"", false, 1149, true, 1, "COUNTDOWN"},
        {"UTC", true, 1150, true, 3, "UTC"},
        {"Utc", false, 1149, true, 3, "Utc"}, // any word but UTC means countdown
        {"UTC", true, 1149, false, 2, "UTC"}, // applied for this run only
        {"", false, 1149, false, 3, ""},
    };
    for (const Case& c : cases) {
        Options().EventPendingDisplay = QString::fromLatin1(c.stored);
        Options().ShowEventTimeAsUtc = c.utcInForce;
        EventPendingOptionsDialog d;
        d.open();
        EXPECT_TRUE(ById<QRadioButton>(d, c.utcInForce ? 1150 : 1149)->isChecked());
        Click(d, c.radio);
        if (c.asDefault)
            Click(d, 1151);
        EXPECT_EQ(ById<QPushButton>(d, 1074)->text(), c.asDefault ? QStringLiteral("Save") : QStringLiteral("OK"));
        Click(d, 1074);
        EXPECT_EQ(d.result(), c.result) << c.stored << " " << c.radio;
        EXPECT_EQ(Options().EventPendingDisplay, QString::fromLatin1(c.storedAfter));
        EXPECT_EQ(Options().ShowEventTimeAsUtc, c.radio == 1150);
    }
}

TEST_F(SettingsDialogs, EventPendingCancelChangesNothing)
{
    EventPendingOptionsDialog d;
    d.open();
    Click(d, 1150);
    Click(d, 1151);
    Click(d, 1038);
    EXPECT_EQ(d.result(), 3);
    EXPECT_FALSE(Options().ShowEventTimeAsUtc);
    EXPECT_TRUE(Options().EventPendingDisplay.isEmpty());
}
