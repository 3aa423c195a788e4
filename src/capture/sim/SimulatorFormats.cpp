#include "capture/sim/SimulatorFormats.h"

GstCaps* SimulatorCaps()
{
    GstCaps* caps = gst_caps_new_empty();
    for (const SimulatorFormat& f : kSimulatorFormats) {
        GstStructure* s = gst_structure_new(f.mediaType, "width", G_TYPE_INT, f.width, "height", G_TYPE_INT, f.height,
                                            "framerate", GST_TYPE_FRACTION, f.fpsNumerator, f.fpsDenominator,
                                            "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
        if (f.format != nullptr)
            gst_structure_set(s, "format", G_TYPE_STRING, f.format, nullptr);
        // Appended, not merged: each format stays its own entry, as a camera lists it.
        gst_caps_append_structure(caps, s);
    }
    return caps;
}
