// The table Cindra.Perlin: samples of the process's noise generator.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Perlin.hpp"

#include <fmt/format.h>

namespace cindra::logic {

namespace {

const util::PerlinNoise& needNoise(World& world, const char* function) {
    const util::PerlinNoise* generator = noise(world);
    if (generator == nullptr) {
        throw Error(fmt::format("{}: there is no noise generator.", function));
    }
    return *generator;
}

float noise1D(World& world, float x) {
    return needNoise(world, "noise1D").noise1D(x);
}

float noise2D(World& world, float x, float y) {
    return needNoise(world, "noise2D").noise2D(x, y);
}

} // namespace

void registerPerlinTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra.Perlin", world).bind<"noise1D", noise1D>().bind<"noise2D", noise2D>();
}

} // namespace cindra::logic
