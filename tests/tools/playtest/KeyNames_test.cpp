#include "playtest/KeyNames.hpp"

#include <gtest/gtest.h>

#include <set>

namespace cindra::playtest {
namespace {

TEST(KeyNames, NamesMapToSdlCodesAndCharacters) {
    struct Case {
        std::string_view name;
        int code;
        std::uint16_t plain;
        std::uint16_t shifted;
    };
    const std::vector<Case> cases = {
        {"a", 97, 'a', 'A'},     {"z", 122, 'z', 'Z'},     {"1", 49, '1', '!'},
        {"/", 47, '/', '?'},     {"`", 96, '`', '~'},      {"!", 33, '!', '!'},
        {"space", 32, ' ', ' '}, {"return", 13, 13, 13},   {"backspace", 8, 8, 8},
        {"tab", 9, 9, 9},        {"escape", 27, 27, 27},   {"delete", 127, 0, 0},
        {"kp0", 256, 0, 0},      {"[9]", 265, 0, 0},       {"[+]", 270, 0, 0},
        {"enter", 271, 0, 0},    {"equals", 272, 0, 0},    {"left", 276, 0, 0},
        {"pagedown", 281, 0, 0}, {"page down", 281, 0, 0}, {"f1", 282, 0, 0},
        {"f15", 296, 0, 0},      {"lshift", 304, 0, 0},    {"right alt", 307, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyCode(c.name), c.code) << c.name;
        EXPECT_EQ(unicodeOf(c.code, false), c.plain) << c.name;
        EXPECT_EQ(unicodeOf(c.code, true), c.shifted) << c.name;
    }
    for (std::string_view unknown : {"", "A", "%", "f0", "f16", "[10]", "kp", "shift", "uo"}) {
        EXPECT_FALSE(keyCode(unknown)) << unknown;
    }
}

TEST(KeyNames, EveryListedNameIsKnownAndTypingRoundTrips) {
    const auto names = keyNames();
    EXPECT_EQ(std::set<std::string_view>(names.begin(), names.end()).size(), names.size());
    int previous = 0;
    for (std::string_view name : names) {
        ASSERT_TRUE(keyCode(name)) << name;
        EXPECT_GE(*keyCode(name), previous) << name;
        previous = *keyCode(name);
        EXPECT_EQ(name.find(' '), std::string_view::npos) << name;
    }
    // Every character a US keyboard types comes back from the key that types it.
    for (char16_t c = 1; c < 128; ++c) {
        const auto stroke = keyFor(c);
        if (c >= ' ' && c < 127) {
            ASSERT_TRUE(stroke) << int(c);
        }
        if (stroke) {
            EXPECT_EQ(unicodeOf(stroke->code, stroke->shift), c) << int(c);
        }
    }
}

} // namespace
} // namespace cindra::playtest
