// The inspector in the real executable: off unless config.txt turns it on, then opened and
// closed with F1 over the running game.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "support/LevelText.hpp"

#include <gtest/gtest.h>

#include <thread>

using namespace cindra::e2e;
using cindra::util::Image;

namespace {

// Columns 90 to 125 of the panel: where its text and the entity list's rows stand.
constexpr int kTextLeft = 90;
constexpr int kTextWidth = 36;
// The row of the list's header, "Entities n of m"; the rows follow below it.
constexpr int kHeaderRow = 86;

// The glyphs of one screen row read back as text; blanks (which read back as glyph 0) are
// spaces, trailing ones dropped.
std::string rowText(const Image& screen, int y) {
    std::string text;
    for (int x = kTextLeft; x < kTextLeft + kTextWidth; ++x) {
        const auto cell = cindra::decodeCell(screen, x, y, kConsoleHeight, gameFont());
        text +=
            cell.ok && cell.glyph > 32 && cell.glyph < 127 ? static_cast<char>(cell.glyph) : ' ';
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::vector<std::string> listRows(const Image& screen) {
    return {rowText(screen, kHeaderRow), rowText(screen, kHeaderRow - 1),
            rowText(screen, kHeaderRow - 2)};
}

const std::vector<std::string> kListed = {"Entities 2 of 2", "1 torch (3,4) -",
                                          "2 player (0,0) entity.player"};

// The first frame drawn: the player's white '@' at its start, the bottom-left cell.
Image worldShown(const GameProcess& game) {
    return game.screenshotWhen([](const Image& shot) {
        return findGlyph(shot, '@', cindra::util::Color(255, 255, 255), {0, 0}, {0, 0}) !=
               std::nullopt;
    });
}

void startGame(GameFolder& folder, const std::string& config) {
    folder.addMinimalGame(cindra::test::levelSource(
        20, 10, "entity 3 4 name \"torch\" location render glyph '!' color #ffffff\n"));
    folder.write("config.txt", config);
}

} // namespace

TEST(Inspector, F1OpensTheEntityListWhenTheSettingIsOnAndClosesIt) {
    Xvfb xvfb;
    GameFolder folder;
    startGame(folder, "inspector = true\n");
    GameProcess game(xvfb, folder);
    const Image closed = worldShown(game);
    game.sendKeys({"F1"});
    const Image open =
        game.screenshotWhen([](const Image& shot) { return listRows(shot) == kListed; });
    EXPECT_EQ(listRows(open), kListed);
    EXPECT_EQ(rowText(open, 91), "[ ] Regions 0");
    game.sendKeys({"F1"});
    const Image again =
        game.screenshotWhen([&](const Image& shot) { return shot.rgb == closed.rgb; });
    EXPECT_EQ(rowText(again, kHeaderRow), "");
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(game.errorOutput(), "");
}

TEST(Inspector, WithTheSettingOffF1ChangesNothing) {
    Xvfb xvfb;
    for (const char* config : {"inspector = false\n", ""}) {
        GameFolder folder;
        startGame(folder, config);
        GameProcess game(xvfb, folder);
        const Image before = worldShown(game);
        game.sendKeys({"F1"});
        // Dozens of frames pass in this time.
        std::this_thread::sleep_for(500ms);
        const Image after = game.screenshot();
        EXPECT_TRUE(after.rgb == before.rgb) << config;
        EXPECT_EQ(rowText(after, kHeaderRow), "") << config;
        game.sendKeys({"Escape"});
        EXPECT_EQ(game.wait(), 0);
    }
}
