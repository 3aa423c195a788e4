#include "events/EventEditing.h"
#include "events/ui/ScheduleEventDialog.h"
#include "events/ui/ViewEventsDialog.h"

#include "options/AppOptions.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include "support/WidgetDriving.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTimeEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr CalendarTime kNow{2024, 5, 5, 3, 8, 0, 0, 0};          // 3 May 2024 08:00:00 UTC
constexpr CalendarTime kEvent{2024, 5, 0, 3, 9, 5, 7, 0};        // 09:05:07
constexpr CalendarTime kLaterEvent{2024, 5, 0, 3, 10, 0, 0, 0};
constexpr CalendarTime kPastEvent{2024, 5, 0, 3, 7, 0, 0, 0};


QStringList EventFiles()
{
    return QDir(QStringLiteral("Events")).entryList({QStringLiteral("*.ief")}, QDir::Files, QDir::Name);
}

EventFileFields Stored(const QString& name)
{
    EventFileFields f;
    EXPECT_TRUE(ReadNamedEvent(name, f)) << name.toStdString();
    return f;
}

QStringList Row(const ViewEventsDialog& d, int row)
{
    QStringList texts;
    for (int c = 0; c < kEventListColumnCount; ++c)
        texts << d.List()->topLevelItem(row)->text(c);
    return texts;
}

class EventDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { TheEventDialogState() = {}; }
    void TearDown() override { TheEventDialogState() = {}; }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{kNow};
    const QString m_eventName = WriteTestEvent(QStringLiteral("Events"), kEvent, 0, 2, 0, true);
};

// Opens the Edit Event dialog on a file, as the Event list hands it over.
class EditEventTest : public EventDialogsTest {
protected:
    void SetUp() override
    {
        EventDialogsTest::SetUp();
        TheEventDialogState().EditedEventFileName = m_eventName;
        m_dialog.open();
    }
    ScheduleEventDialog m_dialog{m_eventName};
};

} // namespace

TEST_F(EventDialogsTest, NewEventStartsNowWithTheDefaultDurationAndTwoInTheSameSecondShareOneFile)
{
    QFile::remove(QStringLiteral("Events/") + m_eventName);
    m_log.Clock().SetUtc(kEvent);
    for (const char* comment : {"first", "second"}) {
        ScheduleEventDialog d{QString()};
        d.open();
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Schedule Event"));
        EXPECT_EQ(ById<QDateTimeEdit>(d, 1001)->text(), QStringLiteral("May 3, 2024   09:05:07"));
        EXPECT_EQ(ById<QDateTimeEdit>(d, 1002)->time(), QTime(0, 10, 0)) << "DefaultRecordingDuration";
        ById<QLineEdit>(d, 1131)->setText(QString::fromLatin1(comment));
        Click(d, 1074);
        EXPECT_EQ(d.result(), ScheduleEventDialog::Saved);
    }
    EXPECT_EQ(EventFiles(), QStringList{m_eventName});
    EXPECT_EQ(Stored(m_eventName), MakeEventFileFields(kEvent, {0, 0, 0, 0, 0, 10, 0, 0}, false, false, "second"));
    EXPECT_TRUE(m_log.Messages().contains("Scheduled an event recording:  05_03_2024_09_05_07.ief\n"));
}

TEST_F(EventDialogsTest, CommentIsCutTo35AndHibernateAndShutdownExcludeEachOther)
{
    ScheduleEventDialog d{QString()};
    d.open();
    auto* comment = ById<QLineEdit>(d, 1131);
    const QString fifty = QStringLiteral("0123456789").repeated(5);
    QApplication::clipboard()->setText(fifty);
    comment->paste();
    EXPECT_EQ(comment->text(), fifty.left(35));
    QTest::keyClicks(comment, "xyz");
    EXPECT_EQ(comment->text(), fifty.left(35));

    Click(d, 1134);
    Click(d, 1160);
    EXPECT_FALSE(ById<QCheckBox>(d, 1134)->isChecked());
    Click(d, 1134);
    EXPECT_FALSE(ById<QCheckBox>(d, 1160)->isChecked());
    ById<QDateTimeEdit>(d, 1001)->setDateTime(QDateTime(QDate(2024, 5, 3), QTime(10, 0, 0), Qt::UTC));
    Click(d, 1074);
    const EventFileFields f = Stored(EventFileName(kLaterEvent));
    EXPECT_EQ(f.Comment, fifty.left(35));
    EXPECT_EQ(f.Hibernate, "TRUE");
    EXPECT_EQ(f.Shutdown, "FALSE");
}

