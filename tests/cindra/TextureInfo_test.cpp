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
