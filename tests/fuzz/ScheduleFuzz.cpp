// A folder of fuzzed Event files: the input is cut at every "\x00\x00" into up to eight
// files, and the schedule is rebuilt from them. No crash, no hang, no read out of bounds;
// the list stays latest first without overlaps.
#include "FuzzSupport.h"
#include "common/Clock.h"
#include "events/EventSchedule.h"
#include "messages/UserMessageLog.h"

#include <filesystem>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnterScratchProcessDirectory();
    UserMessageLog::Instance().SetEchoToStderr(false);
    static ManualClock clock(CalendarTime{2026, 3, 0, 15, 12, 0, 0, 0});
    SetAppClock(&clock); // the log's time stamps

    std::filesystem::remove_all("Events");
    std::filesystem::create_directory("Events");
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    for (int i = 0; i < 8 && at <= input.size(); ++i) {
        std::size_t end = input.find(std::string_view("\0\0", 2), at);
        if (end == std::string_view::npos)
            end = input.size();
        const std::string name = "Events/0" + std::to_string(i) + "_15_2026_12_00_00.ief";
        WriteInput(name, data + at, end - at);
        at = end + 2;
    }

    EventSchedule schedule;
    static_cast<void>(schedule.LoadEventSchedule(UserMessageLog::Instance(), UtcTimeNow(clock)));
    const auto& records = schedule.Records;
    for (std::size_t i = 1; i < records.size(); ++i)
        if (records[i - 1]->RecordingStart < records[i]->RecordingEnd)
            std::abort();
    UserMessageLog::Instance().Clear();
    return 0;
}
