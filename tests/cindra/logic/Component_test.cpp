#include "support/ScriptWorld.hpp"

#include "cindra/Error.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/util/Signal.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using cindra::GridPos;
using cindra::logic::Direction;
using cindra::logic::LocationComponent;
using cindra::test::levelSource;
using cindra::test::ScriptWorld;

namespace {

cindra::logic::Entities& registry(ScriptWorld& game) {
    return game.world().entities();
}

constexpr const char* kOpen = ".....\n.....\n.....\n.....\n.....\n";

// Starts a 5 x 5 level (rows top first, '#' blocked) with a new entity located at start.
LocationComponent& walker(ScriptWorld& game, const char* rows, GridPos start) {
    game.level("intro.cmap", levelSource(5, 5, "", rows));
    const auto e = game.start().newEntity();
    registry(game).createComponent(e, "location");
    LocationComponent& location = *registry(game).location(e);
    location.setPosition(start);
    return location;
}

TEST(LocationComponent, DiagonalsSlideAlongTheFreeAxisAndStraightStepsStop) {
    struct Case {
        const char* rows;
        Direction direction;
        GridPos end;
    };
    // From the middle cell (2,2); row strings run from y = 4 down to y = 0.
    const std::vector<Case> cases = {
        {kOpen, Direction::NorthEast, {3, 3}},
        {".....\n...#.\n.....\n.....\n.....\n", Direction::NorthEast, {3, 2}}, // east is free
        {".....\n...#.\n...#.\n.....\n.....\n", Direction::NorthEast, {2, 3}}, // north is free
        {".....\n..##.\n...#.\n.....\n.....\n", Direction::NorthEast, {2, 2}}, // both blocked
        {".....\n.....\n.#...\n.....\n.....\n", Direction::West, {2, 2}},      // no sliding
        {".....\n.....\n.....\n.#...\n.....\n", Direction::SouthWest, {1, 2}},
        {kOpen, Direction::South, {2, 1}},
        {kOpen, Direction::NorthWest, {1, 3}},
    };
    for (const Case& c : cases) {
        ScriptWorld game;
        LocationComponent& location = walker(game, c.rows, {2, 2});
        game.clock().update(1.0f);
        location.moveDirectional(c.direction);
        EXPECT_EQ(location.position, c.end) << static_cast<int>(c.direction) << "\n" << c.rows;
    }
}

TEST(LocationComponent, StepsArePacedByTheGameClock) {
    ScriptWorld game;
    LocationComponent& location = walker(game, ".....\n.....\n.....\n.....\n..#..\n", {4, 0});
    game.clock().update(1.0f);
    location.moveDirectional(Direction::West);
    location.moveDirectional(Direction::West); // within 0.1 s: no second step
    EXPECT_EQ(location.position, (GridPos{3, 0}));
    game.clock().update(0.1f);
    location.moveDirectional(Direction::West); // blocked, but it restarts the delay
    game.clock().update(0.05f);
    location.moveDirectional(Direction::North);
    EXPECT_EQ(location.position, (GridPos{3, 0}));
    game.clock().update(0.06f);
    location.moveDirectional(Direction::North);
    EXPECT_EQ(location.position, (GridPos{3, 1}));

    location.setSpeed(4);
    EXPECT_FLOAT_EQ(location.moveDelay, 0.25f);
    EXPECT_FLOAT_EQ(location.getSpeed(), 4.0f);
    for (float frozen : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        location.setSpeed(frozen);
        game.clock().update(1000.0f);
        location.moveDirectional(Direction::North);
        EXPECT_EQ(location.position, (GridPos{3, 1})) << frozen;
    }
    location.setSpeed(0);
    EXPECT_EQ(location.moveDelay, std::numeric_limits<float>::max());
}

TEST(LocationComponent, MovesTowardsATargetGreedily) {
    ScriptWorld game;
    LocationComponent& location = walker(game, kOpen, {0, 0});
    const float before = location.lastMoveTime;
    EXPECT_TRUE(location.moveTowards({0, 0}));
    EXPECT_EQ(location.lastMoveTime, before);
    game.clock().update(1.0f);
    EXPECT_FALSE(location.moveTowards({2, 1}));
    EXPECT_EQ(location.position, (GridPos{1, 1}));
    EXPECT_FALSE(location.moveTowards({2, 1})); // the delay runs
    game.clock().update(0.1f);
    EXPECT_TRUE(location.moveTowards({2, 1}));
}

TEST(LocationComponent, AnnouncesEveryChangeOfPositionOnce) {
    ScriptWorld game;
    LocationComponent& location = walker(game, ".....\n.....\n.....\n.....\n.#...\n", {0, 0});
    struct Listener {
        std::vector<GridPos> seen;
        void heard(GridPos p) { seen.push_back(p); }
    } listener;
    using Signal = cindra::util::Signal<GridPos>;
    const auto callback = Signal::Callback::of<&Listener::heard>(listener);
    location.onMove.connect(callback);
    location.onMove.connect(callback);
    location.setPosition({0, 0});
    location.setPosition({1, 0}); // onto a blocked cell: allowed, announced
    location.setPosition({-7, 99});
    EXPECT_EQ(listener.seen, (std::vector<GridPos>{{1, 0}, {1, 0}, {-7, 99}, {-7, 99}}));
    location.onMove.disconnect(callback);
    location.setPosition({2, 2});
    EXPECT_EQ(listener.seen.size(), 4u);
    EXPECT_EQ(location.onMove.size(), 0u);
}

TEST(LightSourceComponent, FollowsItsLocationAndLeavesTheMapBeforeIt) {
    ScriptWorld game;
    LocationComponent& location = walker(game, kOpen, {1, 1});
    const auto e = location.entity;
    EXPECT_THROW(registry(game).createComponent(e + 1, "light"), cindra::Error);
    registry(game).createComponent(e, "light");
    const auto& lights = game.world().getMap().getLights();
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->position, (GridPos{1, 1}));
    EXPECT_EQ(lights[0]->getRadius(), 16);
    EXPECT_EQ(lights[0]->getFalloff(), cindra::LightSource::Falloff::Quadratic);
    EXPECT_FALSE(lights[0]->needsRecalculation());
    location.setPosition({3, 2});
    EXPECT_EQ(lights[0]->position, (GridPos{3, 2}));
    EXPECT_TRUE(lights[0]->needsRecalculation());

    // A new location takes the light along; the old one is gone without a dangling link.
    registry(game).createComponent(e, "location");
    EXPECT_EQ(lights[0]->position, (GridPos{0, 0}));
    registry(game).location(e)->setPosition({4, 4});
    EXPECT_EQ(lights[0]->position, (GridPos{4, 4}));
    registry(game).createComponent(e, "Light"); // wrong case: nothing
    EXPECT_EQ(lights.size(), 1u);
    game.world().removeEntity(e);
    game.frame();
    EXPECT_TRUE(lights.empty());
    EXPECT_EQ(registry(game).location(e), nullptr);
}

} // namespace
