#include "filter/VtiOverlay.h"

#include <algorithm>
#include <cstddef>

namespace {

void DisplayDigits(const VtiDisplayTime& t, int (&digits)[kDisplayPositions])
{
    const int values[] = {t.hour, t.minute, t.second};
    for (int i = 0; i < 3; ++i) {
        digits[2 * i] = values[i] / 10 % 10;
        digits[2 * i + 1] = values[i] % 10;
    }
    const int fractions[] = {t.firstFieldFraction, t.secondFieldFraction};
    for (int f = 0; f < 2; ++f)
        for (int i = 0, div = 1000; i < 4; ++i, div /= 10)
            digits[6 + 4 * f + i] = fractions[f] / div % 10;
}

void PutPixel(std::uint8_t* row, int x, FrameSubtype subtype, bool lit)
{
    switch (subtype) {
    case FrameSubtype::YUY2:
    case FrameSubtype::UYVY:
        row[2 * x + LumaByte(subtype)] = lit ? kOverlayLitLuma : kOverlayDarkLuma;
        row[2 * x + 1 - LumaByte(subtype)] = 128; // the chroma byte of this pixel: neutral grey
        break;
    case FrameSubtype::RGB24:
        std::fill_n(row + 3 * x, 3, lit ? 255 : 0);
        break;
    case FrameSubtype::ARGB32:
        std::fill_n(row + 4 * x, 3, lit ? 255 : 0);
        row[4 * x + 3] = 255;
        break;
    case FrameSubtype::None:
        break;
    }
}

} // namespace

VtiDisplayTime VtiDisplayTimeAt(FileTimeTicks ticks, FileTimeTicks fieldTicks)
{
    constexpr FileTimeTicks kTicksPerFractionUnit = kTicksPerSecond / 10'000;
    const CalendarTime t = TicksToCalendar(ticks);
    VtiDisplayTime d;
    d.hour = t.hour;
    d.minute = t.minute;
    d.second = t.second;
    d.firstFieldFraction = static_cast<std::uint16_t>(ticks % kTicksPerSecond / kTicksPerFractionUnit);
    d.secondFieldFraction = static_cast<std::uint16_t>((ticks + fieldTicks) % kTicksPerSecond / kTicksPerFractionUnit);
    return d;
}

void DrawVtiTime(std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                 const VtiDisplayTime& time, FieldPhase phase)
{
    const int bytesPerPixel = BitsPerPixel(geometry.subtype) / 8;
    if (bytesPerPixel == 0)
        return;
    const int pixelsPerRow = std::min(geometry.width, geometry.stride / bytesPerPixel);
    int digits[kDisplayPositions];
    DisplayDigits(time, digits);
    for (int pos = 0; pos < kDisplayPositions; ++pos) {
        const DigitCell cell = MakeDigitCell(pos, layout);
        const int right = std::min(cell.right, pixelsPerRow);
        for (int r = 0; r < kGlyphRows; ++r) {
            const int y = cell.top + r;
            if (y < 0 || y >= geometry.height)
                continue;
            std::uint8_t* row = frame + static_cast<std::ptrdiff_t>(y) * geometry.stride;
            const std::uint32_t mask = GlyphRowMask(digits[pos], phase, r);
            for (int x = cell.left; x < right; ++x)
                PutPixel(row, x, geometry.subtype, (mask >> (x - cell.left)) & 1u);
        }
    }
}
