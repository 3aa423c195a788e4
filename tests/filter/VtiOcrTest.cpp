#include "FilterTestSupport.h"

#include "filter/GlyphFont.h"
#include "filter/VtiOcr.h"
#include "filter/VtiOverlay.h"

#include <gtest/gtest.h>

namespace {

const std::string kLostMessage = "Too many consecutive lost frames.  Stopping OCR.\r\n";
const std::string kCannotRead =
    "Cannot read time display.  VELA VTI not connected, wrong frame size used, or dialog check marks incorrect.\r\n";
const OcrLayout kLayouts[] = {{kRowBasePlain, false}, {kRowBasePlain, true}, {kRowBaseTvSafe, false}, {kRowBaseTvSafe, true}};

VtiDisplayTime AllDigits(int d)
{
    const auto two = static_cast<std::uint16_t>(d * 11);
    const auto four = static_cast<std::uint16_t>(d * 1111);
    return {two, two, two, four, four};
}

TestFrame Showing(const VtiDisplayTime& t, FieldPhase phase = FieldPhase::Odd, const OcrLayout& layout = {})
{
    TestFrame f = TestFrame::Grey(720, 576, 12);
    DrawVtiTime(f.Data(), f.geometry, layout, t, phase);
    return f;
}

// Sets every luma byte of a cell to value.
void PaintCell(TestFrame& f, const DigitCell& cell, std::uint8_t value)
{
    for (int row = 0; row < 30; ++row)
        for (int x = 0; x <= 20; ++x)
            f.Luma(cell.left + x, cell.top + row) = value;
}

class OcrReader : public ::testing::Test {
protected:
    // A reader past its start-up check, its frame numbers moving on as a measurement's do.
    VtiOcr& Running(const OcrLayout& layout = {}, CapturedMessages* log = nullptr)
    {
        m_reader = std::make_unique<VtiOcr>(sets, log ? *log : messages);
        m_reader->SetLayout(layout);
        m_reader->Reset(CalendarTime{2026, 12, 0, 6, 0, 0, 0, 0});
        for (std::uint32_t i = 0; i < kProbeFrames; ++i)
            m_reader->CountFrame();
        return *m_reader;
    }
    static bool Read(VtiOcr& ocr, TestFrame& f)
    {
        ocr.CountFrame();
        return ocr.ReadVtiTime(f.Data(), f.geometry);
    }

    CharacterSetList sets = FontSets();
    CapturedMessages messages;
    std::unique_ptr<VtiOcr> m_reader;
};

} // namespace

TEST_F(OcrReader, EveryDigitAtEveryPositionLayoutAndField)
{
    for (const OcrLayout& layout : kLayouts)
        for (FieldPhase phase : {FieldPhase::Even, FieldPhase::Odd})
            for (int d = 0; d <= 9; ++d) {
                TestFrame f = Showing(AllDigits(d), phase, layout);
                for (int pos = 0; pos < kReadPositions; ++pos) {
                    SCOPED_TRACE(testing::Message() << layout.rowBase << layout.cameraAttached << " digit " << d << " at " << pos);
                    const GlyphMatch m = FindGlyph(f.Data(), MakeDigitCell(pos, layout), f.geometry.stride, 9, sets);
                    ASSERT_NE(m.glyph, nullptr);
                    EXPECT_EQ(m.glyph->digitValue, d);
                    EXPECT_FALSE(m.ambiguous);
                    EXPECT_EQ(m.glyph->fieldFlag != 0, phase == FieldPhase::Even) << "read with the other field's set";
                }
            }
}

