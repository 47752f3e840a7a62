#include "cindra/gui/Gui.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using cindra::gui::InputState;

TEST(GuiInput, MapsPixelsToCellsAndClamps) {
    InputState state;
    cindra::gui::applyFrameSample(state, 1023, 0, 0, nullptr, 0);
    EXPECT_EQ(state.mousePos.x, 127);
    EXPECT_EQ(state.mousePos.y, 96);
    cindra::gui::clampMouse(state, 128, 96);
    EXPECT_EQ(state.mousePos.y, 95);
    EXPECT_FALSE(state.mouseInside);

    cindra::gui::applyFrameSample(state, 0, 767, 0, nullptr, 0);
    cindra::gui::clampMouse(state, 128, 96);
    EXPECT_EQ(state.mousePos.x, 0);
    EXPECT_EQ(state.mousePos.y, 0);
    EXPECT_TRUE(state.mouseInside);

    cindra::gui::applyFrameSample(state, -9, 800, 0, nullptr, 0);
    cindra::gui::clampMouse(state, 128, 96);
    EXPECT_EQ(state.mousePos.x, 0);
    EXPECT_EQ(state.mousePos.y, 0);
    EXPECT_FALSE(state.mouseInside);
}

TEST(GuiInput, FrameSampleClearsOnlyPerFrameValuesOfButtonsOneToThree) {
    InputState state;
    cindra::gui::recordKeyDown(state, 97, 'a');
    cindra::gui::recordKeyDown(state, 98, 'b');
    EXPECT_EQ(state.lastKey, 98);
    EXPECT_EQ(state.lastUnicode, 'b');
    cindra::gui::recordMouseButton(state, 1, true);
    cindra::gui::recordMouseButton(state, 4, true);
    cindra::gui::recordMouseButton(state, 3, false);
    EXPECT_TRUE(state.mousePressed[1]);
    EXPECT_TRUE(state.mouseReleased[3]);

    std::array<std::uint8_t, 400> keys{};
    keys[303] = 1;
    keys[307] = 1;
    cindra::gui::applyFrameSample(state, 0, 0, 0b101, keys.data(), 400);
    EXPECT_EQ(state.lastKey, 0);
    EXPECT_FALSE(state.mousePressed[1]);
    EXPECT_FALSE(state.mouseReleased[3]);
    EXPECT_TRUE(state.mousePressed[4]); // wheel buttons are left alone
    EXPECT_TRUE(state.mouseDown[1]);
    EXPECT_FALSE(state.mouseDown[2]);
    EXPECT_TRUE(state.mouseDown[3]);
    EXPECT_TRUE(state.shiftDown);
    EXPECT_FALSE(state.ctrlDown);
    EXPECT_TRUE(state.altDown);
    EXPECT_TRUE(state.isKeyDown(303));
    EXPECT_FALSE(state.isKeyDown(400));
    EXPECT_FALSE(state.isKeyDown(-1));
}

TEST(GuiElementId, IsTheFileNameChecksumPlusTheLineWrappingAround) {
    EXPECT_EQ(cindra::gui::elementId("123456789", 0), 0xCBF43926u);
    EXPECT_EQ(cindra::gui::elementId("123456789", 10), 0xCBF43926u + 10u);
    EXPECT_NE(cindra::gui::elementId("a.lua", 3), cindra::gui::elementId("b.lua", 3));
    // 0xCBF43926 + 0x340BC6DA wraps to 0.
    EXPECT_EQ(cindra::gui::elementId("123456789", 0x340BC6DAu), 0u);
}

// A key-down of a key that is up counts only when its release follows in the same frame;
// a held key's repeats always count. Key 274 is Down, 13 Return.
TEST(GuiInput, AKeyDownOfAKeyAlreadyUpIsARepeatUnlessItsReleaseFollows) {
    using cindra::gui::KeyEvent;
    struct Case {
        const char* name;
        bool held;
        std::vector<KeyEvent> later;
        bool repeat;
    };
    const std::vector<Case> cases = {
        {"held, nothing after", true, {}, false},
        {"held, another key released after", true, {{13, false}}, false},
        {"up, released after", false, {{274, false}}, false},
        {"up, released after another key's events",
         false,
         {{13, true}, {13, false}, {274, false}},
         false},
        {"up, nothing after", false, {}, true},
        {"up, only another key released after", false, {{13, false}}, true},
        {"up, only pressed again after", false, {{274, true}}, true},
    };
    std::array<std::uint8_t, 400> keys{};
    InputState state;
    for (const Case& c : cases) {
        keys[274] = c.held ? 1 : 0;
        cindra::gui::applyFrameSample(state, 0, 0, 0, keys.data(), 400);
        EXPECT_EQ(cindra::gui::isRepeatOfReleasedKey(274, c.later, state), c.repeat) << c.name;
    }
    // Outside the key-state array a key is never held.
    EXPECT_TRUE(cindra::gui::isRepeatOfReleasedKey(500, {}, state));
}
