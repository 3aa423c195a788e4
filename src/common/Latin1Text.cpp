#include "common/Latin1Text.h"

std::string EncodeLatin1(std::u16string_view text, bool* substituted)
{
    std::string out;
    out.reserve(text.size());
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c <= 0xFF) {
            out += static_cast<char>(static_cast<unsigned char>(c));
            continue;
        }
        any = true;
        out += '?';
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
    }
    if (substituted)
        *substituted = any;
    return out;
}

namespace {

template <typename Char>
std::basic_string<Char> Normalise(std::basic_string_view<Char> text)
{
    std::basic_string<Char> out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (c == Char('\r')) {
            if (i + 1 < text.size() && text[i + 1] == Char('\n'))
                ++i;
            out += Char('\r');
            out += Char('\n');
        } else if (c == Char('\n')) {
            out += Char('\r');
            out += Char('\n');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string NormaliseCrLf(std::string_view text)
{
    return Normalise<char>(text);
}

std::u16string NormaliseCrLf(std::u16string_view text)
{
    return Normalise<char16_t>(text);
}