TEST_F(OcrReader, ReadsTimesAndRefusesImpossibleOrUnreadableOnes)
{
    // The hour digits allow 24 to 29; no time of day has them. A dark seconds units or
    // fraction digit (cells 5 to 8) fails the frame, but only the first digit counts lost frames.
    const CalendarTime refused{2026, 12, 0, 6, kVtiHourNotRead, 0, 0, 0};
    const std::tuple<VtiDisplayTime, int, CalendarTime> cases[] = {
        {{23, 59, 59, 9876, 9999}, -1, {2026, 12, 0, 6, 23, 59, 59, 987}}, {{0, 0, 0, 0, 0}, -1, {2026, 12, 0, 6, 0, 0, 0, 0}},
        {{19, 5, 30, 5009, 5209}, -1, {2026, 12, 0, 6, 19, 5, 30, 500}}, {{24, 0, 0, 0, 0}, -1, refused},
        {{29, 59, 59, 0, 0}, -1, refused}, {{12, 34, 56, 7890, 0}, 5, refused}, {{12, 34, 56, 7890, 0}, 6, refused},
        {{12, 34, 56, 7890, 0}, 7, refused}, {{12, 34, 56, 7890, 0}, 8, refused}};
    for (const auto& [shown, blankCell, read] : cases)
        for (FieldPhase phase : {FieldPhase::Even, FieldPhase::Odd}) {
            TestFrame f = Showing(shown, phase);
            if (blankCell >= 0)
                PaintCell(f, MakeDigitCell(blankCell, {}), 16);
            VtiOcr& reader = Running();
            for (int i = 0; i < 15; ++i) // more than the lost frames tolerated
                EXPECT_EQ(Read(reader, f), read.hour != kVtiHourNotRead) << shown.hour << " blank " << blankCell;
            EXPECT_EQ(std::pair(reader.VtiTime(), reader.Enabled()), std::pair(read, true));
        }
    EXPECT_EQ(messages.Count(kLostMessage), 0);
}

TEST_F(OcrReader, CharacterChecksRejectLitCheckBytes)
{
    // Digit, set (0 Even, 1 Odd), check row in the cell, checked pixels: the centre of a
    // '0', and what tells a '3', '6' or '9' from an '8'.
    const struct {
        int digit, set, row;
        std::vector<int> pixels;
    } checks[] = {
        {0, 0, 13, {8, 9}},      {0, 0, 14, {8, 9}},      {0, 1, 13, {8, 9}}, {0, 1, 14, {8, 9}},
        {3, 0, 14, {5, 6}},      {3, 1, 15, {5, 6}},      {6, 0, 10, {15, 16, 17}},
        {6, 1, 11, {15, 16, 17}}, {9, 0, 18, {4, 5, 6}}, {9, 1, 19, {4, 5, 6}},
    };
    const DigitCell cell = MakeDigitCell(3, {});
    for (const auto& c : checks) {
        const GlyphTemplate& glyph = sets.sets[static_cast<std::size_t>(c.set)][static_cast<std::size_t>(c.digit)];
        for (int px : c.pixels) {
            TestFrame f = Showing(AllDigits(c.digit), c.set == 0 ? FieldPhase::Even : FieldPhase::Odd);
            ASSERT_TRUE(MatchGlyph(f.Data(), cell, f.geometry.stride, glyph)) << c.digit;
            f.Luma(cell.left + px, cell.top + c.row) = 136; // "dark" means below 136
            EXPECT_FALSE(MatchGlyph(f.Data(), cell, f.geometry.stride, glyph)) << c.digit << " set " << c.set << " px " << px;
            f.Luma(cell.left + px, cell.top + c.row) = 135;
            EXPECT_TRUE(MatchGlyph(f.Data(), cell, f.geometry.stride, glyph));
        }
    }
}

TEST_F(OcrReader, ProbeRowChoosesTheSet)
{
    // An Odd set whose glyphs test nothing matches any cell; the Even set matches no dark one.
    CharacterSetList probeSets = sets;
    for (GlyphTemplate& g : probeSets.sets[1]) {
        g.pixels.fill(0);
        g.Derive();
    }
    const DigitCell cell = MakeDigitCell(0, {});
    for (const auto& [value, oddSet] : {std::pair{std::uint8_t{16}, true}, {std::uint8_t{136}, true}, {std::uint8_t{137}, false}}) {
        TestFrame f = TestFrame::Grey(720, 576);
        PaintCell(f, cell, 16);
        f.Luma(cell.right - 1, cell.top + 15) = value; // the probe row's last pixel
        const GlyphMatch m = FindGlyph(f.Data(), cell, f.geometry.stride, 9, probeSets);
        EXPECT_EQ(m.glyph, oddSet ? &probeSets.sets[1][0] : nullptr) << int{value};
    }
}

