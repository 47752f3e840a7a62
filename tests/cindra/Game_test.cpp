#include "support/ScriptWorld.hpp"

#include "cindra/devtools/Inspector.hpp"

#include <gtest/gtest.h>

using cindra::test::levelSource;
using cindra::test::ScriptWorld;
namespace gui = cindra::gui;

TEST(Game, KeysTypedIntoTheInspectorsConsoleAreNotPlayed) {
    ScriptWorld game;
    game.write("config.txt", "inspector = true\n");
    game.script("entity.player", "return { update = function(e)\n"
                                 "  right = Cindra.Input.getKeyState(275) and 1 or 0 end }");
    game.level("intro.cmap", levelSource(8, 4));
    game.start();
    game.hold(gui::kKeyRight);
    game.input().lastKey = gui::kKeyF1;
    game.game().frame();
    EXPECT_EQ(game.number("right"), 1) << "the open panel alone holds nothing back";

    game.input().lastKey = 0;
    game.input().mousePos = game.game().inspector()->luaLine.pos;
    game.input().mouseInside = true;
    game.input().mousePressed[gui::kButtonLeft] = true;
    game.game().frame();
    ASSERT_TRUE(game.game().inspector()->wantsKeyboard());
    EXPECT_EQ(game.number("right"), 0);
}
