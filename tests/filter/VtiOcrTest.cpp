#include "OcrTestSupport.h"

#include "filter/GlyphFont.h"
#include "filter/VtiOcr.h"
#include "filter/VtiOverlay.h"

#include <gtest/gtest.h>
#include <random>

namespace {

const std::string kLostMessage = "Too many consecutive lost frames.  Stopping OCR.\r\n";
const std::string kCannotRead =
    "Cannot read time display.  VELA VTI not connected, wrong frame size used, or dialog check marks incorrect.\r\n";

struct Layouts {
    OcrLayout layout;
    const char* name;
};
const Layouts kLayouts[] = {{{kRowBasePlain, false}, "plain 432"},
                            {{kRowBasePlain, true}, "camera 432"},
                            {{kRowBaseTvSafe, false}, "plain 396"},
                            {{kRowBaseTvSafe, true}, "camera 396"}};
const FieldPhase kPhases[] = {FieldPhase::Even, FieldPhase::Odd};

VtiDisplayTime AllDigits(int d)
{
    const auto two = static_cast<std::uint16_t>(d * 11);
    const auto four = static_cast<std::uint16_t>(d * 1111);
    return {two, two, two, four, four};
}

// Sets every luma byte of a cell's row range to value (x, row relative to the cell).
void PaintCell(TestFrame& f, const DigitCell& cell, int row, int x0, int x1, std::uint8_t value)
{
    for (int x = x0; x <= x1; ++x)
        f.Luma(cell.left + x, cell.top + row) = value;
}

class OcrReader : public ::testing::Test {
protected:
    CharacterSetList sets = FontSets();
    CapturedMessages messages;
};

// A reader past its start-up check, with frame numbers moving on as a measurement's do.
struct RunningReader {
    explicit RunningReader(const CharacterSetList& sets, OcrLayout layout = {})
        : ocr(sets)
    {
        ocr.SetLayout(layout);
        ocr.Reset(CalendarTime{2026, 12, 0, 6, 0, 0, 0, 0});
        for (std::uint32_t i = 0; i < kProbeFrames; ++i)
            ocr.CountFrame();
    }
    bool Read(const TestFrame& f)
    {
        ocr.CountFrame();
        return ocr.ReadVtiTime(f.bytes.data(), f.geometry);
    }
    VtiOcr ocr;
};

} // namespace

TEST_F(OcrReader, EveryDigitAtEveryPositionLayoutAndField)
{
    LumaNoise noise(8.0, 1234);
    for (const Layouts& l : kLayouts)
        for (FieldPhase phase : kPhases)
            for (int d = 0; d <= 9; ++d) {
                TestFrame f(720, 576, 12);
                DrawVtiTime(f.Data(), f.geometry, l.layout, AllDigits(d), phase);
                noise.AddTo(f, l.layout.rowBase, l.layout.rowBase + 32);
                for (int pos = 0; pos < kReadPositions; ++pos) {
                    const GlyphMatch m = FindGlyph(f.Data(), MakeDigitCell(pos, l.layout), f.geometry.stride, 9, sets);
                    ASSERT_NE(m.glyph, nullptr) << l.name << " digit " << d << " position " << pos;
                    EXPECT_EQ(m.glyph->digitValue, d) << l.name << " position " << pos;
                    EXPECT_FALSE(m.ambiguous) << l.name << " digit " << d << " position " << pos;
                    EXPECT_EQ(m.glyph->fieldFlag != 0, phase == FieldPhase::Even) << "read with the other field's set";
                }
            }
}

TEST_F(OcrReader, TenThousandRandomTimesReadWithoutError)
{
    std::mt19937 random(20261206);
    LumaNoise noise(8.0, 99);
    const struct {
        int width, height, padding;
    } sizes[] = {{720, 576, 0}, {640, 480, 0}, {720, 480, 8}, {700, 470, 6}};
    std::vector<TestFrame> frames;
    for (const auto& s : sizes)
        frames.emplace_back(s.width, s.height, s.padding);
    int errors = 0;
    for (int i = 0; i < 10'000; ++i) {
        TestFrame& f = frames[random() % frames.size()];
        const OcrLayout layout = kLayouts[random() % 4].layout;
        const VtiDisplayTime t{static_cast<std::uint16_t>(random() % 24), static_cast<std::uint16_t>(random() % 60),
                               static_cast<std::uint16_t>(random() % 60), static_cast<std::uint16_t>(random() % 10000),
                               static_cast<std::uint16_t>(random() % 10000)};
        DrawVtiTime(f.Data(), f.geometry, layout, t, kPhases[random() % 2]);
        noise.AddTo(f, layout.rowBase, layout.rowBase + 32);
        RunningReader reader(sets, layout);
        const bool read = reader.Read(f);
        const CalendarTime& v = reader.ocr.VtiTime();
        if (!read || v.hour != t.hour || v.minute != t.minute || v.second != t.second
            || v.milliseconds != t.firstFieldFraction / 10)
            ++errors;
    }
    EXPECT_EQ(errors, 0);
}

