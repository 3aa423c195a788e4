// Any bytes as an Event file: reading, turning it into a record and writing it back must
// neither crash nor read out of bounds; what was written reads back to the same fields.
#include "FuzzSupport.h"
#include "events/EventFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    UserMessageLog& log = EnterScratchProcessDirectory().log;
    WriteInput("fuzzed.ief", data, size);
    EventFileFields fields, again;
    if (ReadEventFile(log, QStringLiteral("fuzzed.ief"), fields)) {
        MakeEventRecord(fields, kFileTimeEpoch);
        if (WriteEventFile(fields, QStringLiteral("written.ief"))
            && (!ReadEventFile(log, QStringLiteral("written.ief"), again) || !(again == fields)))
            std::abort();
    }
    return 0;
}
