#include "filter/AnalysisMessages.h"

#include <atomic>

namespace {
std::atomic<AnalysisMessageSink> g_sink{nullptr};
} // namespace

void SetAnalysisMessageSink(AnalysisMessageSink sink)
{
    g_sink.store(sink, std::memory_order_release);
}

void ReportAnalysisMessage(std::string_view text, bool timeStamp)
{
    if (AnalysisMessageSink sink = g_sink.load(std::memory_order_acquire))
        sink(text, timeStamp);
}
