#pragma once

#include "filter/FrameGeometry.h"

#include <cstdint>

// Paints every unit at or over the threshold in the marker colour: YUY2 pairs where
// either luma reaches it, RGB24 pixels where any channel does, ARGB32 pixels whose
// B + G + R reaches three times it. Copies and marks in one pass: each row of src lands
// in dst (stride bytes, padding included) and is marked while it is still in the cache.
// dst may be src.
using MarkKernel = void (*)(std::uint8_t* dst, const std::uint8_t* src, const FrameGeometry& g,
                            std::uint8_t threshold);

// Chosen once per geometry; null for a layout that cannot be marked.
MarkKernel MarkKernelFor(FrameSubtype subtype);

