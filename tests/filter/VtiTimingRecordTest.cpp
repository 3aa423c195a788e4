// Gaps and repeats where a recording crosses midnight or holds frames that could not be read.
#include "filter/VtiTimingRecord.h"

#include <gtest/gtest.h>

namespace {

// A frame showing `units` ten-thousandths of a second after midnight; -1: unreadable.
VtiFrameTime Shown(std::int64_t units)
{
    if (units < 0)
        return {};
    const auto part = [units](std::int64_t div, std::int64_t mod) { return static_cast<std::uint16_t>(units / div % mod); };
    return {true, part(36'000'000, 24), part(600'000, 60), part(10'000, 60), part(1, 10'000), part(1, 10'000)};
}

} // namespace

TEST(VtiTimingRecord, StepsAcrossMidnightAndOverUnreadableFrames)
{
    constexpr std::int64_t kLast = kVtiUnitsPerDay - 100; // 23:59:59.9900
    // The flags per frame: '.' sound, 'u' unreadable, 'g' gap, 'r' repeat.
    const std::tuple<const char*, std::vector<std::int64_t>, const char*> cases[] = {
        {"midnight", {kLast - 400, kLast, 300, 700}, "...."},
        {"a frame dropped at midnight", {kLast, 700}, ".g"},
        {"an unreadable frame between", {0, -1, 800, 1200}, ".u.."},
        {"one dropped behind an unreadable one", {0, -1, 1200}, ".ug"},
        {"the same time twice", {0, 400, 400, 800}, "..r."},
    };
    for (const auto& [name, shown, expected] : cases) {
        SCOPED_TRACE(name);
        std::vector<VtiFrameTime> times;
        for (const std::int64_t units : shown)
            times.push_back(Shown(units));
        const TimingRecord r = MakeTimingRecord(times, 400.0);
        std::string flags;
        for (const TimingFlags& f : r.flags)
            flags += f.unreadable ? 'u' : f.gap ? 'g' : f.repeat ? 'r' : '.';
        EXPECT_EQ(flags, expected);
    }
}
