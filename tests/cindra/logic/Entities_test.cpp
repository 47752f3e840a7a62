#include "cindra/logic/Entities.hpp"

#include "support/ErrorText.hpp"
#include "support/ScriptWorld.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using cindra::logic::kNoEntity;
using cindra::test::errorOf;
using cindra::test::levelSource;
using cindra::test::ScriptWorld;

TEST(Entities, NamesAreUniqueAndARenameFreesTheOldName) {
    ScriptWorld game;
    game.level("intro.cmap", levelSource(4, 4, ""));
    cindra::World& world = game.start();
    cindra::logic::Entities& registry = world.entities();
    const auto a = world.newEntity();
    const auto b = world.newEntity();
    registry.setName(a, "lamp");
    EXPECT_EQ(errorOf([&] { registry.setName(b, "lamp"); }), "Entity name lamp is already taken.");
    EXPECT_EQ(errorOf([&] { registry.setName(a, "lamp"); }), "Entity name lamp is already taken.");
    registry.setName(a, "torch");
    EXPECT_EQ(registry.getEntityByName("lamp"), kNoEntity);
    registry.setName(b, "lamp");
    EXPECT_EQ(registry.getEntityByName("lamp"), b);
    registry.setName(a, "");
    EXPECT_EQ(registry.getName(a), nullptr);
    EXPECT_EQ(registry.getEntityByName("torch"), kNoEntity);
}

// A world that goes with lights still on its entities releases each light before the
// location it follows: a light that outlived its location would reach into freed memory when
// it stops following it (the sanitizer build sees that).
TEST(Entities, AWorldThatGoesReleasesLightsBeforeTheirLocations) {
    auto game = std::make_unique<ScriptWorld>();
    game->level("intro.cmap", levelSource(4, 4, ""));
    cindra::World& world = game->start();
    for (int i = 0; i < 3; ++i) {
        const auto e = world.newEntity();
        world.entities().createComponent(e, "location");
        world.entities().createComponent(e, "light");
        world.entities().setName(e, "lamp" + std::to_string(i));
    }
    ASSERT_EQ(world.getMap().getLights().size(), 3u);
    game.reset();
}

} // namespace
