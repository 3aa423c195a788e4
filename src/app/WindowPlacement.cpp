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

namespace {
constexpr std::int32_t kOffScreenLeft = -20;

bool OnScreen(const std::optional<WindowPosition4>& r)
{
    return r && r->left > kOffScreenLeft;
}

void StoreCorner(WindowPosition2& stored, const WindowPosition4& r)
{
    stored = {r.left, r.top};
}
} // namespace

void StoreWindowPositions(AppOptions& o, const WindowRects& r)
{
    if (r.main)
        o.MainWindowPosition = *r.main;
    if (OnScreen(r.messages))
        o.MessageWindowPosition = *r.messages;
    if (r.controls)
        StoreCorner(o.ControlsWindowPosition, *r.controls);
    if (OnScreen(r.countdown))
        StoreCorner(o.CountdownWindowPosition, *r.countdown);
    if (OnScreen(r.brightnessContrast))
        StoreCorner(o.BrightnessContrastWindowPosition, *r.brightnessContrast);
}
