#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/gui/ListBox.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using cindra::Console;
using cindra::gui::ListBox;
using cindra::test::consoleText;
using cindra::test::GuiInput;
using cindra::test::setterColour;
namespace gui = cindra::gui;

namespace {

std::vector<std::string> numberedRows(int count) {
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back("row " + std::to_string(i));
    }
    return rows;
}

} // namespace

TEST(ListBox, KeysClicksAndTheWheelMoveSelectionAndWindow) {
    GuiInput in;
    ListBox list({0, 0}, 8, 4);
    list.setRows(numberedRows(10));
    EXPECT_EQ(list.selected(), -1);
    struct Case {
        const char* what;
        std::function<void()> frame;
        bool focused;
        int selected;
        int scroll;
    };
    const std::vector<Case> cases = {
        {"Down selects the first", [&] { in.key(gui::kKeyDown); }, true, 0, 0},
        {"Up stops at the first", [&] { in.key(gui::kKeyUp); }, true, 0, 0},
        {"End", [&] { in.key(gui::kKeyEnd); }, true, 9, 6},
        {"Down stops at the last", [&] { in.key(gui::kKeyDown); }, true, 9, 6},
        {"Page Up", [&] { in.key(gui::kKeyPageUp); }, true, 5, 5},
        {"Home", [&] { in.key(gui::kKeyHome); }, true, 0, 0},
        {"Page Down", [&] { in.key(gui::kKeyPageDown); }, true, 4, 1},
        {"keys need the focus", [&] { in.key(gui::kKeyDown); }, false, 4, 1},
        {"click on the top row",
         [&] {
             in.press({3, 3});
         },
         false, 1, 1},
        {"click on the bottom row",
         [&] {
             in.press({7, 0});
         },
         false, 4, 1},
        {"right button",
         [&] {
             in.press({3, 3}, 3);
         },
         true, 4, 1},
        {"wheel down",
         [&] {
             in.press({3, 3}, gui::kWheelDown);
         },
         true, 4, 4},
        {"wheel down to the end",
         [&] {
             in.press({3, 3}, gui::kWheelDown);
         },
         true, 4, 6},
        {"wheel up",
         [&] {
             in.press({3, 0}, gui::kWheelUp);
         },
         true, 4, 3},
        {"wheel beside it",
         [&] {
             in.press({8, 0}, gui::kWheelUp);
         },
         true, 4, 3},
        {"a key brings the selection back", [&] { in.key(gui::kKeyUp); }, true, 3, 3},
    };
    for (const Case& c : cases) {
        const int before = list.selected();
        c.frame();
        EXPECT_EQ(list.update(in.state(), c.focused), before != c.selected) << c.what;
        EXPECT_EQ(list.selected(), c.selected) << c.what;
        EXPECT_EQ(list.scroll(), c.scroll) << c.what;
    }
}

TEST(ListBox, NewRowsKeepTheSelectionWithinThemAndEmptyListsSelectNothing) {
    GuiInput in;
    ListBox list({0, 0}, 8, 4);
    list.setRows(numberedRows(10));
    list.select(8);
    EXPECT_EQ(list.scroll(), 5);
    list.setRows(numberedRows(9));
    EXPECT_EQ(list.selected(), 8);
    list.setRows(numberedRows(3));
    EXPECT_EQ(list.selected(), 2);
    EXPECT_EQ(list.scroll(), 0);
    in.press({0, 0}); // below the last row
    EXPECT_FALSE(list.update(in.state(), true));
    EXPECT_EQ(list.selected(), 2);
    list.setRows({});
    EXPECT_EQ(list.selected(), -1);
    for (int key : {gui::kKeyDown, gui::kKeyEnd, gui::kKeyUp}) {
        in.key(key);
        EXPECT_FALSE(list.update(in.state(), true));
        EXPECT_EQ(list.selected(), -1);
    }
    list.setRows(numberedRows(2));
    list.select(-5);
    EXPECT_EQ(list.selected(), -1);
    list.select(99);
    EXPECT_EQ(list.selected(), 1);
}

TEST(ListBox, DrawsTheWindowWithArrowsForHiddenRows) {
    ListBox list({1, 1}, 8, 4);
    list.setRows(numberedRows(6));
    list.select(4);
    Console screen(10, 6);
    list.draw(screen, true);
    EXPECT_EQ(consoleText(screen, 1, 1, 8, 4), "row 1  ^\nrow 2   \nrow 3   \nrow 4  v\n");
    EXPECT_EQ(screen.at(1, 1).background, setterColour(gui::kFocusBack));
    EXPECT_EQ(screen.at(1, 2).background, setterColour(gui::kWidgetBack));
    list.draw(screen, false);
    EXPECT_EQ(screen.at(1, 1).background, setterColour(gui::kSelectBack));
    list.select(5);
    list.draw(screen, false);
    EXPECT_EQ(consoleText(screen, 1, 1, 8, 4), "row 2  ^\nrow 3   \nrow 4   \nrow 5   \n");

    ListBox shortList({0, 0}, 6, 3);
    shortList.setRows({"alpha", "a long row"});
    Console small(7, 3);
    shortList.draw(small, false);
    EXPECT_EQ(consoleText(small), "alpha  \na long \n       \n");
}
