// Reads cells back from a screenshot of the web page's canvas, with the decoder and the font
// of the native end-to-end tests, and says whether they show what is expected:
//
//   web_cells SHOT.png [cell X Y CHARACTER RRGGBB]... [text X Y TEXT]...
//
// "cell" wants the character in that foreground colour at console cell (X,Y); "text" wants
// the cells from (X,Y) rightwards to read TEXT. Exit status 0 when every one holds, 1 when
// one does not (each miss named on standard output), 2 for a wrong command line or a PNG
// that cannot be read.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

using cindra::e2e::gameFont;
using cindra::e2e::kConsoleHeight;

struct Seen {
    char glyph = '?';
    cindra::util::Color foreground;
};

Seen seenAt(const cindra::util::Image& shot, int x, int y) {
    const cindra::DecodedCell cell = cindra::decodeCell(shot, x, y, kConsoleHeight, gameFont());
    return {cell.ok ? static_cast<char>(cell.glyph) : '?', cell.foreground};
}

std::string hex(cindra::util::Color c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

[[noreturn]] void usage(const std::string& problem) {
    std::cerr << "web_cells: " << problem
              << "\nusage: web_cells SHOT.png [cell X Y CHARACTER RRGGBB]... [text X Y TEXT]...\n";
    std::exit(2);
}

// The expectation that starts at args[i], which moves past it; false (with the miss printed)
// when the shot does not hold it.
bool check(const cindra::util::Image& shot, const std::vector<std::string>& args, std::size_t& i) {
    const std::string kind = args[i];
    const std::size_t count = kind == "cell" ? 5 : kind == "text" ? 4 : 0;
    if (count == 0 || i + count > args.size()) {
        usage("expected cell X Y CHARACTER RRGGBB or text X Y TEXT at \"" + kind + "\"");
    }
    const int x = std::stoi(args[i + 1]);
    const int y = std::stoi(args[i + 2]);
    std::string want = args[i + 3];
    std::string seen;
    if (kind == "text") {
        for (std::size_t k = 0; k < want.size(); ++k) {
            seen += seenAt(shot, x + static_cast<int>(k), y).glyph;
        }
    } else {
        const Seen cell = seenAt(shot, x, y);
        want += " #" + args[i + 4];
        seen = std::string(1, cell.glyph) + " #" + hex(cell.foreground);
    }
    i += count;
    if (seen != want) {
        std::cout << kind << " (" << x << "," << y << "): expected \"" << want << "\", saw \""
                  << seen << "\"" << std::endl;
    }
    return seen == want;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        usage("no screenshot given");
    }
    cindra::util::Image shot;
    try {
        shot = cindra::util::readPng(args[0]);
    } catch (const std::exception& error) {
        usage(error.what());
    }
    if (shot.width != 1024 || shot.height != 768) {
        usage(args[0] + " is " + std::to_string(shot.width) + " x " + std::to_string(shot.height) +
              ", not the canvas's 1024 x 768");
    }
    bool all = true;
    try {
        for (std::size_t i = 1; i < args.size();) {
            all = check(shot, args, i) && all;
        }
    } catch (const std::logic_error&) {
        usage("X and Y must be numbers");
    }
    return all ? 0 : 1;
}
