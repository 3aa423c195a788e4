#include "filter/VtiOcr.h"

#include "filter/AnalysisMessages.h"

#include <bit>
#include <cstddef>

const std::array<int, kDigitPositions> kDigitColumnsCameraAttached = {
    124, 168, 256, 300, 386, 430, 518, 562, 606, 650, 738, 782, 826, 870, 958, 1002, 1046, 1090, 1134, 1178, 1222};
const std::array<int, kDigitPositions> kDigitColumnsPlain = {
    112, 156, 244, 288, 374, 418, 506, 550, 594, 638, 726, 770, 814, 858, 946, 990, 1034, 1078, 1122, 1166, 1210};
const std::array<int, kReadPositions> kHighestDigit = {2, 9, 5, 9, 5, 9, 9, 9, 9};

namespace {

constexpr int kProbeRow = 15;

bool Dark(const std::uint8_t* p)
{
    return *p < kLitThreshold;
}

// The character checks that tell a digit from '8': bytes that must be dark at the match.
bool PassesCharacterCheck(const std::uint8_t* at, std::ptrdiff_t stride, const GlyphTemplate& glyph)
{
    const bool evenRows = glyph.fieldFlag != 0;
    switch (glyph.character) {
    case u'0':
        return Dark(at + 13 * stride + 16) && Dark(at + 13 * stride + 18) && Dark(at + 14 * stride + 16)
            && Dark(at + 14 * stride + 18);
    case u'3': {
        const std::uint8_t* row = at + (evenRows ? 14 : 15) * stride;
        return Dark(row + 10) && Dark(row + 12);
    }
    case u'6': {
        const std::uint8_t* row = at + (evenRows ? 10 : 11) * stride;
        return Dark(row + 30) && Dark(row + 32) && Dark(row + 34);
    }
    case u'9': {
        const std::uint8_t* row = at + (evenRows ? 18 : 19) * stride;
        return Dark(row + 8) && Dark(row + 10) && Dark(row + 12);
    }
    default:
        return true;
    }
}

bool TemplateFits(const std::uint8_t* at, std::ptrdiff_t stride, const GlyphTemplate& glyph)
{
    for (int r = glyph.fieldFlag == 0 ? 1 : 0; r < kTemplateRows; r += 2) {
        const std::uint8_t* row = at + r * stride;
        for (std::uint32_t mask = glyph.rowMask[static_cast<std::size_t>(r)]; mask != 0; mask &= mask - 1)
            if (Dark(row + 2 * std::countr_zero(mask)))
                return false;
    }
    return true;
}

} // namespace

DigitCell MakeDigitCell(int position, const OcrLayout& layout)
{
    const auto& columns = layout.cameraAttached ? kDigitColumnsCameraAttached : kDigitColumnsPlain;
    DigitCell cell;
    cell.left = columns[static_cast<std::size_t>(position)] / 2;
    cell.top = layout.rowBase + 1;
    cell.bottom = layout.rowBase + 31;
    cell.right = cell.left + 21;
    return cell;
}

bool OcrLayoutFits(const OcrLayout& layout, const FrameGeometry& geometry)
{
    const DigitCell last = MakeDigitCell(kReadPositions - 1, layout);
    return layout.rowBase >= 0 && geometry.height >= last.bottom && geometry.width >= last.right
        && geometry.stride >= 2 * last.right;
}

bool MatchGlyph(const std::uint8_t* frame, const DigitCell& cell, std::int32_t stride, const GlyphTemplate& glyph)
{
    const std::ptrdiff_t s = stride;
    for (int x = cell.left; x <= cell.right - 20; ++x) {
        const std::uint8_t* at = frame + cell.top * s + 2 * x;
        if (TemplateFits(at, s, glyph))
            return PassesCharacterCheck(at, s, glyph);
    }
    return false;
}

GlyphMatch FindGlyph(const std::uint8_t* frame, const DigitCell& cell, std::int32_t stride, int highestDigit,
                     const CharacterSetList& sets)
{
    const std::uint8_t* probe = frame + static_cast<std::ptrdiff_t>(cell.top + kProbeRow) * stride + 2 * cell.left;
    bool lit = false;
    for (int b = 0; b < 2 * (cell.right - cell.left) && !lit; b += 2)
        lit = probe[b] > kLitThreshold;
    const CharacterSet& set = sets.sets[lit ? 0 : 1];

    GlyphMatch result;
    int matches = 0;
    for (int i = 0; i <= highestDigit && i < static_cast<int>(set.size()); ++i) {
        const GlyphTemplate& glyph = set[static_cast<std::size_t>(i)];
        if (!MatchGlyph(frame, cell, stride, glyph))
            continue;
        if (matches++ == 0)
            result.glyph = &glyph;
    }
    result.ambiguous = matches > 1;
    return result;
}