TEST_F(OcrReader, ReadsTimesAndRefusesImpossibleOnes)
{
    const struct {
        VtiDisplayTime shown;
        bool read;
        CalendarTime expected;
    } cases[] = {
        {{23, 59, 59, 9876, 9999}, true, {2026, 12, 0, 6, 23, 59, 59, 987}},
        {{0, 0, 0, 0, 0}, true, {2026, 12, 0, 6, 0, 0, 0, 0}},
        {{19, 5, 30, 5009, 5209}, true, {2026, 12, 0, 6, 19, 5, 30, 500}},
        {{24, 0, 0, 0, 0}, false, {}},  // hour digits allow 24..29
        {{29, 59, 59, 0, 0}, false, {}},
    };
    for (const auto& c : cases) {
        TestFrame f(720, 576);
        DrawVtiTime(f.Data(), f.geometry, {}, c.shown, FieldPhase::Odd);
        RunningReader reader(sets);
        EXPECT_EQ(reader.Read(f), c.read) << c.shown.hour;
        if (c.read) {
            EXPECT_EQ(reader.ocr.VtiTime(), c.expected);
        } else {
            EXPECT_EQ(reader.ocr.VtiTime().hour, kVtiHourNotRead);
        }
    }
}

TEST_F(OcrReader, UnreadableLaterDigitFailsTheFrameWithoutCountingALostFrame)
{
    // Blank one cell after the first: seconds units, then each fraction digit.
    for (int blank : {5, 6, 7, 8}) {
        RunningReader reader(sets);
        for (int i = 0; i < 15; ++i) {
            TestFrame f(720, 576);
            DrawVtiTime(f.Data(), f.geometry, {}, {12, 34, 56, 7890, 0}, FieldPhase::Even);
            const DigitCell cell = MakeDigitCell(blank, {});
            for (int r = 0; r < 30; ++r)
                PaintCell(f, cell, r, 0, 20, 16);
            EXPECT_FALSE(reader.Read(f)) << blank;
        }
        EXPECT_TRUE(reader.ocr.Enabled()) << "only the first digit counts lost frames";
    }
    EXPECT_EQ(messages.Count(kLostMessage), 0);
}

TEST_F(OcrReader, CharacterChecksRejectLitCheckBytes)
{
    // Digit, set (0 Even, 1 Odd), check row in the cell, checked pixels: the centre of a
    // '0', and what tells a '3', '6' or '9' from an '8'.
    const struct {
        int digit;
        int set;
        int row;
        std::vector<int> pixels;
    } checks[] = {
        {0, 0, 13, {8, 9}},     {0, 0, 14, {8, 9}},     {0, 1, 13, {8, 9}},       {0, 1, 14, {8, 9}},
        {3, 0, 14, {5, 6}},     {3, 1, 15, {5, 6}},     {6, 0, 10, {15, 16, 17}},
        {6, 1, 11, {15, 16, 17}}, {9, 0, 18, {4, 5, 6}}, {9, 1, 19, {4, 5, 6}},
    };
    const DigitCell cell = MakeDigitCell(3, {});
    for (const auto& c : checks) {
        const GlyphTemplate& glyph = sets.sets[static_cast<std::size_t>(c.set)][static_cast<std::size_t>(c.digit)];
        for (int px : c.pixels) {
            TestFrame f(720, 576);
            DrawVtiTime(f.Data(), f.geometry, {}, AllDigits(c.digit), c.set == 0 ? FieldPhase::Even : FieldPhase::Odd);
            ASSERT_TRUE(MatchGlyph(f.Data(), cell, f.geometry.stride, glyph)) << c.digit;
            f.Luma(cell.left + px, cell.top + c.row) = 136; // "dark" means below 136
            EXPECT_FALSE(MatchGlyph(f.Data(), cell, f.geometry.stride, glyph)) << c.digit << " set " << c.set << " px " << px;
            f.Luma(cell.left + px, cell.top + c.row) = 135;
            EXPECT_TRUE(MatchGlyph(f.Data(), cell, f.geometry.stride, glyph));
        }
    }
    // Our '8' lights every check byte of both phases, so none of these digits reads as 8.
    for (FieldPhase phase : kPhases) {
        TestFrame f(720, 576);
        DrawVtiTime(f.Data(), f.geometry, {}, AllDigits(8), phase);
        for (int d : {0, 3, 6, 9})
            EXPECT_FALSE(MatchGlyph(f.Data(), cell, f.geometry.stride, sets.sets[phase == FieldPhase::Even ? 0 : 1][d]))
                << d;
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
        TestFrame f(720, 576);
        for (int r = 0; r < 30; ++r)
            PaintCell(f, cell, r, 0, 20, 16);
        f.Luma(cell.right - 1, cell.top + 15) = value; // the probe row's last pixel
        const GlyphMatch m = FindGlyph(f.Data(), cell, f.geometry.stride, 9, probeSets);
        EXPECT_EQ(m.glyph != nullptr, oddSet) << int{value};
        if (oddSet) {
            EXPECT_EQ(m.glyph, &probeSets.sets[1][0]);
        }
    }
}

