// The recording branch of the capture graph and the end of its file.
#include "capture/CaptureGraph.h"

#include "capture/CaptureGraphInternals.h"
#include "capture/RecordingFile.h"
#include "devices/DeviceTable.h"
#include "messages/MessageTables.h"
#include "recording/AppState.h"
#include "recording/RecordingLog.h"

namespace {

constexpr guint64 kCaptureQueueTime = 4 * GST_SECOND; // at least 2 s of video
constexpr guint kSpaceCheckMs = 250;

} // namespace

// Smart Tee ! queue "Capture" ! [codec] ! AVI Mux ! file writer
Status CaptureGraph::AddRecordingBranch(const CaptureDevice& d, const MediaFormat& f)
{
    const int codecIndex = d.chosenCodecIndex < 0 ? 0 : d.chosenCodecIndex;
    const QString codecName = codecIndex < d.codecNames.size() ? d.codecNames[codecIndex] : QStringLiteral("NONE");
    const AppState& app = m_parts.app;
    const PreAllocationRequest request =
        MakePreAllocationRequest(m_parts.options, app.RecordingActive, m_file->FileName(), codecName, app.EventDuration);
    if (Failed(m_file->Claim(request, m_parts.preAllocationCalls)) || Failed(AddCaptureQueueMuxAndWriter())) {
        ReportGraphMessage(m_parts.log, 24);
        return Status::Aborted;
    }
    const bool withCodec = codecIndex > 0 && codecIndex < d.codecFilters.size() && d.codecFilters[codecIndex];
    if (const Status s = withCodec ? LinkThroughCodec(d.codecFilters[codecIndex].get(), codecName, f)
                                   : LinkWithoutCodec();
        Failed(s))
        return s;
    CountRecordedFrames();
    m_file->FollowWrites(m_e->fileWriter);

    // A disk that fills ends the recording while there is still room for the file's
    // header and index, instead of leaving a file no player can read.
    g_object_set(m_e->tee, "allow-not-linked", TRUE, nullptr);
    m_recordingBranchEnded = false;
    m_spaceWatch = g_timeout_add(kSpaceCheckMs, &CaptureGraph::CheckFreeSpace, this);
    return Status::Ok;
}

Status CaptureGraph::AddCaptureQueueMuxAndWriter()
{
    m_e->captureQueue = gst_element_factory_make("queue", "Capture");
    m_e->mux = gst_element_factory_make("avimux", "AVI Mux");
    m_e->fileWriter = m_file->MakeWriter();
    if (!m_e->captureQueue || !m_e->mux || !m_e->fileWriter)
        return Status::Failed;
    g_object_set(m_e->captureQueue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time", kCaptureQueueTime,
                 nullptr);
    gst_bin_add_many(GST_BIN(m_e->pipeline), m_e->captureQueue, m_e->mux, m_e->fileWriter, nullptr);
    return gst_element_link(m_e->tee, m_e->captureQueue) && gst_element_link(m_e->mux, m_e->fileWriter)
               ? Status::Ok
               : Status::Failed;
}

// The chosen codec between the capture queue and the multiplexer; when they will not
// link, the camera's own stream goes into the file instead.
Status CaptureGraph::LinkThroughCodec(GstElementFactory* factory, const QString& codecName, const MediaFormat& f)
{
    GstElement* codec = gst_element_factory_create(factory, nullptr);
    if (!codec) {
        ReportGraphMessage(m_parts.log, 25);
        return Status::Aborted;
    }
    gst_object_set_name(GST_OBJECT(codec), codecName.toUtf8().constData());
    gst_bin_add(GST_BIN(m_e->pipeline), codec);
    GstElement* decoder =
        f.subtype == VideoSubtype::MJPG ? gst_element_factory_make("jpegdec", "Capture Decoder") : nullptr;
    if (decoder)
        gst_bin_add(GST_BIN(m_e->pipeline), decoder);
    GstElement* queue = m_e->captureQueue;
    if (decoder ? gst_element_link_many(queue, decoder, codec, m_e->mux, nullptr)
                : gst_element_link_many(queue, codec, m_e->mux, nullptr)) {
        Log(codecName + QStringLiteral(" is used in filter graph\r\n"));
        m_recordedSubtype = VideoSubtype::OTHER; // the file holds the codec's output, not the camera's frames
        return Status::Ok;
    }
    for (GstElement* e : {codec, decoder}) {
        if (e) {
            gst_element_unlink(queue, e);
            gst_bin_remove(GST_BIN(m_e->pipeline), e);
        }
    }
    if (!gst_element_link(queue, m_e->mux)) {
        ReportGraphMessage(m_parts.log, 26);
        return Status::Aborted;
    }
    Log(codecName + QStringLiteral(" is NOT used in filter graph\r\n"));
    return Status::Ok;
}

