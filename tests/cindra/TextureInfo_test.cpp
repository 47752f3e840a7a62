#include "cindra/TextureInfo.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(TextureInfo, PadsToPowersOfTwoAndPlacesTheEdges) {
    cindra::TextureInfo fresh;
    EXPECT_TRUE(std::isnan(fresh.right));
    EXPECT_EQ(fresh.width, 0);

    cindra::TextureInfo info = cindra::textureSizes(100, 60);
    EXPECT_EQ(info.textureWidth, 128);
    EXPECT_EQ(info.textureHeight, 64);
    cindra::setTextureEdges(info);
    EXPECT_EQ(info.right, 0.78125f);
    EXPECT_EQ(info.bottom, 0.9375f);
    EXPECT_EQ(info.left, 0.0f);
    EXPECT_EQ(info.top, 0.0f);

    cindra::TextureInfo square = cindra::textureSizes(128, 128);
    EXPECT_EQ(square.textureWidth, 128);
    EXPECT_EQ(cindra::textureSizes(1, 0).textureHeight, 1);
}

TEST(TextureInfo, UploadFormatsForDesktopOpenGlAndForWebGl) {
    struct Case {
        bool hasAlpha, intensity, unsizedOnly;
        int internalFormat, format;
        bool spread;
    };
    // GL_RGB 0x1907, GL_RGBA 0x1908, GL_RGB8 0x8051, GL_RGBA8 0x8058, GL_INTENSITY 0x8049.
    const Case cases[] = {
        {false, false, false, 0x8051, 0x1907, false}, {true, false, false, 0x8058, 0x1908, false},
        {false, true, false, 0x8049, 0x1907, false},  {true, true, false, 0x8049, 0x1908, false},
        {false, false, true, 0x1907, 0x1907, false},  {true, false, true, 0x1908, 0x1908, false},
        {false, true, true, 0x1908, 0x1908, true},    {true, true, true, 0x1908, 0x1908, true},
    };
    for (const Case& c : cases) {
        const auto how = cindra::textureUpload(c.hasAlpha, c.intensity, c.unsizedOnly);
        EXPECT_EQ(how.internalFormat, c.internalFormat)
            << c.hasAlpha << c.intensity << c.unsizedOnly;
        EXPECT_EQ(how.format, c.format) << c.hasAlpha << c.intensity << c.unsizedOnly;
        EXPECT_EQ(how.spreadRed, c.spread) << c.hasAlpha << c.intensity << c.unsizedOnly;
    }
    // Two RGB pixels a row, each row padded to 8 bytes: only the reds count.
    const std::uint8_t pixels[] = {10, 1, 2, 20, 3, 4, 99, 99, 30, 5, 6, 40, 7, 8, 99, 99};
    EXPECT_EQ(cindra::spreadRed(pixels, 2, 2, 8, 3),
              (std::vector<std::uint8_t>{10, 10, 10, 10, 20, 20, 20, 20, 30, 30, 30, 30, 40, 40, 40,
                                         40}));
}
