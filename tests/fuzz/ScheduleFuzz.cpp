// A folder of fuzzed Event files: the input is cut at every "\x00\x00" into up to eight
// files, and the schedule is rebuilt from them. No crash, no hang, no read out of bounds;
// the list stays latest first without overlaps.
#include "FuzzSupport.h"
#include "events/EventSchedule.h"

#include <algorithm>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzScratch& scratch = EnterScratchProcessDirectory();
    std::filesystem::remove_all("Events");
    std::filesystem::create_directory("Events");
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0, at = 0; i < 8 && at <= input.size(); ++i) {
        const std::size_t end = std::min(input.find(std::string_view("\0\0", 2), at), input.size());
        WriteInput("Events/0" + std::to_string(i) + "_15_2026_12_00_00.ief", data + at, end - at);
        at = end + 2;
    }
    EventSchedule schedule;
    static_cast<void>(schedule.LoadEventSchedule(scratch.log, UtcTimeNow(scratch.clock)));
    for (std::size_t i = 1; i < schedule.Records.size(); ++i)
        if (schedule.Records[i - 1]->RecordingStart < schedule.Records[i]->RecordingEnd)
            std::abort();
    return 0;
}
