#pragma once

#include "options/AppOptions.h"
#include "recording/AppState.h"

#include <optional>

// The main window's place at start-up: frame width + 24 by frame height + 67 when a
// frame size is known, else the stored size, at the stored position. Only when the
// options did not come from the file and the work area is known is it fitted into the
// work area, horizontally then vertically.
WindowPosition4 PlaceMainWindow(std::int32_t frameWidth, std::int32_t frameHeight, const WindowPosition4& stored,
                                bool optionsLoadedFromFile, const WorkAreaRect& workArea);

// Where minimised windows are parked; the Windows design relies on this to leave them out.
inline constexpr std::int32_t kMinimisedLeft = -32000;

// The windows' rectangles for "Set Window Positions"; empty where one cannot be read.
struct WindowRects {
    std::optional<WindowPosition4> main, messages, controls, countdown, brightnessContrast;
};

// Stores the main and controls windows always; the User Messages, countdown and
// Brightness and Contrast windows only when their left edge is greater than -20.
// Unreadable windows keep their stored values.
void StoreWindowPositions(AppOptions& options, const WindowRects& rects);
