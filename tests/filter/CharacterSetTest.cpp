#include "filter/CharacterSet.h"
#include "filter/GlyphFont.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

std::string ValidText()
{
    return FormatCharacterSet(FontCharacterSet(FieldPhase::Even));
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

void WriteText(const QString& path, const std::string& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

} // namespace

// The committed files are what the font writes, and parse back into it.
TEST(CharacterSet, CommittedFilesAreWhatTheFontWritesAndParseBack)
{
    for (const auto& [name, phase] : {std::pair{kEvenCharacterSetFile, FieldPhase::Even}, {kOddCharacterSetFile, FieldPhase::Odd}}) {
        const CharacterSet font = FontCharacterSet(phase);
        const std::string committed = ReadFileBytes(QString(VELA_SOURCE_RESOURCES "/") + name).toStdString();
        EXPECT_EQ(committed, FormatCharacterSet(font)) << name << ": run make-charsets resources";
        const auto parsed = ParseCharacterSet(committed);
        ASSERT_TRUE(parsed.has_value());
        ASSERT_EQ(parsed->size(), 10u);
        for (std::size_t d = 0; d < 10; ++d) {
            const GlyphTemplate& g = (*parsed)[d];
            EXPECT_EQ(std::tuple(g.character, g.digitValue, g.fieldFlag, g.pixels, g.rowMask),
                      std::tuple(font[d].character, static_cast<int>(d), phase == FieldPhase::Even ? 1 : 0, font[d].pixels, font[d].rowMask));
        }
    }
}

TEST(CharacterSet, AcceptsOtherWhitespaceAndExtraGlyphs)
{
    std::string lf = ValidText();
    std::erase(lf, '\r');
    EXPECT_TRUE(ParseCharacterSet(lf).has_value()) << "LF line ends";

    // An eleventh glyph is kept but never read; values may carry a 0x prefix and exceed a byte.
    std::string glyph = "A 1\n0x1ff";
    for (int i = 1; i < 1200; ++i)
        glyph += " 0";
    glyph += "\n";
    const auto extra = ParseCharacterSet(Replace(ValidText(), "10\r\n", "11\r\n") + glyph);
    ASSERT_TRUE(extra.has_value());
    ASSERT_EQ(extra->size(), 11u);
    EXPECT_EQ((*extra)[10].character, u'A');
    EXPECT_EQ((*extra)[10].digitValue, -1);
    EXPECT_EQ((*extra)[10].pixels[0], 0xFF);
}

TEST(CharacterSet, RejectsShortOrMalformedFiles)
{
    const std::string valid = ValidText();
    const std::string lastValue = valid.substr(0, valid.find_last_not_of("\r\n") + 1);
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"no count", "x\r\n"},
        {"fewer than ten glyphs", Replace(valid, "10\r\n", "9\r\n").substr(0, valid.find("9 1\r\n"))},
        {"count above the glyphs present", Replace(valid, "10\r\n", "11\r\n")},
        {"count below the glyphs present", valid + valid.substr(valid.find("9 1\r\n"))},
        {"value not hexadecimal", Replace(valid, "ff", "fg")},
        {"value cut short", lastValue.substr(0, lastValue.size() - 2)},
        {"field flag missing", Replace(valid, "0 1\r\n", "0 \r\n")},
        {"digits out of order", Replace(valid, "\n1 1\r\n", "\n7 1\r\n")},
        {"count of four digits", Replace(valid, "10\r\n", "0010\r\n")},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ParseCharacterSet(c.text).has_value()) << c.what;
}

TEST(CharacterSet, LoadingAppendsOnlySetsThatParse)
{
    ScopedProcessDirectory dir;
    WriteText(dir.FilePath("good.iff"), ValidText());
    WriteText(dir.FilePath("bad.iff"), Replace(ValidText(), "ff", "zz"));
    CharacterSetList list;
    EXPECT_FALSE(LoadCharacterSet(list, "not-there.iff"));
    EXPECT_FALSE(LoadCharacterSet(list, "bad.iff"));
    EXPECT_TRUE(list.sets.empty());
    EXPECT_TRUE(LoadCharacterSet(list, "good.iff"));
    EXPECT_EQ(list.sets.size(), 1u);
    EXPECT_FALSE(list.Complete()) << "a malformed Odd set leaves the reader without its second set";
}
