#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"
#include "support/ScriptWorld.hpp"

#include "cindra/devtools/Inspector.hpp"

#include <gtest/gtest.h>

#include <vector>

using cindra::Console;
using cindra::devtools::Inspector;
using cindra::logic::Entity;
using cindra::test::consoleText;
using cindra::test::levelSource;
using cindra::test::setterColour;
namespace gui = cindra::gui;

namespace {

// Handles 1 to 3 come from the map, in its order; the player, made after the map, is 4. The
// region, the light and the torch lie above the rows the open console covers.
const std::string kLevel =
    levelSource(30, 20,
                "region \"hall\"\n  rect 2 14 8 18\nend\n"
                "light 20 16 radius 3\n"
                "entity 5 15 name \"torch\" location render glyph '!' script \"entity.torch\"\n"
                "entity 0 0 name \"ghost\"\n"
                "entity 7 3 location\n");

struct InspectorTest : ::testing::Test {
    InspectorTest() {
        game.script("entity.torch", "return {}");
        game.level("intro.cmap", kLevel);
        game.start();
    }
    // One frame of the application: the world's render, then the inspector.
    void frame(float seconds = 0.02f) {
        game.world().render(screen);
        inspector.frame(game.world(), in.state(), seconds, screen);
    }
    std::string panelTop() const { return consoleText(screen, 88, 82, 127, 95); }

    cindra::test::GuiInput in;
    cindra::test::ScriptWorld game;
    Console screen{128, 96};
    Inspector inspector;
};

} // namespace

TEST_F(InspectorTest, ListsTheLivingEntitiesByHandleWithNamePlaceAndScript) {
    EXPECT_EQ(Inspector::entityRow(game.world(), 1), "1 torch (5,15) entity.torch");
    EXPECT_EQ(Inspector::entityRow(game.world(), 2), "2 ghost - -");
    EXPECT_EQ(Inspector::entityRow(game.world(), 3), "3 - (7,3) -");
    EXPECT_EQ(Inspector::entityRow(game.world(), 4), "4 player (0,0) entity.player");
    in.key(Inspector::kToggleKey);
    frame();
    EXPECT_EQ(inspector.listedEntities(), (std::vector<Entity>{1, 2, 3, 4}));
    EXPECT_EQ(inspector.entities.rows().at(3), "4 player (0,0) entity.player");
    EXPECT_EQ(consoleText(screen, 90, 82, 125, 86), "Entities 4 of 4                     \n"
                                                    "1 torch (5,15) entity.torch         \n"
                                                    "2 ghost - -                         \n"
                                                    "3 - (7,3) -                         \n"
                                                    "4 player (0,0) entity.player        \n");
}

TEST_F(InspectorTest, F1OpensAndClosesThePanelAndOnlyAnOpenPanelDraws) {
    frame();
    const std::string world = consoleText(screen);
    EXPECT_FALSE(inspector.isOpen());
    in.key(Inspector::kToggleKey);
    frame(0.02f);
    EXPECT_TRUE(inspector.isOpen());
    EXPECT_EQ(panelTop(), "+- Inspector  F1 ----------------------+\n"
                          "|                                      |\n"
                          "| Frame 20.0 ms  50 fps                |\n"
                          "|                                      |\n"
                          "| [ ] Regions 1                        |\n"
                          "| [ ] Lights 1                         |\n"
                          "|                                      |\n"
                          "| Find:                                |\n"
                          "|                                      |\n"
                          "| Entities 4 of 4                      |\n"
                          "| 1 torch (5,15) entity.torch          |\n"
                          "| 2 ghost - -                          |\n"
                          "| 3 - (7,3) -                          |\n"
                          "| 4 player (0,0) entity.player         |\n");
    EXPECT_EQ(consoleText(screen, 88, 0, 127, 0), "+" + std::string(38, '-') + "+\n");
    // The frame time is smoothed: a tenth of each new frame's difference.
    in.nextFrame();
    frame(0.03f);
    EXPECT_NEAR(inspector.frameSeconds(), 0.021, 1e-9);
    EXPECT_EQ(consoleText(screen, 90, 93, 110, 93), "Frame 21.0 ms  48 fps\n");
    in.key(Inspector::kToggleKey);
    frame();
    EXPECT_FALSE(inspector.isOpen());
    EXPECT_EQ(consoleText(screen), world);
}

TEST_F(InspectorTest, CheckBoxesSwitchTheOverlaysAndTheSelectionIsMarkedOnTheMap) {
    inspector.setOpen(true);
    in.nextFrame();
    frame();
    EXPECT_EQ(screen.at(2, 14).glyph, '.');
    in.press(inspector.regions.pos);
    frame();
    EXPECT_TRUE(inspector.regions.checked);
    EXPECT_EQ(screen.at(2, 14).glyph, 192);
    EXPECT_EQ(screen.at(17, 13).glyph, '.');
    in.press(inspector.lights.pos);
    frame();
    EXPECT_EQ(screen.at(17, 13).glyph, 192);
    EXPECT_EQ(consoleText(screen, 90, 90, 101, 91), "[X] Regions \n[X] Lights 1\n");
    // Space toggles the focused box: the lights box took the focus with the click.
    in.key(gui::kKeySpace, ' ');
    frame();
    EXPECT_FALSE(inspector.lights.checked);
    EXPECT_EQ(screen.at(17, 13).glyph, '.');
    // A click on the torch's row selects it and marks its cell.
    in.press({95, 85});
    frame();
    EXPECT_EQ(inspector.selectedEntity(), 1);
    EXPECT_EQ(screen.at(5, 15).background, setterColour(gui::kSelectBack));
}

