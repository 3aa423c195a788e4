#pragma once

#include <glib-object.h>

// "VELA Transform Filter Video": the in-process video filter that runs the frame
// analysis on the preview branch. It takes YUY2, BGR (RGB24) and BGRA (ARGB32); its
// output has its input's format. Frames it drops (integration, a finished clock-drift
// measurement) leave the stream running.
inline constexpr const char* kTransformElementName = "velatransform";
inline constexpr const char* kTransformFilterName = "VELA Transform Filter Video";

GType VelaTransformFilterGetType();
