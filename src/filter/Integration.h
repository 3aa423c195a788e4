#pragma once

#include "filter/ByteRuns.h"
#include "filter/DarkLevels.h"
#include "filter/FrameGeometry.h"

#include <cstddef>
#include <cstdint>

// Copy: a frame to the output. StartAnew: the first frame of a group into the
// integration buffer, as it is. Add: a following frame's samples above the dark level,
// added to the buffer with saturation at 255.
enum class CopyForm { Copy, StartAnew, Add };

// The dark level each byte of a run is added above. Chroma and alpha get 255, which no
// sample exceeds, so they are never added. Built once per dark-level measurement.
struct AddLevels {
    ByteRun level{};
};
AddLevels MakeAddLevels(FrameSubtype subtype, const DarkLevels& levels);

// Copy and StartAnew take len bytes; Add visits height rows of stride bytes, which both
// buffers must hold, and leaves the padding after each row's picture alone.
void CopyOrIntegrate(std::uint8_t* dst, const std::uint8_t* src, std::size_t len, CopyForm form,
                     const FrameGeometry& g, const AddLevels& levels);
