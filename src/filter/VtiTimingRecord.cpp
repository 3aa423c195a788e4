#include "filter/VtiTimingRecord.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kFourthFirstFieldDigit = 9;
constexpr int kSecondFieldDigits = 10;
constexpr int kFractionDigits = 4;

// to - from, taken the short way round midnight.
std::int64_t StepAcrossMidnight(std::int64_t from, std::int64_t to)
{
    std::int64_t d = (to - from) % kVtiUnitsPerDay;
    if (d >= kVtiUnitsPerDay / 2)
        d -= kVtiUnitsPerDay;
    else if (d < -kVtiUnitsPerDay / 2)
        d += kVtiUnitsPerDay;
    return d;
}

// Room for any four ints, so the compiler sees that nothing is cut.
using TimeText = char[48];

// HH:MM:SS.ssss
void FormatTime(std::int64_t units, TimeText& out)
{
    const std::int64_t seconds = units / kVtiUnitsPerSecond;
    std::snprintf(out, sizeof out, "%02d:%02d:%02d.%04d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60), static_cast<int>(units % kVtiUnitsPerSecond));
}

} // namespace

VtiFrameTime ReadVtiFrameTime(const std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                              const CharacterSetList& sets)
{
    VtiFrameTime t;
    const VtiLineReading line = ReadVtiLine(frame, geometry, layout, sets);
    if (!line.read)
        return t;
    const int fourth = ReadDisplayDigits(frame, geometry, layout, sets, kFourthFirstFieldDigit, 1);
    const int second = ReadDisplayDigits(frame, geometry, layout, sets, kSecondFieldDigits, kFractionDigits);
    if (fourth < 0 || second < 0)
        return t;
    t.readable = true;
    t.hour = line.hour;
    t.minute = line.minute;
    t.second = line.second;
    t.firstFieldFraction = static_cast<std::uint16_t>(line.milliseconds * 10 + fourth);
    t.secondFieldFraction = static_cast<std::uint16_t>(second);
    return t;
}

std::int64_t FirstFieldTime(const VtiFrameTime& t)
{
    return ((t.hour * 60LL + t.minute) * 60LL + t.second) * kVtiUnitsPerSecond + t.firstFieldFraction;
}

std::int64_t SecondFieldTime(const VtiFrameTime& t)
{
    const std::int64_t start = FirstFieldTime(t) - t.firstFieldFraction;
    const std::int64_t carry = t.secondFieldFraction < t.firstFieldFraction ? kVtiUnitsPerSecond : 0;
    return (start + carry + t.secondFieldFraction) % kVtiUnitsPerDay;
}

TimingRecord MakeTimingRecord(std::vector<VtiFrameTime> times, double framePeriod)
{
    TimingRecord r;
    r.times = std::move(times);
    r.flags.resize(r.times.size());
    const double tolerance = framePeriod / 2;
    for (std::size_t i = 0; i < r.times.size(); ++i) {
        const VtiFrameTime& t = r.times[i];
        TimingFlags& f = r.flags[i];
        if (!t.readable) {
            f.unreadable = true;
            ++r.unreadable;
            continue;
        }
        if (r.lastRead >= 0) {
            const auto last = static_cast<std::size_t>(r.lastRead);
            const auto step = static_cast<double>(StepAcrossMidnight(FirstFieldTime(r.times[last]), FirstFieldTime(t)));
            const double elapsed = static_cast<double>(i - last) * framePeriod;
            f.repeat = std::abs(step) < tolerance;
            f.gap = !f.repeat && std::abs(step - elapsed) > tolerance;
            r.repeats += f.repeat;
            r.gaps += f.gap;
        } else {
            r.firstRead = static_cast<std::int64_t>(i);
        }
        r.lastRead = static_cast<std::int64_t>(i);
    }
    return r;
}

std::string TimingRecordCsv(const TimingRecord& record)
{
    std::string csv = "frame,first_field,second_field,unreadable,gap,repeat\r\n";
    constexpr std::size_t kLineLength = 48;
    csv.reserve(csv.size() + record.times.size() * kLineLength);
    TimeText first = "";
    TimeText second = "";
    char line[160];
    for (std::size_t i = 0; i < record.times.size(); ++i) {
        const VtiFrameTime& t = record.times[i];
        const TimingFlags& f = record.flags[i];
        first[0] = second[0] = '\0';
        if (t.readable) {
            FormatTime(FirstFieldTime(t), first);
            FormatTime(SecondFieldTime(t), second);
        }
        std::snprintf(line, sizeof line, "%zu,%s,%s,%d,%d,%d\r\n", i, first, second, f.unreadable, f.gap, f.repeat);
        csv += line;
    }
    return csv;
}

std::string TimingRecordSummary(const TimingRecord& record, std::string_view csvName)
{
    const bool sound = record.gaps == 0 && record.repeats == 0 && record.unreadable == 0 && record.firstRead >= 0;
    std::string text = sound ? "NOTE: " : "WARNING: ";
    text += "VTI times in ";
    text += csvName;
    text += ": ";
    if (record.firstRead >= 0) {
        TimeText first;
        TimeText last;
        FormatTime(FirstFieldTime(record.times[static_cast<std::size_t>(record.firstRead)]), first);
        FormatTime(FirstFieldTime(record.times[static_cast<std::size_t>(record.lastRead)]), last);
        text += std::string(first) + " to " + last;
    } else {
        text += "none read";
    }
    char counts[160];
    std::snprintf(counts, sizeof counts, ", %zu frames, %lld gaps, %lld repeats, %lld unreadable\r\n", record.times.size(),
                  static_cast<long long>(record.gaps), static_cast<long long>(record.repeats),
                  static_cast<long long>(record.unreadable));
    return text + counts;
}
