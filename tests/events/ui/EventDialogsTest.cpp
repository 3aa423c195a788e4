#include "events/EventEditing.h"
#include "events/EventSchedule.h"
#include "events/ui/ScheduleEventDialog.h"
#include "events/ui/ViewEventsDialog.h"

#include "messages/UserMessageLog.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr CalendarTime kNow{2024, 5, 5, 3, 8, 0, 0, 0};   // 3 May 2024 08:00:00 UTC
constexpr CalendarTime kEvent{2024, 5, 0, 3, 9, 5, 7, 0}; // 09:05:07
constexpr CalendarTime kLaterEvent{2024, 5, 0, 3, 10, 0, 0, 0};
const QString kLaterName = EventFileName(kLaterEvent);

QStringList EventFiles()
{
    return QDir(QStringLiteral("Events")).entryList({QStringLiteral("*.ief")}, QDir::Files, QDir::Name);
}

void SetTime(QDialog& d, int hour)
{
    ById<QDateTimeEdit>(d, "eventTime")->setDateTime(QDateTime(QDate(2024, 5, 3), QTime(hour, 0, 0), Qt::UTC));
}

class EventDialogsTest : public ::testing::Test {
protected:
    bool Logged(const char* text) const { return m_log.Messages().contains(QLatin1String(text)); }
    EventFileFields Stored(const QString& name)
    {
        EventFileFields f;
        EXPECT_TRUE(ReadNamedEvent(m_log.Log(), name, f)) << name.toStdString();
        return f;
    }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{kNow};
    AppOptions m_options;
    EventSchedule m_schedule;
    EventDialogState m_state;
    const EventDialogContext m_program{m_schedule, m_state, m_log.Log(), m_log.Clock(), m_options};
    const QString m_eventName = WriteTestEvent(QStringLiteral("Events"), kEvent, 0, 2, 0, true);
};

} // namespace

// Two new Events saved in the same second share one file; a long comment, both power
// actions, a past time and a folder that cannot be made are refused.
TEST_F(EventDialogsTest, NewEventsShareAFileInOneSecondAndBadInputIsRefused)
{
    QFile::remove(QStringLiteral("Events/") + m_eventName);
    m_log.Clock().SetUtc(kEvent);
    for (const char* comment : {"first", "second"}) {
        ScheduleEventDialog d{m_program, QString()};
        d.open();
        ById<QLineEdit>(d, "comment")->setText(QString::fromLatin1(comment));
        Click(d, "save");
        EXPECT_EQ(d.result(), ScheduleEventDialog::Saved);
    }
    EXPECT_EQ(EventFiles(), QStringList{m_eventName});
    EXPECT_EQ(Stored(m_eventName), MakeEventFileFields(kEvent, {0, 0, 0, 0, 0, 10, 0, 0}, false, false, "second"));
    EXPECT_TRUE(Logged("Scheduled an event recording:  05_03_2024_09_05_07.ief\n"));
    EXPECT_EQ(m_schedule.FilesWrittenThisRun, QStringList{m_eventName});

    ScheduleEventDialog d{m_program, QString()};
    d.open();
    const QString fifty = QStringLiteral("0123456789").repeated(5);
    QApplication::clipboard()->setText(fifty);
    ById<QLineEdit>(d, "comment")->paste();
    Click(d, "hibernate");
    Click(d, "shutdown");
    EXPECT_FALSE(ById<QCheckBox>(d, "hibernate")->isChecked());
    Click(d, "hibernate");
    SetTime(d, 7); // an hour ago
    Click(d, "save");
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(ById<QLabel>(d, "tooLate")->text().contains("can no longer be recorded"));
    SetTime(d, 10);
    EXPECT_FALSE(ById<QLabel>(d, "tooLate")->isVisible()) << "a new time clears the reason";
    Click(d, "save");
    EXPECT_EQ(Stored(kLaterName), MakeEventFileFields(kLaterEvent, {0, 0, 0, 0, 0, 10, 0, 0}, true, false, fifty.left(35)));

    QDir(QStringLiteral("Events")).removeRecursively();
    ASSERT_TRUE(QFile(QStringLiteral("Events")).open(QIODevice::WriteOnly)); // a file where the folder belongs
    ScheduleEventDialog blocked{m_program, QString()};
    blocked.open();
    Click(blocked, "save");
    EXPECT_TRUE(blocked.isVisible());
    EXPECT_TRUE(Logged("Unable to create \"Events\" directory in process directory."));
}

TEST_F(EventDialogsTest, EditingRenamesOnANewTimeAndAFailedWriteKeepsTheEditedEvent)
{
    m_state.EditedEventFileName = m_eventName;
    ScheduleEventDialog time{m_program, m_eventName};
    time.open();
    SetTime(time, 10);
    const QString blocked = QStringLiteral("Events/") + kLaterName;
    QDir().mkpath(blocked + QStringLiteral("/inside")); // the new name cannot be written
    Click(time, "save");
    EXPECT_TRUE(time.isVisible());
    EXPECT_EQ(EventFiles(), QStringList{m_eventName});
    EXPECT_TRUE(Logged("ERROR -- the Event file \"05_03_2024_10_00_00.ief\" was not written"));
    QDir(blocked).removeRecursively();
    Click(time, "save");
    EXPECT_EQ(EventFiles(), QStringList{kLaterName});
    EXPECT_EQ(Stored(kLaterName).Hibernate, QStringLiteral("TRUE"));
}

TEST_F(EventDialogsTest, ListShowsABadMonthAsUnknownEditsOneRowAndReportsAFailedDelete)
{
    EventFileFields bad = MakeEventFileFields(kLaterEvent, {}, false, true, QStringLiteral("hand made"));
    bad.EventMonth = QStringLiteral("13");
    ASSERT_TRUE(WriteEventFile(bad, QStringLiteral("Events/bad.ief")));
    WriteTestEvent(QStringLiteral("Events"), {2024, 5, 0, 3, 7, 0, 0, 0}, 0, 1, 0); // expired: hidden
    ViewEventsDialog d{m_program};
    d.open();
    ASSERT_EQ(d.List()->topLevelItemCount(), 2);
    EXPECT_EQ(d.List()->topLevelItem(1)->text(0), QStringLiteral(" ???  3, 2024"));

    EXPECT_FALSE(ById<QPushButton>(d, "deleteSelected")->isEnabled());
    d.List()->selectAll();
    EXPECT_FALSE(ById<QPushButton>(d, "editSelected")->isEnabled());
    d.List()->topLevelItem(1)->setSelected(false);
    Click(d, "editSelected");
    EXPECT_EQ(d.result(), ViewEventsDialog::EditChosen);
    EXPECT_EQ(m_state.EditedEventFileName, m_eventName);
    m_state.ShowExpiredEvents = true;
    ViewEventsDialog all{m_program};
    all.open();
    EXPECT_EQ(all.List()->topLevelItemCount(), 3);
    const QString path = QStringLiteral("Events/") + m_eventName;
    QFile::remove(path);
    QDir().mkpath(path + QStringLiteral("/inside")); // a file that cannot go
    all.List()->topLevelItem(1)->setSelected(true); // its row, after the expired Event's
    Click(all, "deleteSelected");
    EXPECT_TRUE(all.isVisible());
    EXPECT_TRUE(Logged("WARNING: Unable to delete one or more selected event files - write protected?,  warning 16"));
}
