#include "support/ConsoleText.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/BoxFace.hpp"
#include "cindra/gui/DialogBox.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"
#include "cindra/util/Random.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cindra::Console;
using cindra::GridPos;
using cindra::gui::DialogBox;
using cindra::gui::TextBox;
using cindra::test::consoleText;

namespace {

// What the boxes read their keys from and speckle their faces with.
cindra::gui::InputState frameInput;
cindra::util::Random generator;

// A copy without the speckles, which are random.
Console unspeckled(const Console& console) {
    Console copy = console;
    for (auto& cell : copy.cells) {
        if (cell.glyph == '.' || cell.glyph == ',' || cell.glyph == '\'') {
            cell.glyph = 0;
        }
    }
    return copy;
}

std::string layout(const Console& face) {
    return consoleText(unspeckled(face));
}

// setForeground copies red, green and blue only: a fresh face keeps alpha 0.
cindra::Color rgb(cindra::Color c) {
    return {c.r, c.g, c.b, 0};
}

bool press(cindra::gui::IModalElement& box, int key) {
    frameInput.lastKey = key;
    const bool open = box.update(0.016f);
    frameInput.lastKey = 0;
    return open;
}

TEST(TextBox, SizesPlacesAndLaysOutItsText) {
    struct Case {
        GridPos asked;
        int width;
        const char* text;
        GridPos pos;
        const char* face;
    };
    const std::vector<Case> cases = {
        {{-1, -1}, 9, "Hello", {59, 45}, "+-------+\n|       |\n| Hello |\n|       |\n+-------+\n"},
        {{3, 95}, 9, "Hello", {3, 91}, nullptr},
        {{3, 4}, 9, "Hello", {3, 0}, nullptr},
        {{-1, 10}, 130, "x", {-1, 6}, nullptr},
        // A first word longer than the wrap width leaves the first row empty and runs past
        // the margin; the frame stays where it is.
        {{0, 10},
         7,
         "abcdefgh ij",
         {0, 4},
         "+-----+\n|     |\n|     |\n| abcde\n| ij  |\n|     |\n+-----+\n"},
        {{0, 20},
         8,
         "one two\nthree",
         {0, 13},
         "+------+\n|      |\n| one  |\n| two  |\n|      |\n| three|\n|      |\n+------+\n"},
    };
    for (const Case& c : cases) {
        TextBox box(frameInput, generator, c.asked, c.width, c.text);
        EXPECT_EQ(box.pos, c.pos) << c.text;
        if (c.face != nullptr) {
            EXPECT_EQ(layout(box.face), c.face) << c.text;
        }
    }
    TextBox hello(frameInput, generator, {-1, -1}, 20, "Hello");
    EXPECT_EQ(hello.height, 5);
    EXPECT_EQ(hello.pos, (GridPos{54, 45}));
    EXPECT_EQ(hello.face.at(2, 2).glyph, 'H');
    EXPECT_EQ(hello.face.at(2, 2).foreground, rgb(cindra::gui::kTextColor));
    EXPECT_EQ(hello.face.at(0, 0).foreground, rgb(cindra::gui::kFrameColor));
}

TEST(TextBox, RefusesWidthsThatCannotHoldItsFrame) {
    for (int width : {-3, 0, 4, 1025}) {
        EXPECT_THROW(TextBox(frameInput, generator, {0, 0}, width, "x"), cindra::Error) << width;
    }
    EXPECT_NO_THROW(TextBox(frameInput, generator, {0, 0}, 5, "x"));
    EXPECT_THROW(DialogBox(frameInput, generator, {0, 0}, 6, "x", {"a"}), cindra::Error);
    EXPECT_THROW(DialogBox(frameInput, generator, {0, 0}, 20, "x", {}), cindra::Error);
}

TEST(TextBox, ClosesOnReturnOnlyAndDrawsItsFace) {
    TextBox box(frameInput, generator, {-1, 95}, 10, "Hi");
    for (int key : {0, 271, 27, 32, 273, 274}) {
        EXPECT_TRUE(press(box, key)) << key;
    }
    EXPECT_FALSE(press(box, 13));
    Console screen(128, 96);
    box.draw(screen);
    EXPECT_EQ(
        consoleText(unspeckled(screen), 58, 90, 69, 95),
        " +--------+ \n |        | \n | Hi     | \n |        | \n +--------+ \n            \n");
}

TEST(DialogBox, LaysOutAnswersAndMovesTheMarker) {
    DialogBox box(frameInput, generator, {10, 20}, 12, "Go?", {"Yes", "No"});
    EXPECT_EQ(box.height, 10);
    EXPECT_EQ(box.pos, (GridPos{10, 11}));
    EXPECT_EQ(box.options[0].line, 4);
    EXPECT_EQ(box.options[1].line, 2);
    EXPECT_EQ(layout(box.face),
              "+----------+\n|          |\n| Go?      |\n|          |\n|          |\n"
              "|   Yes    |\n|          |\n|   No     |\n|          |\n"
              "+----------+\n");
    EXPECT_EQ(box.face.at(4, 4).foreground, rgb(cindra::gui::kAnswerColor));

    std::vector<int> answers;
    struct Receiver {
        std::vector<int>* out;
        void take(int value) { out->push_back(value); }
    } receiver{&answers};
    box.chosen.connect(cindra::util::Signal<int>::Callback::of<&Receiver::take>(receiver));

    Console screen(128, 96);
    const auto markerRow = [&] {
        box.draw(screen);
        for (int row : {4, 2}) {
            if (screen.at(12, 11 + row).glyph == cindra::gui::kMarkerGlyph) {
                EXPECT_EQ(box.face.at(2, row).glyph == cindra::gui::kMarkerGlyph, false);
                return row;
            }
        }
        return -1;
    };
    EXPECT_EQ(markerRow(), 4);
    EXPECT_TRUE(press(box, 273)); // up from the first wraps to the last
    EXPECT_EQ(markerRow(), 2);
    EXPECT_TRUE(press(box, 274)); // down from the last wraps to the first
    EXPECT_EQ(markerRow(), 4);
    for (int key : {0, 271, 275}) {
        EXPECT_TRUE(press(box, key));
    }
    EXPECT_TRUE(press(box, 274));
    EXPECT_TRUE(answers.empty());
    EXPECT_FALSE(press(box, 13));
    EXPECT_EQ(answers, (std::vector<int>{1}));
}

TEST(BoxFace, JittersWithinItsAmountAndFramesAnyCornerOrder) {
    cindra::util::Random random(7u);
    for (int i = 0; i < 2000; ++i) {
        const cindra::Color c = cindra::gui::jitterColor(3, {1, 254, 100, 9}, random);
        EXPECT_LE(c.r, 3);
        EXPECT_GE(c.g, 251);
        EXPECT_TRUE(c.b >= 97 && c.b <= 102) << int(c.b);
        EXPECT_EQ(c.a, 255);
    }
    EXPECT_EQ(cindra::gui::jitterColor(0, {1, 2, 3, 4}, random), cindra::Color(1, 2, 3, 4));
    Console console(6, 4);
    cindra::gui::drawFrame(console, 4, 2, 1, 0, 0, cindra::gui::kFrameColor);
    cindra::gui::drawFrame(console, -1, 3, 7, 3, 0, cindra::gui::kFrameColor); // clipped
    EXPECT_EQ(consoleText(console), "------\n +--+ \n |  | \n +--+ \n");
}

} // namespace
