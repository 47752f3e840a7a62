#include "cindra/Error.hpp"
#include "cindra/LightSource.hpp"
#include "cindra/Map.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using cindra::LightLevel;
using cindra::LightSource;
using cindra::Map;
using cindra::Opaque;
using cindra::util::Color;
using Falloff = cindra::LightSource::Falloff;

namespace {

// The light map as rows from the top (largest y) down, as they would be drawn.
std::string lightMapText(const LightSource& light) {
    std::string text;
    const int d = light.getDiameter();
    for (int row = d - 1; row >= 0; --row) {
        for (int col = 0; col < d; ++col) {
            text += std::to_string(light.getIntensities()[static_cast<std::size_t>(row * d + col)]);
            text += col + 1 < d ? " " : "\n";
        }
    }
    return text;
}

} // namespace

TEST(LightMap, MatchesTheReferenceExamples) {
    Map map(50, 50);
    LightSource linear({10, 10}, 2, Color(255, 255, 255), Falloff::Linear);
    linear.calculate(map);
    EXPECT_EQ(lightMapText(linear), "8 22 30 22 8\n"
                                    "22 61 89 61 22\n"
                                    "30 86 120 86 30\n"
                                    "22 61 89 61 22\n"
                                    "8 22 30 22 8\n");
    LightSource quadratic({10, 10}, 2, Color(255, 255, 255), Falloff::Quadratic);
    quadratic.calculate(map);
    EXPECT_EQ(lightMapText(quadratic), "14 35 49 35 14\n"
                                       "35 81 124 81 35\n"
                                       "49 119 174 119 49\n"
                                       "35 81 124 81 35\n"
                                       "14 35 49 35 14\n");
    map.getCell(11, 10).flags = Opaque;
    linear.calculate(map);
    EXPECT_EQ(lightMapText(linear), "12 33 33 12 0\n"
                                    "33 92 98 31 0\n"
                                    "45 129 131 0 0\n"
                                    "33 92 98 31 0\n"
                                    "12 33 33 12 0\n");
    LightSource small({20, 20}, 1, Color(255, 255, 255), Falloff::Linear);
    small.calculate(map);
    EXPECT_EQ(lightMapText(small), "28 28 28\n28 28 28\n28 28 28\n");
}
