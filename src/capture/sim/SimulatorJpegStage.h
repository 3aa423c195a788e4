#pragma once

#include <gst/gst.h>

// The simulator's MJPG path: raw frames pass through a private jpegenc by direct pad
// pushes on the streaming thread, so the camera stays one element that offers all its
// formats.
class SimulatorJpegStage {
public:
    SimulatorJpegStage() = default;
    ~SimulatorJpegStage();
    SimulatorJpegStage(const SimulatorJpegStage&) = delete;
    SimulatorJpegStage& operator=(const SimulatorJpegStage&) = delete;

    // rawCaps: the raw frames that Encode will be given. False when no encoder exists.
    bool Start(GstCaps* rawCaps);
    // Takes raw; gives the encoded frame, or nullptr when encoding failed.
    GstBuffer* Encode(GstBuffer* raw);
    void Stop();

private:
    static GstFlowReturn Collect(GstPad* pad, GstObject* parent, GstBuffer* buffer);

    GstElement* m_encoder = nullptr;
    GstPad* m_feed = nullptr;
    GstPad* m_collect = nullptr;
    GstBuffer* m_encoded = nullptr;
};