TEST_F(InspectorTest, TheSelectionStaysOnItsEntityAndTheFilterKeepsMatchingRows) {
    inspector.setOpen(true);
    in.nextFrame();
    frame(); // the list's first rows
    in.key(gui::kKeyDown);
    frame();
    in.key(gui::kKeyDown);
    frame();
    in.key(gui::kKeyDown);
    frame();
    EXPECT_EQ(inspector.selectedEntity(), 3);
    game.world().removeEntity(2);
    game.frame();
    in.nextFrame();
    frame();
    EXPECT_EQ(inspector.listedEntities(), (std::vector<Entity>{1, 3, 4}));
    EXPECT_EQ(inspector.entities.selected(), 1);
    EXPECT_EQ(inspector.selectedEntity(), 3);
    in.press(inspector.filter.pos);
    frame();
    for (const char c : std::string("PLAY")) {
        in.type(c);
        frame();
    }
    EXPECT_EQ(inspector.filter.text(), "PLAY");
    EXPECT_EQ(inspector.listedEntities(), (std::vector<Entity>{4}));
    EXPECT_EQ(inspector.selectedEntity(), 4);
    EXPECT_EQ(consoleText(screen, 90, 85, 111, 86), "Entities 1 of 3       \n"
                                                    "4 player (0,0) entity.\n");
    in.type('!');
    frame();
    EXPECT_TRUE(inspector.listedEntities().empty());
    EXPECT_EQ(inspector.selectedEntity(), cindra::logic::kNoEntity);
}

TEST_F(InspectorTest, TheConsoleRunsTypedLinesInTheGamesLuaAndRecallsThem) {
    inspector.setOpen(true);
    in.nextFrame();
    frame();
    EXPECT_FALSE(inspector.wantsKeyboard());
    in.press(inspector.luaLine.pos);
    frame();
    EXPECT_TRUE(inspector.wantsKeyboard());
    const auto run = [&](const std::string& line) {
        for (const char c : line) {
            in.type(c);
            frame();
        }
        in.key(gui::kKeyReturn, '\r');
        frame();
    };
    for (const char* line : {"n = 2", "n * 21", "n * 21", "   ",
                             "Cindra.Entity.getEntityByName('player')", "nosuch()", "n"}) {
        run(line);
    }
    EXPECT_EQ(inspector.luaLine.text(), "");
    EXPECT_EQ(consoleText(screen, 0, 0, 69, 11),
              "+- Lua ---------------------------------------------------------------\n"
              "| 42                                                                  \n"
              "| > n * 21                                                            \n"
              "| 42                                                                  \n"
              "| > Cindra.Entity.getEntityByName('player')                           \n"
              "| 4                                                                   \n"
              "| > nosuch()                                                          \n"
              "| error: console:1: attempt to call global 'nosuch' (a nil value)     \n"
              "| > n                                                                 \n"
              "| 2                                                                   \n"
              "| >                                                                   \n"
              "+---------------------------------------------------------------------\n");
    EXPECT_EQ(screen.at(2, 4).foreground.g, 120); // the error row, in red
    // Up walks back through the lines run, a repeat kept once and blanks not at all; Down
    // walks forward and past the newest empties the field.
    const std::vector<std::pair<std::int32_t, std::string>> recalls = {
        {gui::kKeyUp, "n"},
        {gui::kKeyUp, "nosuch()"},
        {gui::kKeyUp, "Cindra.Entity.getEntityByName('player')"},
        {gui::kKeyUp, "n * 21"},
        {gui::kKeyUp, "n = 2"},
        {gui::kKeyUp, "n = 2"},
        {gui::kKeyDown, "n * 21"},
        {gui::kKeyDown, "Cindra.Entity.getEntityByName('player')"},
        {gui::kKeyDown, "nosuch()"},
        {gui::kKeyDown, "n"},
        {gui::kKeyDown, ""},
        {gui::kKeyDown, ""},
    };
    for (const auto& [key, expected] : recalls) {
        in.key(key);
        frame();
        EXPECT_EQ(inspector.luaLine.text(), expected);
    }
    in.key(gui::kKeyTab);
    frame();
    EXPECT_FALSE(inspector.wantsKeyboard());
}

TEST_F(InspectorTest, AProblemShowsInRedOverTheTopRowsWithThePanelClosed) {
    frame();
    const std::string world = consoleText(screen);
    const std::string words = "every word of a long message goes on the row where it fits ";
    inspector.setProblem("A reload failed\n" + words + words);
    frame();
    // Columns 0 to 87 of a row: the banner's, left of the panel.
    const auto row = [](std::string text) {
        text.resize(88, ' ');
        return text + '\n';
    };
    EXPECT_EQ(consoleText(screen, 0, 92, 87, 95),
              row(" A reload failed") +
                  row(" every word of a long message goes on the row where it fits every word "
                      "of a long") +
                  row(" message goes on the row where it fits") + row(""));
    EXPECT_EQ(screen.at(87, 95).background, cindra::test::setterColour(Inspector::kProblemBack));
    EXPECT_NE(screen.at(88, 95).background, cindra::test::setterColour(Inspector::kProblemBack));
    // What does not fit on the banner's rows is marked as left out.
    inspector.setProblem("1\n2\n3\n4\n5\n6\n7\n8\n9");
    frame();
    EXPECT_EQ(consoleText(screen, 0, 87, 5, 89), " 7    \n 8... \n      \n");
    inspector.setProblem("");
    frame();
    EXPECT_EQ(consoleText(screen), world);
}
