#pragma once

#include "common/CalendarTime.h"
#include "filter/FrameGeometry.h"
#include "filter/GlyphFont.h"
#include "filter/VtiOcr.h"

#include <cstdint>

// Draws a VTI time line with our glyph font into the digit cells that the reader reads,
// as a VTI would: what is drawn here is what the OCR reads.

struct VtiDisplayTime {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t firstFieldFraction = 0;  // ten-thousandths of a second, 0..9999
    std::uint16_t secondFieldFraction = 0; // likewise, for the frame's second field
};

// The display of a frame whose first field starts at ticks (UTC); the second field
// follows fieldTicks later.
VtiDisplayTime VtiDisplayTimeAt(FileTimeTicks ticks, FileTimeTicks fieldTicks);

// Cell luma of lit and dark pixels (YUY2); the RGB layouts get white and black.
inline constexpr std::uint8_t kOverlayLitLuma = 235;
inline constexpr std::uint8_t kOverlayDarkLuma = 16;

// Draws the 14 display positions (hours to the second field's fraction) in the phase
// given, each cell a dark box with the lit glyph. frame is top-down with geometry's
// stride; cells or parts of cells outside the frame are left out.
void DrawVtiTime(std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                 const VtiDisplayTime& time, FieldPhase phase);
