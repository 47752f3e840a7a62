#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/gui/Button.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using cindra::Console;
using cindra::gui::Button;
using cindra::test::consoleText;
using cindra::test::GuiInput;

TEST(Button, IsPressedByAClickOnItOrByReturnWhileFocused) {
    GuiInput in;
    Button button({4, 2}, 6, "Go");
    struct Case {
        const char* what;
        std::function<void()> frame;
        bool focused;
        bool pressed;
    };
    const std::vector<Case> cases = {
        {"nothing", [&] { in.nextFrame(); }, true, false},
        {"click",
         [&] {
             in.press({4, 2});
         },
         false, true},
        {"click on the last cell",
         [&] {
             in.press({9, 2});
         },
         false, true},
        {"click beside it",
         [&] {
             in.press({10, 2});
         },
         true, false},
        {"right button",
         [&] {
             in.press({5, 2}, 3);
         },
         true, false},
        {"held, not pressed",
         [&] {
             in.drag({5, 2});
         },
         true, false},
        {"Return, focused", [&] { in.key(cindra::gui::kKeyReturn); }, true, true},
        {"Return, not focused", [&] { in.key(cindra::gui::kKeyReturn); }, false, false},
        {"Space, focused", [&] { in.key(cindra::gui::kKeySpace, ' '); }, true, false},
    };
    for (const Case& c : cases) {
        c.frame();
        EXPECT_EQ(button.update(in.state(), c.focused), c.pressed) << c.what;
        EXPECT_EQ(button.pressed(), c.pressed) << c.what;
    }
}

TEST(Button, CentresItsLabelBetweenBracketsAndCutsALongOne) {
    Console screen(10, 2);
    Button({0, 1}, 8, "OK").draw(screen, false);
    Button({0, 0}, 6, "Cancel").draw(screen, true);
    EXPECT_EQ(consoleText(screen), "[  OK  ]  \n[Canc]    \n");
    EXPECT_EQ(screen.at(2, 1).foreground, cindra::test::setterColour(cindra::gui::kWidgetText));
    EXPECT_EQ(screen.at(2, 0).background, cindra::test::setterColour(cindra::gui::kFocusBack));
}
