#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/gui/TextField.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using cindra::Console;
using cindra::gui::TextField;
using cindra::test::consoleText;
using cindra::test::GuiInput;
using cindra::test::setterColour;
namespace gui = cindra::gui;

TEST(TextField, EditsAtTheCursorWhileFocusedAndSubmitsOnReturn) {
    GuiInput in;
    TextField field({0, 0}, 6, 5);
    struct Case {
        const char* what;
        std::function<void()> frame;
        bool focused;
        const char* text;
        std::size_t cursor;
    };
    const std::vector<Case> cases = {
        {"type", [&] { in.type('a'); }, true, "a", 1},
        {"type more", [&] { in.type('c'); }, true, "ac", 2},
        {"Left", [&] { in.key(gui::kKeyLeft); }, true, "ac", 1},
        {"insert", [&] { in.type('b'); }, true, "abc", 2},
        {"a frame without a key keeps its old character", [&] { in.nextFrame(); }, true, "abc", 2},
        {"Backspace", [&] { in.key(gui::kKeyBackspace, 8); }, true, "ac", 1},
        {"Delete", [&] { in.key(gui::kKeyDelete, 127); }, true, "a", 1},
        {"Delete at the end", [&] { in.key(gui::kKeyDelete, 127); }, true, "a", 1},
        {"Home", [&] { in.key(gui::kKeyHome); }, true, "a", 0},
        {"Backspace at the start", [&] { in.key(gui::kKeyBackspace, 8); }, true, "a", 0},
        {"Left at the start", [&] { in.key(gui::kKeyLeft); }, true, "a", 0},
        {"End", [&] { in.key(gui::kKeyEnd); }, true, "a", 1},
        {"Right at the end", [&] { in.key(gui::kKeyRight); }, true, "a", 1},
        {"space", [&] { in.type(' '); }, true, "a ", 2},
        {"a key without a character", [&] { in.key(gui::kKeyF1); }, true, "a ", 2},
        {"a character beyond ASCII", [&] { in.key(233, 233); }, true, "a ", 2},
        {"keys need the focus", [&] { in.type('x'); }, false, "a ", 2},
        {"up to the limit", [&] { in.type('x'), field.update(in.state(), true), in.type('y'); },
         true, "a xy", 4},
        {"the limit", [&] { in.type('z'), field.update(in.state(), true), in.type('!'); }, true,
         "a xyz", 5},
    };
    for (const Case& c : cases) {
        c.frame();
        const std::string before = field.text();
        const bool changed = field.update(in.state(), c.focused);
        EXPECT_EQ(changed, before != field.text()) << c.what;
        EXPECT_EQ(field.text(), c.text) << c.what;
        EXPECT_EQ(field.cursor(), c.cursor) << c.what;
        EXPECT_FALSE(field.submitted()) << c.what;
    }
    in.key(gui::kKeyReturn, 13);
    EXPECT_FALSE(field.update(in.state(), true));
    EXPECT_TRUE(field.submitted());
    EXPECT_EQ(field.text(), "a xyz");
    in.nextFrame();
    field.update(in.state(), true);
    EXPECT_FALSE(field.submitted());
}

TEST(TextField, ShowsThePartAroundTheCursorAndTheCursorWhenFocused) {
    TextField field({1, 0}, 6);
    field.setText("abcdefgh");
    EXPECT_EQ(field.cursor(), 8u);
    EXPECT_EQ(field.firstShown(), 3u);
    Console screen(8, 1);
    field.draw(screen, true);
    EXPECT_EQ(consoleText(screen), " defgh  \n");
    EXPECT_EQ(screen.at(6, 0).background, setterColour(gui::kFocusText));
    EXPECT_EQ(screen.at(5, 0).background, setterColour(gui::kFocusBack));
    GuiInput in;
    in.key(gui::kKeyHome);
    field.update(in.state(), true);
    field.draw(screen, false);
    EXPECT_EQ(consoleText(screen), " abcdef \n");
    EXPECT_EQ(screen.at(1, 0).background, setterColour(gui::kWidgetBack));
    field.draw(screen, true);
    EXPECT_EQ(screen.at(1, 0).glyph, 'a');
    EXPECT_EQ(screen.at(1, 0).background, setterColour(gui::kFocusText));
    TextField shortField({0, 0}, 4, 3);
    shortField.setText("abcdef");
    EXPECT_EQ(shortField.text(), "abc");
}