TEST_F(EventDialogsTest, AnUncreatableFolderKeepsTheDialogOpenAndSaysWhy)
{
    QDir(QStringLiteral("Events")).removeRecursively();
    QFile blocker(QStringLiteral("Events"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ScheduleEventDialog d{QString()};
    d.open();
    Click(d, 1074);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(m_log.Messages().contains("Unable to create \"Events\" directory in process directory."));
}

TEST_F(EventDialogsTest, APastTimeIsRefusedWithTheReasonAndTheDialogStaysOpen)
{
    ScheduleEventDialog d{QString()};
    d.open();
    auto* time = ById<QDateTimeEdit>(d, 1001);
    auto* reason = ById<QLabel>(d, "TooLate");
    time->setDateTime(QDateTime(QDate(2024, 5, 3), QTime(7, 0, 0), Qt::UTC)); // an hour ago
    Click(d, 1074);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(reason->isVisible());
    EXPECT_TRUE(reason->text().contains("can no longer be recorded")) << reason->text().toStdString();
    EXPECT_EQ(EventFiles(), QStringList{m_eventName});
    EXPECT_FALSE(m_log.Messages().contains("Scheduled an event recording")) << m_log.Messages().toStdString();

    time->setDateTime(QDateTime(QDate(2024, 5, 3), QTime(10, 0, 0), Qt::UTC));
    EXPECT_FALSE(reason->isVisible()) << "a new time clears the reason";
    Click(d, 1074);
    EXPECT_EQ(d.result(), ScheduleEventDialog::Saved);
}

TEST_F(EditEventTest, ChangingOnlyTheCommentRewritesTheSameFile)
{
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Edit Event"));
    EXPECT_EQ(ById<QTimeEdit>(m_dialog, 1002)->time(), QTime(0, 2, 0));
    EXPECT_TRUE(ById<QCheckBox>(m_dialog, 1134)->isChecked());
    ById<QLineEdit>(m_dialog, 1131)->setText(QStringLiteral("occultation"));
    Click(m_dialog, 1074);
    EXPECT_EQ(m_dialog.result(), ScheduleEventDialog::Saved);
    EXPECT_EQ(EventFiles(), QStringList{m_eventName});
    EXPECT_EQ(Stored(m_eventName).Comment, QStringLiteral("occultation"));
    EXPECT_TRUE(m_log.Messages().contains("Edited event (new event name if UTC time altered):  " + m_eventName));
}

TEST_F(EditEventTest, ChangingTheTimeRenamesAndAFailedWriteKeepsTheEditedEvent)
{
    ById<QDateTimeEdit>(m_dialog, 1001)->setDateTime(QDateTime(QDate(2024, 5, 3), QTime(10, 0, 0), Qt::UTC));
    const QString blocked = QStringLiteral("Events/") + EventFileName(kLaterEvent);
    QDir().mkpath(blocked + QStringLiteral("/inside")); // the new name cannot be written
    Click(m_dialog, 1074);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(EventFiles(), QStringList{m_eventName});
    EXPECT_TRUE(m_log.Messages().contains("ERROR -- the Event file \"05_03_2024_10_00_00.ief\" was not written"));

    QDir(blocked).removeRecursively();
    Click(m_dialog, 1074);
    EXPECT_EQ(m_dialog.result(), ScheduleEventDialog::Saved);
    EXPECT_EQ(EventFiles(), QStringList{EventFileName(kLaterEvent)});
    EXPECT_TRUE(m_log.Messages().contains("Edited event (new event name if UTC time altered):  05_03_2024_10_00_00.ief"));
}

TEST_F(EditEventTest, ScheduleAfterAnEditNeverTouchesTheEditedEvent)
{
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<ScheduleEventDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Schedule Event"));
        ById<QDateTimeEdit>(*d, 1001)->setDateTime(QDateTime(QDate(2024, 5, 3), QTime(10, 0, 0), Qt::UTC));
        Click(*d, 1074);
    });
    EXPECT_EQ(RunScheduleEventDialog(nullptr), 1);
    EXPECT_EQ(EventFiles(), (QStringList{m_eventName, EventFileName(kLaterEvent)}));
    EXPECT_TRUE(TheEventDialogState().EditedEventFileName.isEmpty());
}

