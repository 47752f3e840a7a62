#include "cindra/util/GlyphTable.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <string>

using cindra::Error;
using cindra::util::Color;
using cindra::util::GlyphTable;

namespace {

const std::string kTablePath = std::string(CINDRA_SOURCE_DIR) + "/tools/font/cp437-8x8.txt";

// A complete table text: every glyph empty except those that the caller changes afterwards.
std::string emptyTable() {
    std::string text = "; comment\n";
    for (int g = 0; g < GlyphTable::kGlyphCount; ++g) {
        text += "glyph " + std::to_string(g) + " label\n";
        for (int y = 0; y < GlyphTable::kGlyphSize; ++y) {
            text += "........\n";
        }
    }
    return text;
}

// The message of the error parsing text raises, or "" when it parses.
std::string parseError(const std::string& text) {
    try {
        GlyphTable::parse(text, "t.txt");
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

int countSet(const GlyphTable& table, int glyph) {
    int n = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            n += table.isSet(glyph, x, y);
        }
    }
    return n;
}

} // namespace

TEST(GlyphTable, ParsesPixelsWithCommentsBlankLinesAndCrLf) {
    std::string text = emptyTable();
    // Glyph 1's first row (line 12 of the text) gets its leftmost and rightmost pixels.
    text.replace(text.find("glyph 1 label\n........") + 14, 8, "#......#");
    text.insert(0, "\n;another comment\r\n");
    GlyphTable table = GlyphTable::parse(text, "t.txt");
    EXPECT_TRUE(table.isSet(1, 0, 0));
    EXPECT_TRUE(table.isSet(1, 7, 0));
    EXPECT_EQ(countSet(table, 1), 2);
    EXPECT_EQ(countSet(table, 0), 0);

    std::string crlf;
    for (char c : emptyTable()) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(parseError(crlf), "");
}

TEST(GlyphTable, MalformedTablesNameTheLine) {
    std::string text = emptyTable();
    std::string bad = text;
    bad.replace(bad.find("glyph 2 "), 7, "glyph 3");
    EXPECT_EQ(parseError(bad), "t.txt:20: glyph 3 found where glyph 2 was expected");

    bad = text;
    bad.replace(bad.find("glyph 0 "), 7, "glyph x");
    EXPECT_EQ(parseError(bad), "t.txt:2: expected \"glyph 0\"");

    bad = text;
    bad.replace(bad.find("glyph 0 label\n") + 14 + 9, 8, "...o....");
    EXPECT_EQ(parseError(bad), "t.txt:4: row 2 of glyph 0 must be 8 characters of '#' or '.'");

    bad = text;
    bad.replace(bad.find("glyph 0 label\n") + 14, 8, ".......");
    EXPECT_NE(parseError(bad).find("t.txt:3: row 1 of glyph 0"), std::string::npos);

    EXPECT_EQ(parseError(text.substr(0, text.size() - 9)),
              "t.txt:2305: the table ends where row 8 of glyph 255 was expected");
    EXPECT_EQ(parseError(text + "glyph 256\n"), "t.txt:2306: unexpected text after the last glyph");
    EXPECT_EQ(parseError(""), "t.txt:1: the table ends where glyph 0 was expected");

    EXPECT_THROW(GlyphTable::load(kTablePath + ".missing"), Error);
}

TEST(GlyphTable, AtlasIsColumnMajorWhiteOnBlack) {
    std::string text = emptyTable();
    text.replace(text.find("glyph 65 label\n") + 15, 8, "#.......");
    cindra::util::Image atlas = GlyphTable::parse(text, "t.txt").toAtlas();
    EXPECT_EQ(atlas.width, 128);
    EXPECT_EQ(atlas.height, 128);
    // Glyph 65 is in grid column 4 and grid row 1.
    EXPECT_EQ(atlas.pixel(32, 8), Color(255, 255, 255));
    int lit = 0;
    for (std::size_t i = 0; i < atlas.rgb.size(); ++i) {
        lit += atlas.rgb[i] != 0;
    }
    EXPECT_EQ(lit, 3);
}

TEST(GlyphTable, TheGameFontHasTheExpectedShapes) {
    GlyphTable font = GlyphTable::load(kTablePath);
    EXPECT_EQ(countSet(font, 219), 64); // full block
    EXPECT_EQ(countSet(font, 0), 0);
    EXPECT_EQ(countSet(font, 32), 0);
    EXPECT_EQ(countSet(font, 255), 0);
    // 196 is one full horizontal line and nothing else.
    int fullRows = 0;
    for (int y = 0; y < 8; ++y) {
        int n = 0;
        for (int x = 0; x < 8; ++x) {
            n += font.isSet(196, x, y);
        }
        fullRows += n == 8;
    }
    EXPECT_EQ(fullRows, 1);
    EXPECT_EQ(countSet(font, 196), 8);
    // The lower half block fills exactly the bottom four rows.
    EXPECT_TRUE(font.isSet(220, 0, 7) && font.isSet(220, 7, 4) && !font.isSet(220, 3, 3));
    // Every glyph but the blanks 0, 32 and 255 has a shape of its own.
    for (int a = 1; a < 256; ++a) {
        for (int b = a + 1; b < 256; ++b) {
            bool same = true;
            for (int p = 0; p < 64 && same; ++p) {
                same = font.isSet(a, p % 8, p / 8) == font.isSet(b, p % 8, p / 8);
            }
            EXPECT_FALSE(same && !(a == 32 && b == 255)) << a << " and " << b;
        }
    }
}
