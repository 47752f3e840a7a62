#include "cindra/level/LevelSyntax.hpp"

#include "cindra/Error.hpp"

#include "support/ErrorText.hpp"

#include <gtest/gtest.h>

#include <limits>

using cindra::Error;
using cindra::level::formatColor;
using cindra::level::formatGlyph;
using cindra::level::parseColor;
using cindra::level::parseGlyph;
using cindra::level::parseInteger;
using cindra::level::quote;
using cindra::level::Token;
using cindra::level::tokenize;
using cindra::util::Color;
using Kind = Token::Kind;

using cindra::test::errorOf;

namespace {

Token word(const char* s) {
    return {Kind::Word, s};
}

} // namespace

TEST(Tokenize, WordsTextsAndCharacters) {
    const auto tokens = tokenize("  tile\t\"a \\\"b\\\" \\\\ \\x41\\n\" 'x' '' ''' it's ");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].kind, Kind::Word);
    EXPECT_EQ(tokens[0].value, "tile");
    EXPECT_EQ(tokens[1].kind, Kind::Text);
    EXPECT_EQ(tokens[1].value, "a \"b\" \\ A\n");
    EXPECT_EQ(tokens[2].kind, Kind::Char);
    EXPECT_EQ(tokens[2].value, "x");
    EXPECT_EQ(tokens[3].kind, Kind::Word); // two quotes are not a character
    EXPECT_EQ(tokens[4].kind, Kind::Char);
    EXPECT_EQ(tokens[4].value, "'");
    EXPECT_EQ(tokens[5].value, "it's");
    EXPECT_TRUE(tokenize("   ").empty());
}

TEST(Tokenize, RefusesBrokenTexts) {
    EXPECT_EQ(errorOf([] { tokenize("\"open"); }), "unterminated text");
    EXPECT_EQ(errorOf([] { tokenize("\"ends in \\"); }), "unterminated text");
    EXPECT_EQ(errorOf([] { tokenize("\"\\q\""); }), "unknown escape \\q in a text");
    EXPECT_THROW(tokenize("\"\\x4\""), Error);
}

TEST(ParseInteger, DecimalHexSignsAndRanges) {
    EXPECT_EQ(parseInteger(word("42"), 0, 100, "n"), 42);
    EXPECT_EQ(parseInteger(word("-7"), -10, 10, "n"), -7);
    EXPECT_EQ(parseInteger(word("0xfF"), 0, 255, "n"), 255);
    EXPECT_EQ(parseInteger(word("-2147483648"), std::numeric_limits<std::int32_t>::min(), 0, "n"),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseInteger(word("4294967295"), 0, 4294967295LL, "n"), 4294967295LL);
    EXPECT_EQ(errorOf([] { parseInteger(word("256"), 0, 255, "glyph"); }),
              "glyph 256 is outside 0..255");
    EXPECT_EQ(errorOf([] { parseInteger(word("-1"), 0, 255, "glyph"); }),
              "glyph -1 is outside 0..255");
    EXPECT_EQ(errorOf([] { parseInteger(word("99999999999999999999999"), 0, 9, "n"); }),
              "n 99999999999999999999999 is outside 0..9");
    for (const char* bad : {"", "-", "0x", "12a", "+3", "1.5", "--1"}) {
        EXPECT_THROW(parseInteger(word(bad), -100, 100, "n"), Error) << bad;
    }
    EXPECT_EQ(errorOf([] {
                  parseInteger({Kind::Text, "5"}, 0, 9, "width");
              }),
              "expected a number for width, found \"5\"");
}

TEST(ParseColor, SixOrEightHexDigits) {
    EXPECT_EQ(parseColor(word("#0a0B0c"), "fg"), Color(10, 11, 12, 255));
    EXPECT_EQ(parseColor(word("#01020304"), "fg"), Color(1, 2, 3, 4));
    for (const char* bad : {"0a0b0c", "#0a0b0", "#0a0b0g", "#0a0b0c0", "#"}) {
        EXPECT_THROW(parseColor(word(bad), "fg"), Error) << bad;
    }
    EXPECT_EQ(formatColor(Color(255, 0, 16)), "#ff0010");
    EXPECT_EQ(formatColor(Color(1, 2, 3, 0)), "#01020300");
}

TEST(Glyphs, NumbersOrCharacters) {
    EXPECT_EQ(parseGlyph({Kind::Char, "#"}, 255), 35u);
    EXPECT_EQ(parseGlyph(word("4294967295"), 4294967295u), 4294967295u);
    EXPECT_THROW(parseGlyph(word("256"), 255), Error);
    EXPECT_EQ(formatGlyph('#'), "'#'");
    EXPECT_EQ(formatGlyph('\''), "39");
    EXPECT_EQ(formatGlyph(' '), "32");
    EXPECT_EQ(formatGlyph(250), "250");
}

TEST(Quote, EscapesWhatTheTokenizerDecodes) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    const std::string quoted = quote(all);
    const auto tokens = tokenize(quoted);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].value, all);
    EXPECT_EQ(quote("a\"b\\"), "\"a\\\"b\\\\\"");
}
