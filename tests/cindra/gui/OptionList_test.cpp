#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/OptionList.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using cindra::Console;
using cindra::gui::OptionList;
using cindra::test::consoleText;
using cindra::test::GuiInput;
using cindra::test::setterColour;
namespace gui = cindra::gui;

TEST(OptionList, StepsWithLeftAndRightOrAClickOnEitherHalfAndStopsAtTheEnds) {
    GuiInput in;
    OptionList list({0, 0}, 10, {"low", "mid", "high"});
    struct Case {
        const char* what;
        std::function<void()> frame;
        bool focused;
        int selected;
    };
    const std::vector<Case> cases = {
        {"Left at the first", [&] { in.key(gui::kKeyLeft); }, true, 0},
        {"Right", [&] { in.key(gui::kKeyRight); }, true, 1},
        {"Right again", [&] { in.key(gui::kKeyRight); }, true, 2},
        {"Right at the last", [&] { in.key(gui::kKeyRight); }, true, 2},
        {"keys need the focus", [&] { in.key(gui::kKeyLeft); }, false, 2},
        {"click on the left half",
         [&] {
             in.press({4, 0});
         },
         false, 1},
        {"click on the right half",
         [&] {
             in.press({5, 0});
         },
         false, 2},
        {"click on the left arrow",
         [&] {
             in.press({0, 0});
         },
         false, 1},
        {"click beside it",
         [&] {
             in.press({10, 0});
         },
         true, 1},
        {"Up is not its key", [&] { in.key(gui::kKeyUp); }, true, 1},
    };
    for (const Case& c : cases) {
        const int before = list.selected();
        c.frame();
        EXPECT_EQ(list.update(in.state(), c.focused), before != c.selected) << c.what;
        EXPECT_EQ(list.selected(), c.selected) << c.what;
    }
    EXPECT_EQ(list.selectedText(), "mid");
}

TEST(OptionList, ShowsTheOptionBetweenArrowsDimmedAtTheEnds) {
    Console screen(10, 2);
    OptionList first({0, 1}, 10, {"low", "mid", "high"});
    OptionList last({0, 0}, 10, {"low", "mid", "high"}, 7);
    EXPECT_EQ(last.selected(), 2);
    first.draw(screen, false);
    last.draw(screen, true);
    EXPECT_EQ(consoleText(screen), "<  low   >\n<  high  >\n");
    EXPECT_EQ(screen.at(0, 1).foreground, setterColour(gui::kWidgetDim));
    EXPECT_EQ(screen.at(9, 1).foreground, setterColour(gui::kWidgetText));
    EXPECT_EQ(screen.at(0, 0).foreground, setterColour(gui::kFocusText));
    EXPECT_EQ(screen.at(9, 0).foreground, setterColour(gui::kWidgetDim));
}

TEST(OptionList, RefusesAnEmptyListAndClampsTheSelection) {
    EXPECT_THROW(OptionList({0, 0}, 10, {}), cindra::Error);
    OptionList list({0, 0}, 10, {"a", "b"}, -3);
    EXPECT_EQ(list.selected(), 0);
    list.select(5);
    EXPECT_EQ(list.selected(), 1);
}
