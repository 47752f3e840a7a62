#include "cindra/Error.hpp"
#include "cindra/LightRayTable.hpp"
#include "cindra/LightSource.hpp"
#include "cindra/Map.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"
#include "cindra/util/Line.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using cindra::CellFlag;
using cindra::GridPos;
using cindra::LightLevel;
using cindra::LightSource;
using cindra::Map;
using cindra::util::Color;
using Falloff = cindra::LightSource::Falloff;

namespace {

const Color kWhite(255, 255, 255);
constexpr std::uint32_t kOpaque = CellFlag::Opaque;
constexpr std::uint32_t kBlocked = CellFlag::Blocked;

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

// A plain transcription of the light-map algorithm, one ray at a time, to check the
// engine's precomputed rays against. previous is the light map before the calculation.
class ReferenceLight {
public:
    ReferenceLight(const Map& map, GridPos pos, int radius, Falloff falloff)
        : map_(map), pos_(pos), r_(radius), d_(2 * radius + 1), falloff_(falloff),
          inverseRadius_(1.0f / static_cast<float>(radius)) {}

    std::vector<std::uint8_t> calculate(std::vector<std::uint8_t> intensity) {
        const std::size_t n = static_cast<std::size_t>(d_ * d_);
        if (intensity.size() != n) {
            intensity.assign(n, 0);
        }
        if (!map_.isInside(pos_)) {
            return intensity;
        }
        std::vector<int> sum(n, 0);
        int count = 0;
        const GridPos samples[9] = {{0, 0},   {-1, 0}, {1, 0},  {0, -1}, {0, 1},
                                    {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        for (GridPos offset : samples) {
            const GridPos p{pos_.x + offset.x, pos_.y + offset.y};
            if (!map_.isInside(p) || map_.getCell(p).flags != map_.getCell(pos_).flags) {
                continue;
            }
            if (p.x != pos_.x && p.y != pos_.y && (opaque(p.x, pos_.y) || opaque(pos_.x, p.y))) {
                continue;
            }
            scratch_.assign(n, 0);
            castAll(p);
            for (std::size_t i = 0; i < n; ++i) {
                sum[i] += scratch_[i];
            }
            ++count;
        }
        if (count > 0) {
            for (std::size_t i = 0; i < n; ++i) {
                intensity[i] = static_cast<std::uint8_t>(sum[i] / count);
            }
        }
        return intensity;
    }

private:
    bool opaque(int x, int y) const { return (map_.getCell(x, y).flags & CellFlag::Opaque) != 0; }

    void castAll(GridPos p) {
        const int areaX = pos_.x - r_;
        const int areaY = pos_.y - r_;
        for (int i = 0; i < d_; ++i) {
            ray(p, {pos_.x - r_, areaY + i});
            ray(p, {pos_.x + r_, areaY + i});
        }
        for (int i = 0; i < d_; ++i) {
            ray(p, {areaX + i, pos_.y - r_});
            ray(p, {areaX + i, pos_.y + r_});
        }
    }

    void ray(GridPos from, GridPos to) {
        cindra::util::LineIterator line(from.x, from.y, to.x, to.y);
        line.visit([&](int& x, int& y, float distance) {
            if (!map_.isInside(x, y) || opaque(x, y)) {
                return 1;
            }
            int& entry =
                scratch_[static_cast<std::size_t>((y - pos_.y + r_) * d_ + (x - pos_.x + r_))];
            if (entry > 0) {
                return 0;
            }
            double value;
            if (falloff_ == Falloff::Linear) {
                value = 255.0 - static_cast<double>(distance) * 256.0 * inverseRadius_;
            } else {
                const float t = inverseRadius_ * distance;
                value = 255.0 - static_cast<double>(t) * 256.0 * static_cast<double>(t);
            }
            const int v = static_cast<int>(std::nearbyint(value));
            if (v <= 0) {
                return 1;
            }
            entry = v;
            return 0;
        });
    }

    const Map& map_;
    GridPos pos_;
    int r_;
    int d_;
    Falloff falloff_;
    float inverseRadius_;
    std::vector<int> scratch_;
};

// Checks every subset of opaque cells in a 4 x 4 block against the reference.
void checkEveryWallLayout(int mapSize, GridPos light, int radius, GridPos blockCorner,
                          Falloff falloff) {
    Map map(mapSize, mapSize);
    LightSource engine(light, radius, kWhite, falloff);
    for (int layout = 0; layout < (1 << 16); ++layout) {
        for (int bit = 0; bit < 16; ++bit) {
            map.getCell(blockCorner.x + bit % 4, blockCorner.y + bit / 4).flags =
                (layout >> bit & 1) != 0 ? kOpaque : 0u;
        }
        engine.calculate(map);
        ReferenceLight reference(map, light, radius, falloff);
        ASSERT_EQ(engine.getIntensities(), reference.calculate({}))
            << "layout " << layout << " radius " << radius;
    }
}

} // namespace

TEST(LightMap, MatchesTheWorkedExamples) {
    Map map(50, 50);
    LightSource linear({10, 10}, 2, kWhite, Falloff::Linear);
    linear.calculate(map);
    EXPECT_EQ(lightMapText(linear), "8 22 30 22 8\n"
                                    "22 61 89 61 22\n"
                                    "30 86 120 86 30\n"
                                    "22 61 89 61 22\n"
                                    "8 22 30 22 8\n");
    LightSource quadratic({10, 10}, 2, kWhite, Falloff::Quadratic);
    quadratic.calculate(map);
    EXPECT_EQ(lightMapText(quadratic), "14 35 49 35 14\n"
                                       "35 81 124 81 35\n"
                                       "49 119 174 119 49\n"
                                       "35 81 124 81 35\n"
                                       "14 35 49 35 14\n");
    map.getCell(11, 10).flags = CellFlag::Opaque;
    linear.calculate(map);
    EXPECT_EQ(lightMapText(linear), "12 33 33 12 0\n"
                                    "33 92 98 31 0\n"
                                    "45 129 131 0 0\n"
                                    "33 92 98 31 0\n"
                                    "12 33 33 12 0\n");
    LightSource small({20, 20}, 1, kWhite, Falloff::Linear);
    small.calculate(map);
    EXPECT_EQ(lightMapText(small), "28 28 28\n28 28 28\n28 28 28\n");
}

TEST(LightMap, EveryWallLayoutAroundTheLightMatchesTheReference) {
    // The block covers the light's cell and all its sample points.
    checkEveryWallLayout(7, {3, 3}, 3, {2, 2}, Falloff::Linear);
    checkEveryWallLayout(7, {3, 3}, 3, {2, 2}, Falloff::Quadratic);
    // A light at the map's corner: rays also leave the map.
    checkEveryWallLayout(5, {1, 1}, 2, {0, 0}, Falloff::Linear);
}

TEST(LightMap, RandomMapsWithAllFlagKindsMatchTheReference) {
    std::mt19937 random(1234);
    for (int round = 0; round < 400; ++round) {
        const int size = 4 + static_cast<int>(random() % 40);
        Map map(size, size);
        const unsigned wallChance = random() % 5;
        for (auto& cell : map.cells()) {
            const unsigned roll = random() % 10;
            cell.flags = roll < wallChance ? kOpaque : roll == 9 ? kBlocked : 0u;
            cell.flags |= roll == 8 && wallChance > 2 ? CellFlag::Opaque | CellFlag::Blocked : 0;
        }
        const int radius = 1 + static_cast<int>(random() % (round % 20 == 0 ? 40 : 9));
        const GridPos pos{static_cast<int>(random() % (size + 4)) - 2,
                          static_cast<int>(random() % (size + 4)) - 2};
        const Falloff falloff = random() % 2 ? Falloff::Linear : Falloff::Quadratic;
        LightSource engine(pos, radius, kWhite, falloff);
        engine.calculate(map);
        ReferenceLight reference(map, pos, radius, falloff);
        ASSERT_EQ(engine.getIntensities(), reference.calculate({})) << "round " << round;
    }
}

TEST(LightMap, LargeRadiiCastWithoutTablesMatchTheReference) {
    std::mt19937 random(99);
    for (int round = 0; round < 6; ++round) {
        Map map(150, 150);
        for (auto& cell : map.cells()) {
            cell.flags = random() % 12 == 0 ? kOpaque : 0u;
        }
        const int radius = cindra::LightRayTable::kMaxRadius + 1 + round * 3;
        const GridPos pos{40 + round * 13, 75};
        map.getCell(pos).flags = 0;
        const Falloff falloff = round % 2 ? Falloff::Linear : Falloff::Quadratic;
        LightSource engine(pos, radius, kWhite, falloff);
        engine.calculate(map);
        ReferenceLight reference(map, pos, radius, falloff);
        ASSERT_EQ(engine.getIntensities(), reference.calculate({})) << "round " << round;
    }
}

TEST(LightMap, OpaqueOrOutsideLightCells) {
    Map map(20, 20);
    map.getCell(5, 5).flags = CellFlag::Opaque;
    LightSource walled({5, 5}, 3, kWhite, Falloff::Linear);
    walled.calculate(map);
    EXPECT_EQ(walled.getIntensities(), std::vector<std::uint8_t>(49, 0));

    // A light outside the map keeps its previous light map, whatever it was.
    LightSource light({2, 2}, 2, kWhite, Falloff::Linear);
    light.calculate(map);
    const std::vector<std::uint8_t> before = light.getIntensities();
    light.position = {-10, 4};
    light.markForRecalculation();
    light.calculate(map);
    EXPECT_EQ(light.getIntensities(), before);
    EXPECT_FALSE(light.needsRecalculation());
    EXPECT_EQ(light.getAreaX(), -12);
    light.position = {2147483647, -2147483647 - 1}; // arithmetic must not overflow
    light.calculate(map);
    EXPECT_EQ(light.getIntensities(), before);
    EXPECT_FALSE(light.coversCell({0, 0}));
    EXPECT_TRUE(light.coversCell({2147483647, -2147483647 - 1}));
}

TEST(LightMap, PartlyOutsideTheMapKeepsZeroThere) {
    Map map(10, 10);
    LightSource light({0, 0}, 2, kWhite, Falloff::Linear);
    light.calculate(map);
    int value = -1;
    ASSERT_TRUE(light.getIntensity(-1, 0, value));
    EXPECT_EQ(value, 0);
    ASSERT_TRUE(light.getIntensity(0, 0, value));
    EXPECT_GT(value, 0);
    EXPECT_FALSE(light.getIntensity(3, 0, value));
}

TEST(LightSource, FalloffValues) {
    for (Falloff f : {Falloff::Linear, Falloff::Quadratic}) {
        EXPECT_EQ(LightSource::falloffValue(f, 1.0f / 16.0f, 0.0f), 255);
        EXPECT_LE(LightSource::falloffValue(f, 1.0f / 16.0f, 16.0f), 0);
    }
    // 255 - 0.5 * 256 / 1 = 127; linear at distance 1 of radius 2: 255 - 128 = 127.
    EXPECT_EQ(LightSource::falloffValue(Falloff::Linear, 0.5f, 1.0f), 127);
    // Ties go to even: 255 - 254.5 = 0.5 -> 0.
    EXPECT_EQ(LightSource::falloffValue(Falloff::Linear, 1.0f / 256.0f, 254.5f), 0);
    EXPECT_EQ(LightSource::falloffValue(Falloff::Linear, 1.0f / 256.0f, 253.5f), 2);
    EXPECT_EQ(LightSource::falloffValue(Falloff::Quadratic, 0.5f, 1.0f), 191);
}

TEST(LightSource, SettersRefuseBadValuesAndMark) {
    LightSource light({0, 0}, 4, kWhite, Falloff::Linear);
    EXPECT_TRUE(light.needsRecalculation());
    EXPECT_EQ(light.getInverseRadius(), 0.25f);
    EXPECT_THROW(light.setRadius(0), cindra::Error);
    EXPECT_THROW(light.setRadius(-3), cindra::Error);
    EXPECT_THROW(light.setRadius(LightSource::kMaxRadius + 1), cindra::Error);
    EXPECT_THROW(light.setFalloff(static_cast<Falloff>(2)), cindra::Error);
    EXPECT_THROW(light.setFalloff(static_cast<Falloff>(-1)), cindra::Error);
    EXPECT_EQ(light.getRadius(), 4);
    EXPECT_EQ(light.getFalloff(), Falloff::Linear);
    EXPECT_THROW(LightSource({0, 0}, 0, kWhite, Falloff::Linear), cindra::Error);

    Map map(10, 10);
    light.calculate(map);
    EXPECT_FALSE(light.needsRecalculation());
    light.setRadius(LightSource::kMaxRadius);
    EXPECT_TRUE(light.needsRecalculation());
    light.calculate(map);
    light.setFalloff(Falloff::Quadratic);
    EXPECT_TRUE(light.needsRecalculation());
}

TEST(LightSource, CloneCopiesSettingsButNotTheLightMap) {
    Map map(10, 10);
    LightSource light({3, 4}, 2, Color(10, 20, 30, 40), Falloff::Quadratic, 99);
    light.calculate(map);
    const auto copy = light.clone();
    EXPECT_EQ(copy->position, (GridPos{3, 4}));
    EXPECT_EQ(copy->getRadius(), 2);
    EXPECT_EQ(copy->color, Color(10, 20, 30, 40));
    EXPECT_EQ(copy->getFalloff(), Falloff::Quadratic);
    EXPECT_EQ(copy->fade, 99);
    EXPECT_TRUE(copy->needsRecalculation());
    EXPECT_TRUE(copy->getIntensities().empty());
}

TEST(LightSource, ContributionScalesByFadeAndColour) {
    Map map(10, 10);
    LightSource light({5, 5}, 1, kWhite, Falloff::Linear, 256);
    light.calculate(map);
    // Force a full-intensity cell through a one-sample light: a light walled in on all
    // sides but its own cell gets 255 there.
    for (int y = 4; y <= 6; ++y) {
        for (int x = 4; x <= 6; ++x) {
            map.getCell(x, y).flags = (x == 5 && y == 5) ? 0u : kOpaque;
        }
    }
    light.calculate(map);
    int v = 0;
    ASSERT_TRUE(light.getIntensity(5, 5, v));
    ASSERT_EQ(v, 255);
    LightLevel sum{1, 2, 3};
    light.addContribution(5, 5, sum);
    EXPECT_EQ(sum, (LightLevel{255, 256, 257}));
    light.fade = 128;
    sum = {};
    light.addContribution(5, 5, sum);
    EXPECT_EQ(sum, (LightLevel{126, 126, 126}));
    light.color = Color(128, 0, 255);
    light.fade = 1 << 30; // a huge fade does not overflow
    sum = {};
    light.addContribution(5, 5, sum);
    EXPECT_EQ(sum.red, (128 * ((std::int64_t{1} << 30) * 255 >> 8)) >> 8);
    sum = {};
    light.addContribution(9, 9, sum); // outside the square
    light.addContribution(4, 4, sum); // wall: intensity 0
    EXPECT_EQ(sum, LightLevel{});
}

TEST(LightSource, RecordIs24LittleEndianBytesAndRefusesBadValues) {
    LightSource light({-2, 7}, 5, Color(1, 2, 3, 4), Falloff::Quadratic, 300);
    std::ostringstream out;
    cindra::util::DataWriter writer(out);
    light.save(writer);
    const std::string bytes = out.str();
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(bytes, std::string("\xFE\xFF\xFF\xFF\x07\0\0\0\x05\0\0\0\x01\x02\x03\x04"
                                 "\x2C\x01\0\0\x01\0\0\0",
                                 24));
    std::istringstream in(bytes);
    cindra::util::DataReader reader(in, "l.bin");
    LightSource loaded(reader);
    EXPECT_EQ(loaded.position, (GridPos{-2, 7}));
    EXPECT_EQ(loaded.getRadius(), 5);
    EXPECT_EQ(loaded.getInverseRadius(), 0.2f);
    EXPECT_EQ(loaded.color, Color(1, 2, 3, 4));
    EXPECT_EQ(loaded.fade, 300);
    EXPECT_EQ(loaded.getFalloff(), Falloff::Quadratic);
    EXPECT_TRUE(loaded.needsRecalculation());

    std::string badFalloff = bytes;
    badFalloff[20] = 2;
    std::istringstream in2(badFalloff);
    cindra::util::DataReader reader2(in2, "l.bin");
    EXPECT_THROW(LightSource{reader2}, cindra::Error);
}
