#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/gui/CheckBox.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using cindra::Console;
using cindra::gui::CheckBox;
using cindra::test::consoleText;
using cindra::test::GuiInput;

TEST(CheckBox, TogglesOnAClickOrOnSpaceWhileFocused) {
    GuiInput in;
    CheckBox box({3, 7}, "Lights");
    EXPECT_EQ(box.width, 10);
    EXPECT_FALSE(box.checked);
    struct Case {
        const char* what;
        std::function<void()> frame;
        bool focused;
        bool checked;
    };
    const std::vector<Case> cases = {
        {"click on the label",
         [&] {
             in.press({3, 7});
         },
         false, true},
        {"click on the text's end",
         [&] {
             in.press({12, 7});
         },
         false, false},
        {"click past it",
         [&] {
             in.press({13, 7});
         },
         true, false},
        {"Space, focused", [&] { in.key(cindra::gui::kKeySpace, ' '); }, true, true},
        {"Space, not focused", [&] { in.key(cindra::gui::kKeySpace, ' '); }, false, true},
        {"Return, focused", [&] { in.key(cindra::gui::kKeyReturn); }, true, true},
        {"a quiet frame", [&] { in.nextFrame(); }, true, true},
    };
    for (const Case& c : cases) {
        const bool before = box.checked;
        c.frame();
        EXPECT_EQ(box.update(in.state(), c.focused), before != c.checked) << c.what;
        EXPECT_EQ(box.checked, c.checked) << c.what;
    }
}

TEST(CheckBox, ShowsItsStateInFrontOfItsText) {
    Console screen(12, 2);
    CheckBox on({0, 1}, "Regions", true);
    CheckBox off({0, 0}, "Lights");
    on.draw(screen, false);
    off.draw(screen, true);
    EXPECT_EQ(consoleText(screen), "[X] Regions \n[ ] Lights  \n");
    EXPECT_EQ(CheckBox::kCheckedLabel, "[X] ");
    EXPECT_EQ(CheckBox::kUncheckedLabel, "[ ] ");
}
