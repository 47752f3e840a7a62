#include "cindra/gui/BrowserKeys.hpp"
#include "cindra/gui/Gui.hpp"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace cindra::gui;

TEST(BrowserKeys, BecomeTheKeyCodesOfSdl12) {
    const int special = kBrowserSpecialBase;
    const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
        {'a', 'a'},
        {kKeyReturn, kKeyReturn},
        {kKeyEscape, kKeyEscape},
        {special + 82, kKeyUp},
        {special + 81, kKeyDown},
        {special + 79, kKeyRight},
        {special + 80, kKeyLeft},
        {special + 58, kKeyF1},
        {special + 62, kKeyF5},
        {special + 89, kKeypad1},
        {special + 97, kKeypad9},
        {special + 225, kKeyLeftShift},
        {special + 230, kKeyRightAlt},
        {special + 500, 0},
        {-1, 0},
        {special - 1, 0},
    };
    for (const auto& [code, key] : cases) {
        EXPECT_EQ(keyFromBrowserCode(code), key) << code;
    }

    std::array<std::uint8_t, kBrowserKeyStates> browser{};
    browser['m'] = 1;
    browser[special + 82] = 1;
    browser[special + 226] = 1;
    std::array<std::uint8_t, kKeyCodeCount> states;
    states.fill(7);
    browserKeyStates(browser.data(), states);
    for (int key = 0; key < kKeyCodeCount; ++key) {
        const bool down = key == 'm' || key == kKeyUp || key == kKeyLeftAlt;
        EXPECT_EQ(states[static_cast<std::size_t>(key)], down ? 1 : 0) << key;
    }
}
