#include "events/EventFile.h"

#include "messages/UserMessageLog.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

UserMessageLog& Log()
{
    return UserMessageLog::Instance();
}

const QString kGoldenName = QStringLiteral("05_03_2024_21_07_30.ief");

EventFileFields GoldenFields()
{
    return {QStringLiteral("2024"), QStringLiteral(" 5"), QStringLiteral(" 3"), QStringLiteral("21"),
            QStringLiteral(" 7"),   QStringLiteral("30"), QStringLiteral(" 0"), QStringLiteral(" 2"),
            QStringLiteral(" 0"),   QStringLiteral("FALSE"), QStringLiteral("TRUE"),
            QStringLiteral("(1234) Vela & TYC 5799-01234-1")};
}

QString GoldenPath()
{
    return QStringLiteral(VELA_EVENTS_TEST_DATA "/") + kGoldenName;
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class EventFileTest : public ::testing::Test {
protected:
    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2024, 5, 0, 1, 12, 0, 0, 0}};
};

} // namespace

TEST_F(EventFileTest, WritesTheGoldenFileByteForByteAndReadsItBack)
{
    const QByteArray golden = ReadFileBytes(GoldenPath());
    ASSERT_FALSE(golden.isEmpty());

    const EventFileFields fields = GoldenFields();
    const std::unique_ptr<EventRecord> record = MakeEventRecord(fields, kFileTimeEpoch);
    ASSERT_TRUE(record);
    // Month 5 is " 5" inside the file but 05 in its name.
    EXPECT_EQ(EventFileName(record->EventTime), kGoldenName);

    ASSERT_TRUE(QDir().mkdir(QStringLiteral("Events")));
    ASSERT_TRUE(WriteEventFile(fields, QStringLiteral("Events/") + kGoldenName));
    EXPECT_EQ(ReadFileBytes(QStringLiteral("Events/") + kGoldenName), golden);

    EventFileFields read;
    EXPECT_TRUE(ReadNamedEvent(Log(), kGoldenName, read));
    EXPECT_EQ(read, fields);
    EXPECT_TRUE(ReadEventFile(Log(), GoldenPath(), read));
    EXPECT_EQ(read, fields);
    EXPECT_EQ(m_log.Messages(), QString());
}

TEST_F(EventFileTest, CommentsSurviveAWriteAndReadCutAtTheirCapacity)
{
    const std::pair<QString, QString> comments[] = {
        {QString(35, QLatin1Char('x')), {}},
        {QStringLiteral("<b> & \"quotes\" 'apostrophes' >"), {}},
        {QStringLiteral("tab\there, line\r\nbreak, \u00e9t\u00e9 \u00b0C"), {}},
        {QStringLiteral("Omega \u03a9 and \U0001F319 outside Latin-1"), {}},
        {QString(), {}},
        {QString(40, QLatin1Char('y')), QString(35, QLatin1Char('y'))},
        {QString(34, QLatin1Char('c')) + QStringLiteral("\U0001F319"), QString(34, QLatin1Char('c'))}, // never half a character
    };
    for (const auto& [comment, cut] : comments) {
        EventFileFields fields = GoldenFields();
        fields.Comment = comment;
        ASSERT_TRUE(WriteEventFile(fields, QStringLiteral("e.ief"))) << comment.toStdString();
        EventFileFields read;
        ASSERT_TRUE(ReadEventFile(Log(), QStringLiteral("e.ief"), read));
        EXPECT_EQ(read.Comment, cut.isEmpty() ? comment : cut) << comment.toStdString();
    }
    // A character outside ISO 8859-1 is written as a reference, never lost.
    EventFileFields fields = GoldenFields();
    fields.Comment = QStringLiteral("\u03a9");
    ASSERT_TRUE(WriteEventFile(fields, QStringLiteral("e.ief")));
    EXPECT_TRUE(ReadFileBytes(QStringLiteral("e.ief")).contains("<Comment Value=\"&#x3A9;\"/>"));
}

