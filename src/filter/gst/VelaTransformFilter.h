#pragma once

#include <gst/gst.h>

class FramePipeline;

// "VELA Transform Filter Video": the in-process video filter that runs the frame
// analysis on the preview branch. It takes YUY2, UYVY, BGR (RGB24) and BGRA (ARGB32); its
// output has its input's format. Frames it drops (integration, a finished clock-drift
// measurement) leave the stream running.
inline constexpr const char* kTransformElementName = "velatransform";
inline constexpr const char* kTransformFilterName = "VELA Transform Filter Video";

GType VelaTransformFilterGetType();

// The frame analysis the element runs: set by the graph that creates it, before the
// element starts; it must outlive the element's run. Without one the element refuses
// its caps.
void VelaTransformFilterSetPipeline(GstElement* element, FramePipeline* pipeline);
