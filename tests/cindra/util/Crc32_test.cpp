#include "cindra/util/Crc32.hpp"

#include <gtest/gtest.h>

using cindra::util::crc32;
using cindra::util::crc32Table;

TEST(Crc32, StandardCheckValuesAndTable) {
    EXPECT_EQ(crc32(""), 0x00000000u);
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    EXPECT_EQ(crc32Table()[0], 0u);
    EXPECT_EQ(crc32Table()[1], 0x77073096u);
    EXPECT_EQ(crc32Table()[255], 0x2D02EF8Du);
}

TEST(Crc32, RunningCrcEqualsTheWholeAndBytesAreUnsigned) {
    EXPECT_EQ(crc32("56789", crc32("1234")), crc32("123456789"));
    EXPECT_NE(crc32("\xFF"), crc32("\x7F"));
    EXPECT_EQ(crc32(std::string_view("\0", 1)), 0xD202EF8Du);
}