TEST_F(OcrReader, LostFirstDigitsStopReadingOnTheTwelfthInARow)
{
    // A dark first cell matches nothing; a fully lit one matches both '1' and '2' (the
    // '0' fails its centre check): ambiguous, read as '1' but counted as lost.
    const auto firstCellFilled = [](std::uint8_t value) {
        TestFrame f(720, 576);
        DrawVtiTime(f.Data(), f.geometry, {}, {12, 0, 0, 0, 0}, FieldPhase::Odd);
        const DigitCell cell = MakeDigitCell(0, {});
        for (int r = 0; r < 30; ++r)
            PaintCell(f, cell, r, 0, 20, value);
        return f;
    };
    TestFrame good(720, 576);
    DrawVtiTime(good.Data(), good.geometry, {}, {12, 0, 0, 0, 0}, FieldPhase::Odd);

    for (const TestFrame& lost : {firstCellFilled(16), firstCellFilled(235)}) {
        CapturedMessages log;
        RunningReader reader(sets);
        for (int i = 0; i < 11; ++i)
            reader.Read(lost);
        EXPECT_TRUE(reader.ocr.Enabled());
        EXPECT_TRUE(reader.Read(good));
        for (int i = 0; i < 11; ++i)
            reader.Read(lost); // the good frame started the count again
        EXPECT_TRUE(reader.ocr.Enabled());
        reader.Read(lost);
        EXPECT_FALSE(reader.ocr.Enabled());
        EXPECT_EQ(log.Count(kLostMessage), 1);
        EXPECT_FALSE(log.Entries().back().second) << "written without a time stamp";
    }
    RunningReader reader(sets);
    const TestFrame ambiguous = firstCellFilled(235);
    EXPECT_TRUE(reader.Read(ambiguous));
    EXPECT_EQ(reader.ocr.VtiTime().hour, 12) << "the lower of the two matches, then the 2";
}

TEST_F(OcrReader, StartupCheckNeedsFiveCleanProbesInThirtyFrames)
{
    TestFrame good(720, 576);
    DrawVtiTime(good.Data(), good.geometry, {}, {21, 0, 0, 0, 0}, FieldPhase::Even);
    TestFrame bad(720, 576);
    const struct {
        const char* pattern; // frame by frame: g good, b bad; the rest bad
        bool passes;
    } cases[] = {
        {"ggggg", true},
        {"bbbbbbbbbbbbbbbbbbbbbbbbbggggg", true}, // frames 26 to 30
        {"ggggbggggbggggbggggbggggbgggg", false},
        {"bbbbbbbbbbbbbbbbbbbbbbbbbbgggg", false},
        {"", false},
    };
    for (const auto& c : cases) {
        CapturedMessages log;
        VtiOcr ocr(sets);
        ocr.Reset({});
        const std::string pattern = c.pattern;
        for (std::uint32_t frame = 1; frame <= kProbeFrames; ++frame) {
            ocr.CountFrame();
            const bool isGood = frame <= pattern.size() && pattern[frame - 1] == 'g';
            const TestFrame& f = isGood ? good : bad;
            ocr.CheckTimeDisplay(f.bytes.data(), f.geometry);
            if (frame < kProbeFrames) {
                EXPECT_TRUE(ocr.Enabled()) << c.pattern << " frame " << frame;
            }
        }
        EXPECT_EQ(ocr.Enabled(), c.passes) << c.pattern;
        EXPECT_EQ(log.Count(kCannotRead), c.passes ? 0 : 1) << c.pattern;
    }
}

