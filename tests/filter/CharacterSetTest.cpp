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

} // namespace

TEST(CharacterSet, CommittedFilesAreWhatTheFontWritesAndParseBack)
{
    for (const auto& [name, phase] : {std::pair{kEvenCharacterSetFile, FieldPhase::Even}, {kOddCharacterSetFile, FieldPhase::Odd}}) {
        const CharacterSet font = FontCharacterSet(phase);
        const std::string committed = ReadFileBytes(QString(VELA_SOURCE_RESOURCES "/") + name).toStdString();
        EXPECT_EQ(committed, FormatCharacterSet(font)) << name << ": run make-charsets resources";
        const auto parsed = ParseCharacterSet(committed);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(FormatCharacterSet(*parsed), committed);
        for (std::size_t d = 0; d < 10; ++d)
            EXPECT_EQ(std::tuple((*parsed)[d].digitValue, (*parsed)[d].rowMask), std::tuple(static_cast<int>(d), font[d].rowMask));
    }
}

TEST(CharacterSet, RejectsShortOrMalformedFiles)
{
    const std::string valid = ValidText();
    const std::string lastValue = valid.substr(0, valid.find_last_not_of("\r\n") + 1);
    const std::pair<const char*, std::string> cases[] = {
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
    for (const auto& [what, text] : cases)
        EXPECT_FALSE(ParseCharacterSet(text).has_value()) << what;
}

TEST(CharacterSet, LoadingAppendsOnlySetsThatParse)
{
    ScopedProcessDirectory dir;
    std::string lf = ValidText(); // LF line ends are fine too
    std::erase(lf, '\r');
    for (const auto& [name, text] : {std::pair{"good.iff", lf}, {"bad.iff", Replace(ValidText(), "ff", "zz")}}) {
        QFile f(dir.FilePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    CharacterSetList list;
    EXPECT_FALSE(LoadCharacterSet(list, "not-there.iff"));
    EXPECT_FALSE(LoadCharacterSet(list, "bad.iff"));
    EXPECT_TRUE(list.sets.empty());
    EXPECT_TRUE(LoadCharacterSet(list, "good.iff"));
    EXPECT_EQ(list.sets.size(), 1u);
    EXPECT_FALSE(list.Complete()) << "a malformed Odd set leaves the reader without its second set";
}