TEST_F(EventFileTest, ReadsHandEditedFiles)
{
    WriteBytes(QStringLiteral("hand.ief"),
               "<?xml version='1.0' encoding='UTF-8'?>\n"
               "<!-- edited by hand -->\n"
               "<Events>\n"
               "  <EventYear Val='2025'/>\n"           // another attribute name
               "  <EventMonth Value=\"12\" Extra=\"1\"/>\n"
               "  <eventday Value=\"9\"/>\n"           // names are case-sensitive
               "  <EventDay/>\n"                       // no attribute: skipped
               "  <EventHour Value=\"1\"/><EventHour Value=\"2\"/>\n" // the last one counts
               "  <Unknown Value=\"x\"/>\n"
               "  <Comment Value=\"\xC3\xA9t\xC3\xA9\"/>\n"
               "  <EventSecond Value=\"2024123456789\"/><Hibernate Value=\"TRUE      X\"/>\n" // cut to 9 characters
               "  text between elements\n"
               "</Events>\n");
    EventFileFields read;
    ASSERT_TRUE(ReadEventFile(Log(), QStringLiteral("hand.ief"), read));
    EventFileFields expected;
    expected.EventYear = QStringLiteral("2025");
    expected.EventMonth = QStringLiteral("12");
    expected.EventHour = QStringLiteral("2");
    expected.Comment = QStringLiteral("\u00e9t\u00e9");
    expected.EventSecond = QStringLiteral("202412345");
    expected.Hibernate = QStringLiteral("TRUE     ");
    EXPECT_EQ(read, expected);
}

TEST_F(EventFileTest, UnreadableFilesLeaveEveryFieldEmpty)
{
    WriteBytes(QStringLiteral("empty.ief"), QByteArray());
    WriteBytes(QStringLiteral("text.ief"), "not XML at all");
    WriteBytes(QStringLiteral("cut.ief"), "<?xml version=\"1.0\"?><Root><EventYear Value=\"2024\"/>");
    for (const char* name : {"missing.ief", "empty.ief", "text.ief", "cut.ief"}) {
        EventFileFields fields = GoldenFields();
        EXPECT_FALSE(ReadEventFile(Log(), QString::fromLatin1(name), fields)) << name;
        EXPECT_EQ(fields, EventFileFields{}) << name;
    }
    EXPECT_EQ(m_log.Messages(), QString());
}

TEST_F(EventFileTest, AFailedSaveKeepsTheOldFile)
{
    const EventFileFields old = GoldenFields();
    ASSERT_TRUE(WriteEventFile(old, QStringLiteral("e.ief")));
    const QByteArray before = ReadFileBytes(QStringLiteral("e.ief"));

    EventFileFields changed = old;
    changed.Comment = QStringLiteral("changed");
    QString error;
    bool written = true;
    {
        ScopedFileSizeLimit full(64);
        written = WriteEventFile(changed, QStringLiteral("e.ief"), &error);
    }

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFileBytes(QStringLiteral("e.ief")), before);
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("e.ief")});
}

TEST(EventRecordTest, RefusesMissingOrOutOfRangeNumbersAndDaysTheMonthDoesNotHave)
{
    using F = EventFileFields;
    struct Case {
        QString F::*member;
        const char* value;
        const char* field; // named in the problem; nullptr when the value is good
        bool february29 = false;
    };
    const Case cases[] = {
        {&F::EventMonth, "13", "EventMonth"}, {&F::EventMonth, " 0", "EventMonth"}, {&F::EventMonth, "12", nullptr},
        {&F::EventMonth, "05", nullptr},      {&F::EventDay, "32", "EventDay"},     {&F::EventDay, "31", nullptr},
        {&F::EventHour, "24", "EventHour"},   {&F::EventHour, "23", nullptr},       {&F::EventMinute, "60", "EventMinute"},
        {&F::EventMinute, "59", nullptr},     {&F::EventSecond, "60", "EventSecond"}, {&F::EventSecond, "59", nullptr},
        {&F::EventYear, "", "EventYear"},     {&F::EventYear, "1600", "EventYear"}, {&F::EventYear, "20245", "EventYear"},
        {&F::EventHour, "1a", "EventHour"},   {&F::EventHour, "123", "EventHour"}, // not read as 12
        {&F::EventHour, "-1", "EventHour"},   {&F::DurationHour, "", "DurationHour"},
        {&F::DurationMinute, "x", "DurationMinute"}, {&F::DurationSecond, "99", nullptr},
        {&F::EventYear, "2026", "EventDay", true}, {&F::EventYear, "2028", nullptr, true},
        {&F::EventYear, "2100", "EventDay", true},
    };
    for (const Case& c : cases) {
        EventFileFields fields = GoldenFields();
        fields.EventMonth = c.february29 ? QStringLiteral(" 2") : QStringLiteral("12"); // December has 31 days
        if (c.february29)
            fields.EventDay = QStringLiteral("29");
        fields.*c.member = QString::fromLatin1(c.value);
        QString problem;
        const std::unique_ptr<EventRecord> record = MakeEventRecord(fields, kFileTimeEpoch, &problem);
        SCOPED_TRACE(c.value);
        if (c.field) {
            EXPECT_FALSE(record);
            EXPECT_TRUE(problem.startsWith(QLatin1String(c.field))) << problem.toStdString();
        } else {
            EXPECT_TRUE(record) << problem.toStdString();
        }
    }
    EventFileFields april = GoldenFields();
    april.EventMonth = QStringLiteral(" 4");
    april.EventDay = QStringLiteral("31");
    QString problem;
    EXPECT_FALSE(MakeEventRecord(april, kFileTimeEpoch, &problem));
    EXPECT_EQ(problem.left(14), QStringLiteral("EventDay (\"31\""));
}