TEST_F(OcrReader, FrameTooSmallForTheCellsIsNeverRead)
{
    // 320 x 240 holds no digit cell: the reader must not look outside the frame, and
    // counts the frames it cannot read as lost.
    TestFrame small(320, 240);
    VtiOcr ocr(sets);
    ocr.Reset({});
    for (std::uint32_t frame = 1; frame <= kProbeFrames; ++frame) {
        ocr.CountFrame();
        ocr.CheckTimeDisplay(small.bytes.data(), small.geometry);
    }
    EXPECT_FALSE(ocr.Enabled());
    EXPECT_EQ(messages.Count(kCannotRead), 1);
    RunningReader reader(sets);
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(reader.Read(small));
    EXPECT_FALSE(reader.ocr.Enabled());

    // The last cell read must lie inside the picture and inside the row.
    const OcrLayout camera{kRowBasePlain, true};
    const DigitCell last = MakeDigitCell(kReadPositions - 1, camera);
    FrameGeometry fits = TestFrame(last.right, last.bottom).geometry;
    fits.stride = 2 * last.right;
    EXPECT_TRUE(OcrLayoutFits(camera, fits));
    for (const auto& [width, height, stride] : {std::tuple{last.right - 1, last.bottom, 2 * last.right},
                                                {last.right, last.bottom - 1, 2 * last.right},
                                                {last.right, last.bottom, 2 * last.right - 1}}) {
        FrameGeometry g = fits;
        g.width = width;
        g.height = height;
        g.stride = stride;
        EXPECT_FALSE(OcrLayoutFits(camera, g)) << width << " x " << height << ", stride " << stride;
    }
}

TEST_F(OcrReader, MissingSetRefusesReadingAtEveryBuild)
{
    CharacterSetList evenOnly;
    evenOnly.sets.push_back(sets.sets[0]);
    VtiOcr ocr(evenOnly);
    for (int build = 1; build <= 3; ++build) {
        ocr.Reset({});
        EXPECT_FALSE(ocr.Enabled());
        EXPECT_EQ(messages.Count("As reported at application startup, character recognition sets are missing.  "
                                 "You cannot do OCR.\r\n"),
                  build);
        EXPECT_TRUE(messages.Entries().back().second);
    }
}

TEST(VtiOverlay, DrawsEveryLayoutInsideItsCellsOnly)
{
    // RGB layouts get the same cells; nothing outside them changes, also at odd sizes.
    for (FrameSubtype subtype : {FrameSubtype::YUY2, FrameSubtype::RGB24, FrameSubtype::ARGB32}) {
        TestFrame f(385, 449, 3, subtype);
        const std::vector<std::uint8_t> before = f.bytes;
        DrawVtiTime(f.Data(), f.geometry, {kRowBaseTvSafe, false}, AllDigits(8), FieldPhase::Even);
        const int bpp = BitsPerPixel(subtype) / 8;
        int lit = 0;
        for (int y = 0; y < f.geometry.height; ++y)
            for (int b = 0; b < f.geometry.stride; ++b) {
                const std::size_t i = static_cast<std::size_t>(y * f.geometry.stride + b);
                const int x = b / bpp;
                bool inCell = false;
                for (int pos = 0; pos < kDisplayPositions; ++pos) {
                    const DigitCell c = MakeDigitCell(pos, {kRowBaseTvSafe, false});
                    inCell |= y >= c.top && y < c.top + 30 && x >= c.left && x < c.right && b < f.geometry.width * bpp;
                }
                if (!inCell) {
                    ASSERT_EQ(f.bytes[i], before[i]) << "row " << y << " byte " << b;
                }
                lit += inCell && f.bytes[i] >= kOverlayLitLuma;
            }
        EXPECT_GT(lit, 0);
    }
}
