#include "app/WindowPlacement.h"

namespace {
// Shifts or shrinks one axis into [low, high): a window too large keeps its origin.
void Fit(std::int32_t& origin, std::int32_t& extent, std::int32_t low, std::int32_t high)
{
    if (origin + extent > high) {
        if (extent > high - low)
            extent = high - low;
        else
            origin = high - extent;
    }
}
} // namespace

WindowPosition4 PlaceMainWindow(std::int32_t frameWidth, std::int32_t frameHeight, const WindowPosition4& stored,
                                bool optionsLoadedFromFile, const WorkAreaRect& workArea)
{
    WindowPosition4 r = stored;
    if (frameWidth != 0) {
        r.width = frameWidth + 24;
        r.height = frameHeight + 67;
    }
    if (!optionsLoadedFromFile && workArea.Known()) {
        Fit(r.left, r.width, workArea.left, workArea.right);
        Fit(r.top, r.height, workArea.top, workArea.bottom);
    }
    return r;
}
