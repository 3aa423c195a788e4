#pragma once

#include <string_view>

// The frame analysis reports to User Messages through this sink, which the program
// connects at start-up. Callable from the streaming thread; the sink must not wait for
// the UI thread. Text is ASCII with its own CR LF line ends.
using AnalysisMessageSink = void (*)(std::string_view text, bool timeStamp);
void SetAnalysisMessageSink(AnalysisMessageSink sink);
void ReportAnalysisMessage(std::string_view text, bool timeStamp);
