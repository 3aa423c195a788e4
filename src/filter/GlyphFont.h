#pragma once

#include "filter/CharacterSet.h"

#include <cstdint>

// Our own VTI digit font, 0 to 9. A glyph fills a cell 20 pixels wide and 30 rows high
// and comes in two field phases, one frame row apart: the Odd phase leaves row 15 of the
// cell dark (the break between the glyph's halves), the Even phase lights it. That row is
// where the reader decides which character set to match, so each phase is read by its
// own set. The overlay renderer and the character-set files both come from here.

inline constexpr int kGlyphWidth = 20;
inline constexpr int kGlyphRows = 30;

enum class FieldPhase { Even, Odd };

// Bit x set: pixel x of that cell row is lit. digit 0..9, row 0..29; 0 outside.
std::uint32_t GlyphRowMask(int digit, FieldPhase phase, int row);

// The font as a character set for one phase: the glyphs of '0' to '9' with the lit
// pixels of that phase's field rows marked tested (the Even set tests the even rows).
CharacterSet FontCharacterSet(FieldPhase phase);
