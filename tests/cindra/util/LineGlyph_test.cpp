#include "cindra/util/LineGlyph.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using cindra::util::kNoGlyph;
using cindra::util::lineGlyph;

TEST(LineGlyph, CoversTheTableAndNothingElse) {
    const std::vector<std::pair<unsigned, std::pair<int, int>>> table = {
        {3, {192, 200}},  {5, {179, 186}},  {6, {218, 201}},  {7, {195, 204}},
        {9, {217, 188}},  {10, {196, 205}}, {11, {193, 202}}, {12, {191, 187}},
        {13, {180, 185}}, {14, {194, 203}}, {15, {197, 206}},
    };
    for (const auto& [mask, glyphs] : table) {
        EXPECT_EQ(lineGlyph(0, mask), glyphs.first) << mask;
        EXPECT_EQ(lineGlyph(-1, mask), glyphs.first) << mask;
        EXPECT_EQ(lineGlyph(1, mask), glyphs.second) << mask;
        EXPECT_EQ(lineGlyph(2, mask), glyphs.second) << mask;
    }
    for (unsigned mask : {0u, 1u, 2u, 4u, 8u, 16u, 31u, 0xFFFFFFFFu}) {
        EXPECT_EQ(lineGlyph(0, mask), kNoGlyph) << mask;
        EXPECT_EQ(lineGlyph(1, mask), kNoGlyph) << mask;
    }
}
