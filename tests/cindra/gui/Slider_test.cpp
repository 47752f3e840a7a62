#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/Slider.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

using cindra::Console;
using cindra::gui::Slider;
using cindra::test::consoleText;
using cindra::test::GuiInput;
namespace gui = cindra::gui;

TEST(Slider, KeysStepTheValueAndAClickOrADragSetsItFromThePointer) {
    GuiInput in;
    // Columns 2 to 12 stand for 0, 10, ..., 100.
    Slider slider({2, 0}, 11, 0, 100, 50);
    struct Case {
        const char* what;
        std::function<void()> frame;
        bool focused;
        int value;
        bool dragging;
    };
    const std::vector<Case> cases = {
        {"Left", [&] { in.key(gui::kKeyLeft); }, true, 49, false},
        {"Right by a step", [&] { slider.step = 10, in.key(gui::kKeyRight); }, true, 59, false},
        {"End", [&] { in.key(gui::kKeyEnd); }, true, 100, false},
        {"Right at the end", [&] { in.key(gui::kKeyRight); }, true, 100, false},
        {"Home", [&] { in.key(gui::kKeyHome); }, true, 0, false},
        {"keys need the focus", [&] { in.key(gui::kKeyEnd); }, false, 0, false},
        {"press on the track",
         [&] {
             in.press({5, 0});
         },
         false, 30, true},
        {"drag",
         [&] {
             in.drag({9, 0});
         },
         false, 70, true},
        {"drag past the right end",
         [&] {
             in.drag({40, 0});
         },
         false, 100, true},
        {"drag past the left end",
         [&] {
             in.drag({0, 0});
         },
         false, 0, true},
        {"release",
         [&] {
             in.release({6, 0});
         },
         false, 40, false},
        {"moving without the button",
         [&] {
             in.drag({9, 0});
         },
         false, 40, false},
        {"press beside the track",
         [&] {
             in.press({13, 0});
         },
         false, 40, false},
        {"press again",
         [&] {
             in.press({12, 0});
         },
         false, 100, true},
        {"a release lost outside", [&] { in.letGo(); }, false, 100, false},
        {"press and release in one frame",
         [&] {
             in.press({3, 0}), in.state().mouseReleased[gui::kButtonLeft] = true;
         },
         false, 10, false},
    };
    for (const Case& c : cases) {
        const int before = slider.value();
        c.frame();
        EXPECT_EQ(slider.update(in.state(), c.focused), before != c.value) << c.what;
        EXPECT_EQ(slider.value(), c.value) << c.what;
        EXPECT_EQ(slider.dragging(), c.dragging) << c.what;
    }
}

TEST(Slider, MapsValuesToColumnsOverAnyRange) {
    GuiInput in;
    struct Case {
        int minimum;
        int maximum;
        int value;
        int column;
    };
    for (const Case& c : {Case{0, 100, 50, 5}, Case{0, 100, 94, 9}, Case{0, 100, 96, 10},
                          Case{-5, 5, -5, 0}, Case{7, 7, 7, 0}, Case{INT_MIN, INT_MAX, INT_MAX, 10},
                          Case{INT_MIN, INT_MAX, INT_MIN, 0}, Case{0, 3, 9, 10}}) {
        Slider slider({0, 0}, 11, c.minimum, c.maximum, c.value);
        EXPECT_EQ(slider.thumbColumn(), c.column) << c.minimum << ".." << c.maximum;
    }
    Slider wide({0, 0}, 11, INT_MIN, INT_MAX, 0);
    in.key(gui::kKeyEnd);
    wide.update(in.state(), true);
    EXPECT_EQ(wide.value(), INT_MAX);
    in.key(gui::kKeyRight);
    wide.update(in.state(), true);
    EXPECT_EQ(wide.value(), INT_MAX);
    in.press({0, 0});
    wide.update(in.state(), false);
    EXPECT_EQ(wide.value(), INT_MIN);
}

TEST(Slider, RefusesATrackTooShortOrARangeTurnedAroundAndDrawsTheThumb) {
    EXPECT_THROW(Slider({0, 0}, 1, 0, 10, 0), cindra::Error);
    EXPECT_THROW(Slider({0, 0}, 5, 10, 0, 0), cindra::Error);
    Console screen(11, 1);
    Slider({0, 0}, 11, 0, 100, 50).draw(screen, false);
    EXPECT_EQ(consoleText(screen), "-----#-----\n");
    Slider({0, 0}, 11, 0, 100, -20).draw(screen, true);
    EXPECT_EQ(consoleText(screen), "#----------\n");
}