TEST_F(OcrReader, LostFirstDigitsStopReadingOnTheTwelfthInARow)
{
    // A dark first cell matches nothing; a fully lit one matches both '1' and '2' (the
    // '0' fails its centre check): ambiguous, read as '1' but counted as lost.
    // A frame too small for the cells counts as lost and is never read outside the frame.
    TestFrame good = Showing({12, 0, 0, 0, 0});
    for (const std::uint8_t fill : {std::uint8_t{16}, std::uint8_t{235}, std::uint8_t{0}}) {
        TestFrame lost = fill ? good : TestFrame::Grey(320, 240);
        if (fill)
            PaintCell(lost, MakeDigitCell(0, {}), fill);
        CapturedMessages log;
        VtiOcr& reader = Running({}, &log);
        for (int i = 0; i < 11; ++i)
            Read(reader, lost);
        EXPECT_TRUE(reader.Enabled());
        EXPECT_TRUE(Read(reader, good));
        for (int i = 0; i < 11; ++i)
            Read(reader, lost); // the good frame started the count again
        EXPECT_TRUE(reader.Enabled());
        Read(reader, lost);
        EXPECT_FALSE(reader.Enabled());
        EXPECT_EQ(std::tuple(log.Count(kLostMessage), log.entries.back().timeStamp), std::tuple(1, false));
        if (fill == 235) {
            EXPECT_TRUE(Read(Running(), lost));
            EXPECT_EQ(m_reader->VtiTime().hour, 12) << "the lower of the two matches, then the 2";
        }
    }
}

TEST_F(OcrReader, StartupCheckNeedsFiveCleanProbesInThirtyFrames)
{
    TestFrame good = Showing({21, 0, 0, 0, 0}, FieldPhase::Even);
    TestFrame bad = TestFrame::Grey(720, 576);
    TestFrame small = TestFrame::Grey(320, 240); // holds no digit cell: never looked at
    // Frame by frame: g good, s small, else bad; whether the check passes.
    const std::pair<std::string, bool> cases[] = {
        {"ggggg", true},
        {"bbbbbbbbbbbbbbbbbbbbbbbbbggggg", true}, // frames 26 to 30
        {"ggggbggggbggggbggggbggggbgggg", false},
        {"bbbbbbbbbbbbbbbbbbbbbbbbbbgggg", false},
        {"", false},
        {std::string(30, 's'), false},
    };
    for (const auto& [pattern, passes] : cases) {
        CapturedMessages log;
        VtiOcr ocr(sets, log);
        ocr.Reset({});
        for (std::uint32_t frame = 1; frame <= kProbeFrames; ++frame) {
            ocr.CountFrame();
            const char kind = frame <= pattern.size() ? pattern[frame - 1] : 'b';
            TestFrame& f = kind == 'g' ? good : kind == 's' ? small : bad;
            ocr.CheckTimeDisplay(f.Data(), f.geometry);
            if (frame < kProbeFrames) {
                EXPECT_TRUE(ocr.Enabled()) << pattern << " frame " << frame;
            }
        }
        EXPECT_EQ(ocr.Enabled(), passes) << pattern;
        EXPECT_EQ(log.Count(kCannotRead), passes ? 0 : 1) << pattern;
    }
}

TEST(OcrLayoutFits, TheLastCellLiesInsideThePictureAndTheRow)
{
    const OcrLayout camera{kRowBasePlain, true};
    const DigitCell last = MakeDigitCell(kReadPositions - 1, camera);
    for (const auto& [width, height, stride, fits] :
         {std::tuple{last.right, last.bottom, 2 * last.right, true}, {last.right - 1, last.bottom, 2 * last.right, false},
          {last.right, last.bottom - 1, 2 * last.right, false}, {last.right, last.bottom, 2 * last.right - 1, false}})
        EXPECT_EQ(OcrLayoutFits(camera, MakeFrameGeometry(FrameSubtype::YUY2, width, height, stride)), fits)
            << width << " x " << height << ", stride " << stride;
}
