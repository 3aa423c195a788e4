// Any bytes as an Event file: reading, turning it into a record and writing it back must
// neither crash nor read out of bounds; what was written reads back to the same fields.
#include "FuzzSupport.h"
#include "events/EventFile.h"
#include "messages/UserMessageLog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnterScratchProcessDirectory();
    UserMessageLog::Instance().SetEchoToStderr(false);
    WriteInput("fuzzed.ief", data, size);

    EventFileFields fields;
    UserMessageLog& log = UserMessageLog::Instance();
    if (ReadEventFile(log, QStringLiteral("fuzzed.ief"), fields)) {
        MakeEventRecord(fields, kFileTimeEpoch);
        if (WriteEventFile(fields, QStringLiteral("written.ief"))) {
            EventFileFields again;
            if (!ReadEventFile(log, QStringLiteral("written.ief"), again) || !(again == fields))
                std::abort();
        }
    }
    UserMessageLog::Instance().Clear();
    return 0;
}
