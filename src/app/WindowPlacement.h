#pragma once

#include "common/AppState.h"
#include "options/AppOptions.h"

// The main window's place at start-up: frame width + 24 by frame height + 67 when a
// frame size is known, else the stored size, at the stored position. Only when the
// options did not come from the file and the work area is known is it fitted into the
// work area, horizontally then vertically.
WindowPosition4 PlaceMainWindow(std::int32_t frameWidth, std::int32_t frameHeight, const WindowPosition4& stored,
                                bool optionsLoadedFromFile, const WorkAreaRect& workArea);
