#include "capture/sim/SimulatorJpegStage.h"

#include <initializer_list>

SimulatorJpegStage::~SimulatorJpegStage()
{
    Stop();
}

bool SimulatorJpegStage::Start(GstCaps* rawCaps)
{
    Stop();
    m_encoder = gst_element_factory_make("jpegenc", nullptr);
    if (m_encoder == nullptr)
        return false;
    gst_object_ref_sink(m_encoder);
    m_feed = gst_pad_new("feed", GST_PAD_SRC);
    m_collect = gst_pad_new("collect", GST_PAD_SINK);
    gst_object_ref_sink(m_feed); // parentless: we hold the only reference
    gst_object_ref_sink(m_collect);
    gst_pad_set_element_private(m_collect, this);
    gst_pad_set_chain_function(m_collect, &SimulatorJpegStage::Collect);

    GstPad* encoderSink = gst_element_get_static_pad(m_encoder, "sink");
    GstPad* encoderSrc = gst_element_get_static_pad(m_encoder, "src");
    const bool linked = gst_pad_link(m_feed, encoderSink) == GST_PAD_LINK_OK
                        && gst_pad_link(encoderSrc, m_collect) == GST_PAD_LINK_OK;
    gst_object_unref(encoderSink);
    gst_object_unref(encoderSrc);
    if (!linked) {
        Stop();
        return false;
    }
    gst_pad_set_active(m_collect, TRUE);
    gst_pad_set_active(m_feed, TRUE);
    if (gst_element_set_state(m_encoder, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        Stop();
        return false;
    }
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);
    gst_pad_push_event(m_feed, gst_event_new_stream_start("velavtisim-jpeg"));
    gst_pad_push_event(m_feed, gst_event_new_caps(rawCaps));
    gst_pad_push_event(m_feed, gst_event_new_segment(&segment));
    return true;
}

GstBuffer* SimulatorJpegStage::Encode(GstBuffer* raw)
{
    if (m_feed == nullptr) {
        gst_buffer_unref(raw);
        return nullptr;
    }
    // jpegenc encodes and pushes within this call, so the result is here when it returns.
    const GstFlowReturn flow = gst_pad_push(m_feed, raw);
    GstBuffer* encoded = m_encoded;
    m_encoded = nullptr;
    if (flow != GST_FLOW_OK && encoded != nullptr) {
        gst_buffer_unref(encoded);
        encoded = nullptr;
    }
    return encoded;
}

void SimulatorJpegStage::Stop()
{
    if (m_encoder != nullptr) {
        gst_element_set_state(m_encoder, GST_STATE_NULL);
        gst_object_unref(m_encoder);
        m_encoder = nullptr;
    }
    for (GstPad** pad : {&m_feed, &m_collect})
        if (*pad != nullptr) {
            gst_pad_set_active(*pad, FALSE);
            gst_object_unref(*pad);
            *pad = nullptr;
        }
    gst_clear_buffer(&m_encoded);
}

GstFlowReturn SimulatorJpegStage::Collect(GstPad* pad, GstObject*, GstBuffer* buffer)
{
    auto* self = static_cast<SimulatorJpegStage*>(gst_pad_get_element_private(pad));
    gst_clear_buffer(&self->m_encoded);
    self->m_encoded = buffer;
    return GST_FLOW_OK;
}
