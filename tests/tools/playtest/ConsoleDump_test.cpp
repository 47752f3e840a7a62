#include "playtest/ConsoleDump.hpp"

#include <gtest/gtest.h>

namespace cindra::playtest {
namespace {

TEST(ConsoleDump, ShowsGlyphsTopRowFirstAndNamesColourPairs) {
    Console console(4, 3);
    const util::Color white(255, 255, 255), black(0, 0, 0), red(200, 0, 0);
    console.fill(black);
    for (int x = 0; x < 4; ++x) {
        console.setForeground(x, 2, white);
    }
    console.setChar(0, 2, 218); // a top-left corner
    console.setChar(1, 2, LineHorizontal);
    console.setChar(2, 2, 'H');
    console.setChar(3, 2, 255);
    console.setChar(0, 1, 1);
    console.setChar(1, 1, -1);
    console.setChar(2, 0, 300);
    console.setChar(3, 0, ' ');
    console.setBackground(1, 0, red);
    console.at(3, 0).background.a = 7; // not drawn, so not shown

    EXPECT_EQ(dumpConsole(console), "┌─H\u00A0\n"
                                    "☺�  \n"
                                    " \u0020�\u0020\n"
                                    "\n"
                                    "aaaa\n"
                                    "bbbb\n"
                                    "bcbb\n"
                                    "\n"
                                    "a = fg 255 255 255 bg 0 0 0\n"
                                    "b = fg 0 0 0 bg 0 0 0\n"
                                    "c = fg 0 0 0 bg 200 0 0\n");
}

TEST(ConsoleDump, KeysWidenPastSixtyTwoPairs) {
    Console console(63, 1);
    for (int x = 0; x < 63; ++x) {
        console.setBackground(x, 0, util::Color(static_cast<std::uint8_t>(x), 0, 0));
    }
    const std::string dump = dumpConsole(console);
    EXPECT_NE(dump.find("\naaabacad"), std::string::npos);
    EXPECT_NE(dump.find("a8a9ba\n"), std::string::npos);
    EXPECT_NE(dump.find("\nba = fg 0 0 0 bg 62 0 0\n"), std::string::npos);
}

} // namespace
} // namespace cindra::playtest
