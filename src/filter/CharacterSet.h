#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kEvenCharacterSetFile = "VELA_VTI_Interlaced_Even.iff";
inline constexpr const char* kOddCharacterSetFile = "VELA_VTI_Interlaced_Odd.iff";

inline constexpr int kTemplateRows = 30;
inline constexpr int kTemplateRowBytes = 40; // a YUY2 row of 20 pixels: luma at even bytes
inline constexpr std::uint8_t kTestedByte = 255;

struct GlyphTemplate {
    std::int32_t fieldFlag = 0;  // 0: tests the odd cell rows; otherwise the even ones
    char16_t character = u' ';
    std::int32_t digitValue = -1;
    std::array<std::uint8_t, kTemplateRows * kTemplateRowBytes> pixels{};
    // Derived when the set is read: bit p of row r set when pixels[r * 40 + 2p] is 255,
    // so matching walks only the tested pixels.
    std::array<std::uint32_t, kTemplateRows> rowMask{};

    void Derive();
};

// Positions 0 to 9 hold '0' to '9'; further glyphs are kept but never read.
using CharacterSet = std::vector<GlyphTemplate>;

// The sets in load order; the reader needs two: entry 0 Even, entry 1 Odd.
struct CharacterSetList {
    std::vector<CharacterSet> sets;
    bool Complete() const { return sets.size() >= 2; }
};

// The text form: the glyph count, then per glyph its character and field flag and 1,200
// hexadecimal template bytes, whitespace-separated. Anything short or malformed (fewer
// than ten glyphs, the digits out of order, a value that is not hexadecimal, a count that
// does not match the glyphs present) is rejected whole.
std::optional<CharacterSet> ParseCharacterSet(std::string_view text);
std::string FormatCharacterSet(const CharacterSet& set); // CR LF line ends

// Reads fileName (looked up as a resource) and appends the set when it loads.
bool LoadCharacterSet(CharacterSetList& list, const std::string& fileName);

// Replaces list's sets with the Even then the Odd set; true when both loaded.
bool LoadCharacterSets(CharacterSetList& list);
