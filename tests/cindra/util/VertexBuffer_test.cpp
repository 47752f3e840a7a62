#include "cindra/util/VertexBuffer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

TEST(VertexBufferVA, StartsDefinedAndBindsItsOwnStorage) {
    cindra::util::VertexBuffer_VA<float> floats(8);
    auto data = floats.map();
    ASSERT_EQ(data.size(), 8u);
    EXPECT_TRUE(std::isnan(data[7]));
    data[0] = 3.0f;
    floats.unmap();
    EXPECT_EQ(floats.bind(), data.data());
    EXPECT_EQ(static_cast<const float*>(floats.bind())[0], 3.0f);

    cindra::util::VertexBuffer_VA<std::uint8_t> bytes(16);
    for (std::uint8_t b : bytes.map()) {
        EXPECT_EQ(b, 0);
    }
}
