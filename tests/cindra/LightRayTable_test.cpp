#include "cindra/LightRayTable.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using cindra::GridPos;
using cindra::LightRayTable;
using Falloff = cindra::LightSource::Falloff;

TEST(LightRayTable, TablesAreSharedPerRadiusAndFalloff) {
    const auto a = LightRayTable::get(5, Falloff::Linear);
    const auto b = LightRayTable::get(5, Falloff::Linear);
    const auto c = LightRayTable::get(5, Falloff::Quadratic);
    const auto d = LightRayTable::get(6, Falloff::Linear);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_NE(a.get(), c.get());
    EXPECT_NE(a.get(), d.get());
    EXPECT_EQ(c->falloff(), Falloff::Quadratic);
    EXPECT_EQ(d->diameter(), 13);
}

TEST(LightRayTable, TargetsRunAroundTheBorderInCastingOrder) {
    const std::vector<GridPos> targets = LightRayTable::rayTargets(1);
    EXPECT_EQ(targets, (std::vector<GridPos>{{-1, -1},
                                             {1, -1},
                                             {-1, 0},
                                             {1, 0},
                                             {-1, 1},
                                             {1, 1},
                                             {-1, -1},
                                             {-1, 1},
                                             {0, -1},
                                             {0, 1},
                                             {1, -1},
                                             {1, 1}}));
    EXPECT_EQ(LightRayTable::rayTargets(16).size(), 4u * 33u);
}

TEST(LightRayTable, CastingMatchesDirectCastingWhateverStopsTheRays) {
    const LightRayTable table(4, Falloff::Linear);
    const auto cells = static_cast<std::size_t>(table.diameter() * table.diameter());
    std::vector<std::uint32_t> lit(table.paddedCells(), LightRayTable::kUnlit);
    for (std::size_t i = 0; i < cells; i += 7) {
        lit[i] = LightRayTable::kStop;
    }
    const std::vector<std::uint32_t> stops = lit;
    for (int s = 0; s < 9; ++s) {
        std::vector<std::uint8_t> direct(cells, 0);
        LightRayTable::castDirect(4, Falloff::Linear,
                                  LightRayTable::kSampleOffsets[static_cast<std::size_t>(s)],
                                  stops.data(), direct.data());
        table.cast(s, lit.data());
        for (std::size_t i = 0; i < cells; ++i) {
            ASSERT_EQ(LightRayTable::valueOf(lit[i], s), direct[i])
                << "sample " << s << " cell " << i;
        }
        // With nothing in the way, the stored open result is what casting gives.
        const std::vector<std::uint32_t> none(cells, LightRayTable::kUnlit);
        std::vector<std::uint8_t> open(cells, 0);
        LightRayTable::castDirect(4, Falloff::Linear,
                                  LightRayTable::kSampleOffsets[static_cast<std::size_t>(s)],
                                  none.data(), open.data());
        EXPECT_TRUE(std::equal(open.begin(), open.end(), table.openResult(s).begin()));
    }
}
