// The table Cindra.Perlin: samples of the process's noise generator.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Perlin.hpp"

#include <fmt/format.h>

namespace cindra::logic {

namespace {

float noise1D(World& world, float x) {
    return world.game().noise().noise1D(x);
}

float noise2D(World& world, float x, float y) {
    return world.game().noise().noise2D(x, y);
}

} // namespace

void registerPerlinTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra.Perlin", world).bind<"noise1D", noise1D>().bind<"noise2D", noise2D>();
}

} // namespace cindra::logic
