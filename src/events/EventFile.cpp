#include "events/EventFile.h"

#include "messages/UserMessageLog.h"
#include "options/XmlDocumentText.h"

#include <QFileInfo>
#include <optional>

namespace {

QString CutToCapacity(const QString& value, int capacity)
{
    if (value.size() < capacity)
        return value;
    QString cut = value.left(capacity - 1);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1); // never leave half a character
    return cut;
}

// Like "%2hu" reading a field the dialog wrote, but the whole value must be the number:
// "123" in a two-digit field is refused rather than read as 12.
std::optional<std::uint16_t> ParseNumber(const QString& text, int maxDigits)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > maxDigits)
        return std::nullopt;
    std::uint16_t value = 0;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = static_cast<std::uint16_t>(value * 10 + (c.unicode() - u'0'));
    }
    return value;
}

struct NumericField {
    QString EventFileFields::*member;
    const char* name;
    bool duration; // goes into the duration, else into the event time
    std::uint16_t CalendarTime::*target;
    int digits;
    int low;
    int high;
};

// The day is checked against its month once the month and year are known.
constexpr NumericField kNumericFields[] = {
    {&EventFileFields::EventYear, "EventYear", false, &CalendarTime::year, 4, 1601, 9999},
    {&EventFileFields::EventMonth, "EventMonth", false, &CalendarTime::month, 2, 1, 12},
    {&EventFileFields::EventDay, "EventDay", false, &CalendarTime::day, 2, 1, 31},
    {&EventFileFields::EventHour, "EventHour", false, &CalendarTime::hour, 2, 0, 23},
    {&EventFileFields::EventMinute, "EventMinute", false, &CalendarTime::minute, 2, 0, 59},
    {&EventFileFields::EventSecond, "EventSecond", false, &CalendarTime::second, 2, 0, 59},
    {&EventFileFields::DurationHour, "DurationHour", true, &CalendarTime::hour, 2, 0, 99},
    {&EventFileFields::DurationMinute, "DurationMinute", true, &CalendarTime::minute, 2, 0, 99},
    {&EventFileFields::DurationSecond, "DurationSecond", true, &CalendarTime::second, 2, 0, 99},
};

QString Problem(const char* name, const QString& value)
{
    return QStringLiteral("%1 (\"%2\")").arg(QLatin1String(name), value);
}

} // namespace

const std::array<EventFieldInfo, kEventFieldCount>& EventFields()
{
    static const std::array<EventFieldInfo, kEventFieldCount> fields{{
        {"EventYear", &EventFileFields::EventYear, 10},
        {"EventMonth", &EventFileFields::EventMonth, 10},
        {"EventDay", &EventFileFields::EventDay, 10},
        {"EventHour", &EventFileFields::EventHour, 10},
        {"EventMinute", &EventFileFields::EventMinute, 10},
        {"EventSecond", &EventFileFields::EventSecond, 10},
        {"DurationHour", &EventFileFields::DurationHour, 10},
        {"DurationMinute", &EventFileFields::DurationMinute, 10},
        {"DurationSecond", &EventFileFields::DurationSecond, 10},
        {"Hibernate", &EventFileFields::Hibernate, 10},
        {"Shutdown", &EventFileFields::Shutdown, 10},
        {"Comment", &EventFileFields::Comment, 36},
    }};
    return fields;
}

QString EventFileName(const CalendarTime& t)
{
    return QString::asprintf("%2.2hu_%2.2hu_%4.4hu_%2.2hu_%2.2hu_%2.2hu.ief", t.month, t.day, t.year, t.hour, t.minute,
                             t.second);
}

bool ReadEventFile(UserMessageLog& log, const QString& path, EventFileFields& fields)
{
    fields = {};
    const std::optional<QList<XmlChild>> children = ReadFlatDocument(path);
    if (!children)
        return false;
    for (const XmlChild& child : *children) {
        // The value is the first attribute whatever its name; a repeated element overwrites.
        if (child.attributeValues.isEmpty())
            continue;
        for (const EventFieldInfo& f : EventFields()) {
            if (child.name == QLatin1String(f.name)) {
                fields.*f.member = CutToCapacity(child.attributeValues.front(), f.capacity);
                break;
            }
        }
    }
    if (!QFileInfo::exists(path))
        log.Append(QStringLiteral("WARNING: unable to close an Event file - this may result in modify or delete issues"),
                   true);
    return true;
}

bool ReadNamedEvent(UserMessageLog& log, const QString& fileName, EventFileFields& fields)
{
    return ReadEventFile(log, QLatin1String(kEventsFolder) + fileName, fields);
}

bool WriteEventFile(const EventFileFields& fields, const QString& path, QString* error)
{
    QList<XmlElementLine> lines;
    for (const EventFieldInfo& f : EventFields())
        lines.append({QLatin1String(f.name), {{QStringLiteral("Value"), CutToCapacity(fields.*f.member, f.capacity)}}});
    return WriteXmlDocumentText(SerialiseFlatDocument(QLatin1String(kEventFileComment), lines), path, error);
}

EventFileFields MakeEventFileFields(const CalendarTime& eventTime, const CalendarTime& duration, bool hibernate,
                                    bool shutdown, const QString& comment)
{
    const auto two = [](std::uint16_t v) { return QString::asprintf("%2hu", v); };
    const auto word = [](bool b) { return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); };
    EventFileFields f;
    f.EventYear = QString::asprintf("%4hu", eventTime.year);
    f.EventMonth = two(eventTime.month);
    f.EventDay = two(eventTime.day);
    f.EventHour = two(eventTime.hour);
    f.EventMinute = two(eventTime.minute);
    f.EventSecond = two(eventTime.second);
    f.DurationHour = two(duration.hour);
    f.DurationMinute = two(duration.minute);
    f.DurationSecond = two(duration.second);
    f.Hibernate = word(hibernate);
    f.Shutdown = word(shutdown);
    f.Comment = comment;
    return f;
}

std::unique_ptr<EventRecord> MakeEventRecord(const EventFileFields& fields, UtcTime now, QString* problem)
{
    auto record = std::make_unique<EventRecord>();
    auto refuse = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return nullptr;
    };
    for (const NumericField& f : kNumericFields) {
        const QString& text = fields.*f.member;
        const std::optional<std::uint16_t> value = ParseNumber(text, f.digits);
        if (!value || *value < f.low || *value > f.high)
            return refuse(Problem(f.name, text));
        CalendarTime& into = f.duration ? record->Duration : record->EventTime;
        into.*f.target = *value;
    }
    const CalendarTime& t = record->EventTime;
    if (t.day > DaysInMonth(t.year, t.month))
        return refuse(Problem("EventDay", fields.EventDay));
    record->Hibernate = fields.Hibernate == QLatin1String("TRUE");
    record->ShutDown = fields.Shutdown == QLatin1String("TRUE");
    if (!ComputeEventWindow(*record, now))
        return refuse(Problem("EventYear", fields.EventYear));
    return record;
}

bool ComputeEventWindow(EventRecord& record, UtcTime now)
{
    const CalendarTime& d = record.Duration;
    const FileTimeSpan duration =
        std::chrono::hours(d.hour) + std::chrono::minutes(d.minute) + std::chrono::seconds(d.second);
    const std::optional<UtcTime> eventTime = CalendarToUtcTime(record.EventTime);
    if (!eventTime || *eventTime - duration / 2 < kFileTimeEpoch)
        return false;
    record.RecordingStart = *eventTime - duration / 2;
    record.RecordingEnd = *eventTime + duration / 2;
    record.Expired = now >= record.RecordingEnd;
    return true;
}
