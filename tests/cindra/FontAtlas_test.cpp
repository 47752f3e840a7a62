#include "cindra/FontAtlas.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <string>

using cindra::Error;
using cindra::FontAtlas;
using cindra::util::Color;
using cindra::util::Image;

TEST(FontAtlas, RefusesSizesThatAreNotPowersOfTwo) {
    for (auto [w, h] : {std::pair{100, 60}, {128, 96}, {96, 128}, {8, 8}, {128, 8}}) {
        try {
            FontAtlas atlas{Image(w, h)};
            FAIL() << w << " x " << h << " accepted";
        } catch (const Error& e) {
            std::string expected = std::to_string(w) + " x " + std::to_string(h);
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
    Image inconsistent(16, 16);
    inconsistent.rgb.resize(10);
    EXPECT_THROW(FontAtlas{inconsistent}, Error);
}

TEST(FontAtlas, GlyphCellsAndIntensityFromTheRedChannel) {
    Image img(256, 64);
    img.setPixel(3, 5, Color(200, 0, 0));
    img.setPixel(4, 5, Color(0, 255, 255));
    img.setPixel(255, 63, Color(255, 1, 2));
    FontAtlas atlas(img);
    EXPECT_EQ(atlas.width(), 256);
    EXPECT_EQ(atlas.height(), 64);
    EXPECT_EQ(atlas.glyphWidth(), 16);
    EXPECT_EQ(atlas.glyphHeight(), 4);
    EXPECT_EQ(atlas.intensity(3, 5), 200);
    EXPECT_EQ(atlas.intensity(4, 5), 0);
    EXPECT_EQ(atlas.intensity(255, 63), 255);
    EXPECT_EQ(FontAtlas(Image(16, 16)).glyphWidth(), 1);
}