void VtiOcr::Reset(const CalendarTime& start)
{
    m_frameCount = 0;
    m_goodProbeCount = 0;
    m_lastLostFrame = 0;
    m_consecutiveLost = 0;
    m_vtiTime = start;
    m_vtiTime.dayOfWeek = 0;
    m_enabled = m_sets->Complete();
    if (!m_enabled)
        m_messages->Report(
            "As reported at application startup, character recognition sets are missing.  You cannot do OCR.\r\n", true);
}

void VtiOcr::ProbeTimeDisplay(const std::uint8_t* frame, const FrameGeometry& geometry)
{
    if (!m_enabled)
        return;
    GlyphMatch m;
    if (OcrLayoutFits(m_layout, geometry))
        m = FindGlyph(frame, MakeDigitCell(0, m_layout), geometry.stride, kHighestDigit[0], *m_sets);
    m_goodProbeCount = m.glyph && !m.ambiguous ? m_goodProbeCount + 1 : 0;
}

void VtiOcr::CheckTimeDisplay(const std::uint8_t* frame, const FrameGeometry& geometry)
{
    if (m_goodProbeCount < kGoodProbesNeeded)
        ProbeTimeDisplay(frame, geometry);
    if (m_frameCount == kProbeFrames && m_goodProbeCount < kGoodProbesNeeded) {
        m_messages->Report("Cannot read time display.  VELA VTI not connected, wrong frame size used, or dialog "
                           "check marks incorrect.\r\n",
                           true);
        m_enabled = false;
    }
}

VtiLineReading ReadVtiLine(const std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                           const CharacterSetList& sets)
{
    VtiLineReading r;
    if (!sets.Complete() || !OcrLayoutFits(layout, geometry)) {
        r.firstDigitLost = true;
        return r;
    }
    int digits[kReadPositions];
    for (int pos = 0; pos < kReadPositions; ++pos) {
        const GlyphMatch m = FindGlyph(frame, MakeDigitCell(pos, layout), geometry.stride,
                                       kHighestDigit[static_cast<std::size_t>(pos)], sets);
        if (pos == 0)
            r.firstDigitLost = !m.glyph || m.ambiguous;
        // Any digit that matches nothing leaves the frame unread, fraction digits included:
        // their milliseconds would be meaningless.
        if (!m.glyph)
            return r;
        digits[pos] = m.glyph->digitValue;
    }
    const int hour = digits[0] * 10 + digits[1];
    const int minute = digits[2] * 10 + digits[3];
    const int second = digits[4] * 10 + digits[5];
    // The digit limits still let hours 24 to 29 through; no time of day has them.
    if (hour >= 24 || minute >= 60 || second >= 60)
        return r;
    r.read = true;
    r.hour = static_cast<std::uint16_t>(hour);
    r.minute = static_cast<std::uint16_t>(minute);
    r.second = static_cast<std::uint16_t>(second);
    r.milliseconds = static_cast<std::uint16_t>(digits[6] * 100 + digits[7] * 10 + digits[8]);
    return r;
}

int ReadDisplayDigits(const std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                      const CharacterSetList& sets, int first, int count)
{
    constexpr int kAnyDigit = 9;
    if (first < 0 || count < 1 || first + count > kDisplayPositions)
        return -1;
    const DigitCell last = MakeDigitCell(first + count - 1, layout);
    if (!sets.Complete() || !OcrLayoutFits(layout, geometry) || geometry.width < last.right
        || geometry.stride < 2 * last.right)
        return -1;
    int value = 0;
    for (int pos = first; pos < first + count; ++pos) {
        const GlyphMatch m = FindGlyph(frame, MakeDigitCell(pos, layout), geometry.stride, kAnyDigit, sets);
        if (!m.glyph)
            return -1;
        value = value * 10 + m.glyph->digitValue;
    }
    return value;
}

bool VtiOcr::ReadVtiTime(const std::uint8_t* frame, const FrameGeometry& geometry)
{
    m_vtiTime.hour = kVtiHourNotRead;
    if (!m_enabled)
        return false;
    const VtiLineReading r = ReadVtiLine(frame, geometry, m_layout, *m_sets);
    if (r.firstDigitLost)
        CountLostFrame();
    if (!r.read)
        return false;
    m_vtiTime.hour = r.hour;
    m_vtiTime.minute = r.minute;
    m_vtiTime.second = r.second;
    m_vtiTime.milliseconds = r.milliseconds;
    return true;
}

void VtiOcr::CountLostFrame()
{
    if (m_frameCount - m_lastLostFrame == 1) {
        if (++m_consecutiveLost > kLostFramesTolerated) {
            m_enabled = false;
            m_messages->Report("Too many consecutive lost frames.  Stopping OCR.\r\n", false);
            return;
        }
    } else {
        m_consecutiveLost = 0;
    }
    m_lastLostFrame = m_frameCount;
}