TEST_F(EventDialogsTest, ListShowsTheColumnsAsStoredWithZerosForTheTimeFields)
{
    QDir().mkpath(QStringLiteral("Events"));
    EventFileFields bad = MakeEventFileFields(kLaterEvent, {}, false, true, QStringLiteral("hand made"));
    bad.EventMonth = QStringLiteral("13");
    ASSERT_TRUE(WriteEventFile(bad, QStringLiteral("Events/bad.ief")));
    ViewEventsDialog d;
    ASSERT_EQ(d.List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(d, 0), (QStringList{" MAY  3, 2024", "09:05:07", "00:02:00", "", "\u2713", "", "", m_eventName}));
    EXPECT_EQ(Row(d, 1).mid(0, 6), (QStringList{" ???  3, 2024", "10:00:00", "00:00:00", "hand made", "", "\u2713"}));
    EXPECT_TRUE(d.List()->isColumnHidden(ViewEventsDialog::kFileNameColumn));
    const QFontMetrics metrics(d.List()->font());
    for (int c : {0, 1, 2}) // whatever font stands in for Consolas, dates and times are never cut
        EXPECT_GT(d.List()->header()->sectionSize(c), metrics.horizontalAdvance(Row(d, 0)[c])) << c;
}

TEST_F(EventDialogsTest, SelectionEnablesEditForOneRowAndDeleteForAny)
{
    WriteTestEvent(QStringLiteral("Events"), kLaterEvent, 0, 1, 0);
    ViewEventsDialog d;
    d.open();
    auto enabled = [&] { return std::pair(ById<QPushButton>(d, 1091)->isEnabled(), ById<QPushButton>(d, 1143)->isEnabled()); };
    EXPECT_EQ(enabled(), std::pair(false, false));
    d.List()->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(enabled(), std::pair(true, true));
    d.List()->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(enabled(), std::pair(false, true));
    d.List()->topLevelItem(0)->setSelected(false);
    Click(d, 1091);
    EXPECT_EQ(d.result(), ViewEventsDialog::EditChosen);
    EXPECT_EQ(TheEventDialogState().EditedEventFileName, EventFileName(kLaterEvent));
}

TEST_F(EventDialogsTest, DeletingSomeEndsWithTwoAllWithOneAndEachFailureIsReported)
{
    WriteTestEvent(QStringLiteral("Events"), kLaterEvent, 0, 1, 0);
    ViewEventsDialog some;
    some.open();
    some.List()->topLevelItem(0)->setSelected(true);
    Click(some, 1143);
    EXPECT_EQ(some.result(), ViewEventsDialog::SomeDeleted);
    EXPECT_EQ(EventFiles(), QStringList{EventFileName(kLaterEvent)});

    // A file that cannot go: the dialog stays open and says so.
    ViewEventsDialog stuck;
    stuck.open();
    const QString path = QStringLiteral("Events/") + EventFileName(kLaterEvent);
    QFile::remove(path);
    QDir().mkpath(path + QStringLiteral("/inside"));
    stuck.List()->selectAll();
    Click(stuck, 1143);
    EXPECT_TRUE(stuck.isVisible());
    EXPECT_TRUE(m_log.Messages().contains(
        "WARNING: Unable to delete one or more selected event files - write protected?,  warning 16"));

    QDir(path).removeRecursively();
    WriteTestEvent(QStringLiteral("Events"), kLaterEvent, 0, 1, 0);
    ViewEventsDialog all;
    all.open();
    all.List()->selectAll();
    Click(all, 1143);
    EXPECT_EQ(all.result(), ViewEventsDialog::AllDeleted);
    EXPECT_TRUE(EventFiles().isEmpty());
}

TEST_F(EventDialogsTest, ExpiredEventIsHiddenUntilShowExpiredEventsIsToggled)
{
    WriteTestEvent(QStringLiteral("Events"), kPastEvent, 0, 1, 0);
    ViewEventsDialog hidden;
    EXPECT_EQ(hidden.List()->topLevelItemCount(), 1);
    EXPECT_FALSE(ById<QCheckBox>(hidden, 1137)->isChecked());
    hidden.open();
    Click(hidden, 1137);
    EXPECT_EQ(hidden.result(), ViewEventsDialog::ExpiredToggled);

    ViewEventsDialog shown;
    EXPECT_TRUE(ById<QCheckBox>(shown, 1137)->isChecked());
    ASSERT_EQ(shown.List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(shown, 0).value(6), QStringLiteral("\u2713")) << "07:00 sorts first";
    EXPECT_EQ(Row(shown, 1).value(6), QString());
}
