// Code page 437 glyphs as the Unicode characters they look like, so a dump of the console or
// a key script can show box frames and shades as themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cindra::playtest {

// The Unicode character glyph 0..255 looks like: printable ASCII for 32..126, the usual
// pictures (U+263A for 1, U+2302 for 127, U+2500 frames for 179..218, U+00A0 for 255) for the
// rest, and U+0020 for 0, which the font leaves empty.
char32_t cp437ToUnicode(int glyph);

// The glyph that looks like c; none for a character the font does not have. A space is 32.
std::optional<int> unicodeToCp437(char32_t c);

// c as UTF-8 (c must be a Unicode scalar value).
void appendUtf8(std::string& out, char32_t c);

// The first character of text and its length in bytes; none for malformed UTF-8 (overlong
// forms, surrogates and values beyond U+10FFFF included). text must not be empty.
struct DecodedChar {
    char32_t value;
    std::size_t length;
};
std::optional<DecodedChar> decodeUtf8(std::string_view text);

} // namespace cindra::playtest
