// Running and stopping the capture graph, and what its bus reports while it runs.
#include "capture/CaptureGraph.h"

#include "capture/CaptureGraphInternals.h"
#include "capture/RecordingFile.h"
#include "filter/FramePipeline.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"


namespace {

constexpr GstClockTime kEndOfStreamWait = 10 * GST_SECOND;
constexpr GstClockTime kDrainPoll = 20 * GST_MSECOND;
constexpr GstClockTime kStartWait = 5 * GST_SECOND;

void LogBusError(UserMessageLog& log, GstMessage* m)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(m, &error, &debug);
    log.Append(QStringLiteral("\r\nERROR -- %1: %2\r\n")
                   .arg(QString::fromUtf8(GST_OBJECT_NAME(GST_MESSAGE_SRC(m))),
                        QString::fromUtf8(error ? error->message : "")),
               true);
    g_clear_error(&error);
    g_free(debug);
}

// What the elements said and the bus still holds: why the graph failed to start (a camera
// that cannot be opened, a file that cannot be written), or what came before a stop.
void ReportPendingErrors(UserMessageLog& log, GstElement* pipeline)
{
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
    while (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        LogBusError(log, m);
        gst_message_unref(m);
    }
    gst_object_unref(bus);
}

} // namespace

Status CaptureGraph::RunGraph()
{
    if (m_state == GraphState::Idle)
        return Status::NotRunning;
    if (m_state == GraphState::Running)
        return Status::Ok;
    if (gst_element_set_state(m_e->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
        || gst_element_get_state(m_e->pipeline, nullptr, nullptr, kStartWait) == GST_STATE_CHANGE_FAILURE) {
        ReportPendingErrors(m_parts.log, m_e->pipeline);
        return Status::Failed;
    }
    m_state = GraphState::Running;
    return Status::Ok;
}

Status CaptureGraph::StopGraph()
{
    // Nothing built yet (the first build was refused before it began): nothing to stop.
    // Failing here would leave the program without a preview for good.
    if (!m_e->pipeline)
        return Status::Ok;
    const bool orderly = !m_file || !m_file->Running() || DrainIntoFile();
    if (gst_element_set_state(m_e->pipeline, GST_STATE_NULL) == GST_STATE_CHANGE_FAILURE)
        ReportGraphMessage(m_parts.log, 8);
    m_parts.frames.ReleaseIntegrationBuffer();
    FinishRecording(orderly);
    return Status::Ok;
}

bool CaptureGraph::DrainIntoFile()
{
    // Errors posted before the stop (a lost camera posts one for the device and one for
    // the stopped stream) are reported, not taken for a failure of the file's end.
    ReportPendingErrors(m_parts.log, m_e->pipeline);
    // The AVI gets its header and index from the end of stream (a full disk has sent it
    // already). The preview's end is not waited for: with the camera gone it may never come.
    std::atomic<bool>& fileEnded = m_counters->fileEnded;
    if (!fileEnded.load())
        gst_element_send_event(m_e->pipeline, gst_event_new_eos());
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_e->pipeline));
    bool failed = false;
    for (GstClockTime waited = 0; !fileEnded.load() && !failed && waited < kEndOfStreamWait; waited += kDrainPoll) {
        if (GstMessage* m = gst_bus_timed_pop_filtered(bus, kDrainPoll, GST_MESSAGE_ERROR)) {
            LogBusError(m_parts.log, m);
            gst_message_unref(m);
            failed = true;
        }
    }
    gst_object_unref(bus);
    return fileEnded.load() && !failed;
}

int CaptureGraph::OnBusMessage(GstBus*, GstMessage* m, void* self)
{
    auto* graph = static_cast<CaptureGraph*>(self);
    if (GST_MESSAGE_TYPE(m) != GST_MESSAGE_ERROR)
        return TRUE;
    LogBusError(graph->m_parts.log, m);
    // Only a graph that was running is started again: a build that fails reports its own
    // failure, and restarting it would only fail again.
    if (graph->m_state == GraphState::Running && graph->m_failureHandler) {
        graph->m_state = GraphState::StreamsBuilt;
        graph->m_failureHandler();
    }
    return TRUE;
}
