// mkfont: builds the font atlas PNG (game/terminal.png) from the committed text glyph table.
//
//   mkfont tools/font/cp437-8x8.txt game/terminal.png
#include "cindra/util/GlyphTable.hpp"
#include "cindra/util/Png.hpp"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mkfont TABLE.txt OUTPUT.png\n";
        return 2;
    }
    try {
        auto table = cindra::util::GlyphTable::load(argv[1]);
        cindra::util::writePng(argv[2], table.toAtlas());
    } catch (const std::exception& e) {
        std::cerr << "mkfont: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
