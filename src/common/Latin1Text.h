#pragma once

#include <string>
#include <string_view>

// The program's 8-bit text is ISO 8859-1, and files that the Windows program writes
// "in text mode" end every line in CR LF, so files move between the two unchanged.

// Each UTF-16 unit up to 255 becomes the byte of the same value; anything else
// (a surrogate pair counts once) becomes '?' and sets *substituted.
std::string EncodeLatin1(std::u16string_view text, bool* substituted = nullptr);

// Every line end (CR LF, a lone LF or a lone CR) becomes exactly one CR LF.
std::string NormaliseCrLf(std::string_view text);
std::u16string NormaliseCrLf(std::u16string_view text);
