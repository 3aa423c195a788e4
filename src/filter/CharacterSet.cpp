#include "filter/CharacterSet.h"

#include "common/ResourceLocator.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

// A cursor over the text that mirrors the formatted reads of the file format.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    void SkipSpace()
    {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
            ++m_pos;
    }
    bool AtEnd() const { return m_pos >= m_text.size(); }

    bool Unsigned(int maxDigits, unsigned& value)
    {
        SkipSpace();
        value = 0;
        int n = 0;
        while (n < maxDigits && m_pos < m_text.size() && IsDigit(m_text[m_pos])) {
            value = value * 10 + static_cast<unsigned>(m_text[m_pos++] - '0');
            ++n;
        }
        return n > 0;
    }

    bool Char(char16_t& c)
    {
        if (AtEnd())
            return false;
        c = static_cast<unsigned char>(m_text[m_pos++]); // ISO 8859-1
        return true;
    }

    // Low 8 bits of a hexadecimal number, with an optional 0x prefix.
    bool Hex(std::uint8_t& value)
    {
        SkipSpace();
        if (m_pos + 1 < m_text.size() && m_text[m_pos] == '0' && (m_text[m_pos + 1] == 'x' || m_text[m_pos + 1] == 'X'))
            m_pos += 2;
        unsigned v = 0;
        int n = 0;
        while (m_pos < m_text.size()) {
            const int d = HexDigit(m_text[m_pos]);
            if (d < 0)
                break;
            v = (v * 16 + static_cast<unsigned>(d)) & 0xFFu;
            ++m_pos;
            ++n;
        }
        value = static_cast<std::uint8_t>(v);
        // A number must end at whitespace or the end of the text: "fg" is not hexadecimal.
        return n > 0 && (AtEnd() || IsSpace(m_text[m_pos]));
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexDigit(char c)
    {
        if (IsDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

void GlyphTemplate::Derive()
{
    digitValue = character >= u'0' && character <= u'9' ? character - u'0' : -1;
    for (int r = 0; r < kTemplateRows; ++r) {
        std::uint32_t mask = 0;
        for (int p = 0; p < kTemplateRowBytes / 2; ++p)
            if (pixels[static_cast<std::size_t>(r * kTemplateRowBytes + 2 * p)] == kTestedByte)
                mask |= 1u << p;
        rowMask[static_cast<std::size_t>(r)] = mask;
    }
}

std::optional<CharacterSet> ParseCharacterSet(std::string_view text)
{
    Scanner in(text);
    unsigned count = 0;
    if (!in.Unsigned(3, count) || count < 10)
        return std::nullopt;
    CharacterSet set(count);
    for (GlyphTemplate& glyph : set) {
        in.SkipSpace();
        unsigned flag = 0;
        if (!in.Char(glyph.character) || !in.Unsigned(1, flag))
            return std::nullopt;
        glyph.fieldFlag = static_cast<std::int32_t>(flag);
        for (std::uint8_t& byte : glyph.pixels)
            if (!in.Hex(byte))
                return std::nullopt;
        glyph.Derive();
    }
    in.SkipSpace();
    if (!in.AtEnd())
        return std::nullopt;
    for (int d = 0; d < 10; ++d)
        if (set[static_cast<std::size_t>(d)].digitValue != d)
            return std::nullopt;
    return set;
}

std::string FormatCharacterSet(const CharacterSet& set)
{
    std::string out = std::to_string(set.size()) + "\r\n";
    char buf[8];
    for (const GlyphTemplate& glyph : set) {
        out += static_cast<char>(glyph.character & 0xFF);
        out += ' ';
        out += std::to_string(glyph.fieldFlag);
        out += "\r\n";
        for (int r = 0; r < kTemplateRows; ++r) {
            for (int b = 0; b < kTemplateRowBytes; ++b) {
                std::snprintf(buf, sizeof buf, b ? " %x" : "%x", glyph.pixels[static_cast<std::size_t>(r * kTemplateRowBytes + b)]);
                out += buf;
            }
            out += "\r\n";
        }
    }
    return out;
}

bool LoadCharacterSet(CharacterSetList& list, const std::string& fileName)
{
    std::ifstream file(ResourcePath(fileName), std::ios::binary);
    if (!file)
        return false;
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::optional<CharacterSet> set = ParseCharacterSet(text);
    if (!set)
        return false;
    list.sets.push_back(std::move(*set));
    return true;
}

bool LoadCharacterSets(CharacterSetList& list)
{
    list.sets.clear();
    LoadCharacterSet(list, kEvenCharacterSetFile);
    LoadCharacterSet(list, kOddCharacterSetFile);
    return list.Complete();
}
