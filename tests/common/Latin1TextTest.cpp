#include "common/Latin1Text.h"

#include <gtest/gtest.h>

TEST(Latin1Text, EncodesEachUnitToOneByteAndSubstitutesTheRest)
{
    bool substituted = true;
    EXPECT_EQ(EncodeLatin1(u"Caf\u00e9 \u00ff", &substituted), std::string("Caf\xe9 \xff"));
    EXPECT_FALSE(substituted);

    // Cyrillic letters and an emoji (a surrogate pair) each become one '?'.
    EXPECT_EQ(EncodeLatin1(u"a\u0416b\U0001F600c", &substituted), "a?b?c");
    EXPECT_TRUE(substituted);
}

TEST(Latin1Text, EveryLineEndBecomesOneCrLf)
{
    EXPECT_EQ(NormaliseCrLf(std::string_view("a\r\nb\nc\rd\r\n\r\n")), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(NormaliseCrLf(std::string_view("\n\r")), "\r\n\r\n");
    EXPECT_EQ(NormaliseCrLf(std::u16string_view(u"x\ny")), u"x\r\ny");
}