TEST(EventRecordTest, OnlyTheExactWordTRUESetsAFlag)
{
    for (const auto& [text, set] : {std::pair{"TRUE", true}, {"true", false}, {"TRUE ", false}, {"", false},
                                    {"FALSE", false}}) {
        EventFileFields fields = GoldenFields();
        fields.Hibernate = QString::fromLatin1(text);
        fields.Shutdown = QString::fromLatin1(text);
        const std::unique_ptr<EventRecord> record = MakeEventRecord(fields, kFileTimeEpoch);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->Hibernate, set) << text;
        EXPECT_EQ(record->ShutDown, set) << text;
    }
}

TEST(EventWindowTest, WindowIsCentredOnTheEventTimeAndExpiresAtItsEnd)
{
    struct Case {
        CalendarTime eventTime, duration, start, end;
    };
    const Case cases[] = {
        // Crosses midnight and the year.
        {{2026, 12, 0, 31, 23, 59, 30, 0}, {0, 0, 0, 0, 0, 2, 0, 0}, {2026, 12, 0, 31, 23, 58, 30, 0},
         {2027, 1, 0, 1, 0, 0, 30, 0}},
        // One second: half a second on each side.
        {{2026, 3, 0, 15, 3, 4, 5, 0}, {0, 0, 0, 0, 0, 0, 1, 0}, {2026, 3, 0, 15, 3, 4, 4, 500},
         {2026, 3, 0, 15, 3, 4, 5, 500}},
        {{2026, 3, 0, 15, 3, 4, 5, 0}, {0, 0, 0, 0, 99, 99, 99, 0}, {2026, 3, 0, 13, 0, 43, 45, 500},
         {2026, 3, 0, 17, 5, 24, 24, 500}},
        // Starts at the very first tick; a second earlier it could not.
        {{1601, 1, 0, 1, 0, 0, 30, 0}, {0, 0, 0, 0, 0, 1, 0, 0}, {1601, 1, 0, 1, 0, 0, 0, 0},
         {1601, 1, 0, 1, 0, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        EventRecord r;
        r.EventTime = c.eventTime;
        r.Duration = c.duration;
        ASSERT_TRUE(ComputeEventWindow(r, kFileTimeEpoch));
        EXPECT_EQ(r.RecordingStart, CalendarToUtcTime(c.start));
        EXPECT_EQ(r.RecordingEnd, CalendarToUtcTime(c.end));
        ASSERT_TRUE(ComputeEventWindow(r, r.RecordingEnd - FileTimeSpan(1)));
        EXPECT_FALSE(r.Expired);
        ASSERT_TRUE(ComputeEventWindow(r, r.RecordingEnd));
        EXPECT_TRUE(r.Expired);
    }
    EventRecord early;
    early.EventTime = {1601, 1, 0, 1, 0, 0, 29, 0};
    early.Duration = {0, 0, 0, 0, 0, 1, 0, 0};
    EXPECT_FALSE(ComputeEventWindow(early, kFileTimeEpoch));
}