// "NONE": the camera's stream as it comes, converted only where the multiplexer will not
// take it so.
Status CaptureGraph::LinkWithoutCodec()
{
    if (gst_element_link(m_e->captureQueue, m_e->mux))
        return Status::Ok;
    GstElement* convert = gst_element_factory_make("videoconvert", "Capture Converter");
    bool linked = false;
    if (convert) {
        gst_bin_add(GST_BIN(m_e->pipeline), convert);
        linked = gst_element_link_many(m_e->captureQueue, convert, m_e->mux, nullptr);
    }
    if (!linked) {
        Log(QStringLiteral("\r\nNONE does not work for this camera.  Try a named codec.\r\n"));
        return Status::Aborted;
    }
    Log(QStringLiteral("\r\nNONE has inserted at least one filter between Smart Tee and AVI Mux\r\n"));
    return Status::Ok;
}

// Frames that reach the multiplexer are the frames in the file; the file is whole once the
// end of stream has passed the writer's input.
void CaptureGraph::CountRecordedFrames()
{
    GstPad* writerIn = gst_element_get_static_pad(m_e->fileWriter, "sink");
    gst_pad_add_probe(
        writerIn, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
        [](GstPad*, GstPadProbeInfo* info, gpointer user) -> GstPadProbeReturn {
            if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS)
                static_cast<Counters*>(user)->fileEnded.store(true);
            return GST_PAD_PROBE_OK;
        },
        m_counters.get(), nullptr);
    gst_object_unref(writerIn);
    GstPad* muxIn = gst_element_get_static_pad(m_e->captureQueue, "src");
    gst_pad_add_probe(
        muxIn, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer user) -> GstPadProbeReturn {
            static_cast<Counters*>(user)->recorded.fetch_add(1, std::memory_order_relaxed);
            return GST_PAD_PROBE_OK;
        },
        m_counters.get(), nullptr);
    gst_object_unref(muxIn);
}

int CaptureGraph::CheckFreeSpace(void* self)
{
    auto* graph = static_cast<CaptureGraph*>(self);
    if (!graph->m_file || !graph->m_file->Running() || graph->m_recordingBranchEnded) {
        graph->m_spaceWatch = 0;
        return FALSE;
    }
    if (!graph->m_file->RoomRunsOut(graph->m_counters->recorded.load()))
        return TRUE;
    graph->Log(QStringLiteral("\r\nERROR -- The disk holding \"%1\" is full.  The recording was ended to keep the file "
                       "readable; the preview goes on.\r\n")
            .arg(graph->m_file->FileName()));
    graph->EndRecordingBranch();
    graph->m_spaceWatch = 0;
    return FALSE;
}

void CaptureGraph::EndRecordingBranch()
{
    if (!m_e->captureQueue || m_recordingBranchEnded)
        return;
    m_recordingBranchEnded = true;
    GstPad* queueIn = gst_element_get_static_pad(m_e->captureQueue, "sink");
    GstPad* teeOut = gst_pad_get_peer(queueIn);
    if (!teeOut) {
        gst_object_unref(queueIn);
        return;
    }
    // Between two buffers: unhook the branch, then let the end of stream run down it.
    gst_pad_add_probe(
        teeOut, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM,
        [](GstPad* pad, GstPadProbeInfo*, gpointer user) -> GstPadProbeReturn {
            auto* sink = static_cast<GstPad*>(user);
            gst_pad_unlink(pad, sink);
            gst_pad_send_event(sink, gst_event_new_eos());
            return GST_PAD_PROBE_REMOVE;
        },
        queueIn, gst_object_unref);
    gst_object_unref(teeOut);
}

void CaptureGraph::FinishRecording(bool orderly)
{
    if (!m_file || !m_file->Running())
        return;
    m_file->Finish(orderly);
    const AppState& app = m_parts.app;
    WriteRecordingLog(m_parts.log, m_file->FileName(), app.StartRecordingText, app.StopRecordingText, m_defaultFolder,
                      m_counters->recorded.load(), m_counters->dropped.load());
    if (m_recordingFinished)
        m_recordingFinished(m_file->FileName(), m_recordedSubtype);
}

void CaptureGraph::DiscardUnusedFile()
{
    if (!m_file || !m_file->MadeByThisBuild())
        return;
    // The writer lets go of the file first.
    if (m_e->pipeline)
        gst_element_set_state(m_e->pipeline, GST_STATE_NULL);
    m_file->Discard(m_counters && m_counters->recorded.load() > 0);
}
