// ttf2table: converts a pixel-grid TrueType font of 8 x 8 cells into the text glyph table
// tools/font/cp437-8x8.txt, taking for each code page 437 code the font's glyph of the
// matching Unicode character. Run once to make the committed table:
//
//   cmake -DCINDRA_FONT_CONVERTER=ON ... && cmake --build ... --target ttf2table
//   ttf2table /usr/share/fonts/pc/Px_IBM_CGA.ttf tools/font/cp437-8x8.txt
//
// (the font comes from Debian's fonts-pc package). The font's outlines lie on a grid of whole
// pixels, so FreeType's monochrome rendering at 8 pixels per em reproduces the bitmap exactly;
// the tool refuses a font whose glyphs do not fit the 8 x 8 cell.
#include "cindra/Error.hpp"
#include "cindra/util/GlyphTable.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

using cindra::Error;
using cindra::util::GlyphTable;

constexpr int kCell = GlyphTable::kGlyphSize;

// Unicode of each code page 437 code, with the pictures shown for the control codes.
constexpr std::array<char32_t, 256> kCp437 = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642,
    0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2,
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566,
    0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0,
    0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x207F, 0x00B2, 0x25A0, 0x00A0,
};

std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

std::string hex(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

// "glyph 65 'A' U+0041"; the invisible characters get no quoted form.
std::string header(int code) {
    char32_t c = kCp437[static_cast<std::size_t>(code)];
    std::string line = "glyph " + std::to_string(code);
    if (c != 0x0000 && c != 0x00A0) {
        line += " '" + utf8(c) + "'";
    }
    return line + " " + hex(c);
}

class Font {
public:
    explicit Font(const std::string& path) {
        if (FT_Init_FreeType(&library_) != 0 || FT_New_Face(library_, path.c_str(), 0, &face_)) {
            throw Error("Cannot open font " + path);
        }
        if (FT_Set_Pixel_Sizes(face_, 0, kCell) != 0) {
            throw Error("Cannot scale font " + path + " to 8 pixels");
        }
        ascender_ = static_cast<int>(face_->size->metrics.ascender >> 6);
    }
    ~Font() {
        if (face_) {
            FT_Done_Face(face_);
        }
        if (library_) {
            FT_Done_FreeType(library_);
        }
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Renders character c into the table as glyph code.
    void render(char32_t c, int code, GlyphTable& table) {
        FT_UInt index = FT_Get_Char_Index(face_, c);
        if (index == 0) {
            throw Error("The font has no glyph for " + hex(c) + " (code " + std::to_string(code) +
                        ")");
        }
        if (FT_Load_Glyph(face_, index,
                          FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_NO_HINTING) != 0) {
            throw Error("Cannot render " + hex(c));
        }
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        for (unsigned r = 0; r < bitmap.rows; ++r) {
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const unsigned char* row = bitmap.buffer + static_cast<long>(r) * bitmap.pitch;
                if (row[col / 8] & (0x80 >> (col % 8))) {
                    setPixel(table, code, slot->bitmap_left + static_cast<int>(col),
                             ascender_ - slot->bitmap_top + static_cast<int>(r), c);
                }
            }
        }
    }

private:
    static void setPixel(GlyphTable& table, int code, int x, int y, char32_t c) {
        if (x < 0 || x >= kCell || y < 0 || y >= kCell) {
            throw Error("The glyph of " + hex(c) + " does not fit an 8 x 8 cell");
        }
        table.set(code, x, y, true);
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    int ascender_ = 0;
};

std::string tableText(const GlyphTable& table, const std::string& fontPath) {
    std::string text;
    text +=
        "; Code page 437 font: 256 glyphs of 8 x 8 pixels, '#' set, '.' clear, top row first.\n";
    text += "; Converted by tools/font/ttf2table.cpp from " +
            std::filesystem::path(fontPath).filename().string() + "\n";
    text += "; (from Debian's fonts-pc: The Ultimate Oldschool PC Font Pack by VileR,\n";
    text += "; https://int10h.org/oldschool-pc-fonts/), licensed under CC BY-SA 4.0;\n";
    text += "; see tools/font/LICENSE-font.md. mkfont turns this table into game/terminal.png.\n";
    for (int code = 0; code < GlyphTable::kGlyphCount; ++code) {
        text += "\n" + header(code) + "\n";
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                text += table.isSet(code, x, y) ? '#' : '.';
            }
            text += '\n';
        }
    }
    return text;
}

void convert(const std::string& fontPath, const std::string& outPath) {
    Font font(fontPath);
    GlyphTable table;
    // Code 0 is the NUL character, which has no picture: it stays empty.
    for (int code = 1; code < GlyphTable::kGlyphCount; ++code) {
        font.render(kCp437[static_cast<std::size_t>(code)], code, table);
    }
    std::string text = tableText(table, fontPath);
    GlyphTable::parse(text, outPath); // the output must read back with the engine's parser
    std::ofstream out(outPath, std::ios::binary);
    if (!(out << text) || !out.flush()) {
        throw Error("Cannot write " + outPath);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: ttf2table FONT.ttf OUTPUT.txt\n";
        return 2;
    }
    try {
        convert(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "ttf2table: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
