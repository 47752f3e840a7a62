// The table Cindra.Entity: handles, names, scripts and the components hung off them.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/Error.hpp"
#include "cindra/FontAtlas.hpp"
#include "cindra/LightSource.hpp"
#include "cindra/World.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <fmt/format.h>

#include <string>

namespace cindra::logic {

namespace {

// Refuses to give anything to a handle that is not alive: nothing would ever release it.
void needAlive(World& world, const char* function, Entity e) {
    if (!world.isAlive(e)) {
        throw Error(fmt::format("{}: entity {} does not exist.", function, e));
    }
}

Entity create(World& world) {
    return world.newEntity();
}

void destroy(World& world, Entity e) {
    world.removeEntity(e);
}

Entity getEntityByName(World& world, std::string_view name) {
    return world.entities().getEntityByName(name);
}

const std::string* getName(World& world, Entity e) {
    return world.entities().getName(e);
}

void setName(World& world, Entity e, std::string_view name) {
    needAlive(world, "setName", e);
    world.entities().setName(e, std::string(name));
}

void attachScript(World& world, Entity e, std::string_view module, std::string_view argument) {
    needAlive(world, "attachScript", e);
    world.getScriptManager().attachScript(e, std::string(module), std::string(argument));
}

void createComponent(World& world, Entity e, std::string_view type) {
    needAlive(world, "createComponent", e);
    if (type == "light") {
        needLocation(world, "createComponent", e);
    }
    world.entities().createComponent(e, type);
}

util::GridPos getPosition(World& world, Entity e) {
    return needLocation(world, "getPosition", e).getPosition();
}

void setPosition(World& world, Entity e, util::GridPos p) {
    needLocation(world, "setPosition", e).setPosition(p);
}

float getSpeed(World& world, Entity e) {
    return needLocation(world, "getSpeed", e).getSpeed();
}

void setSpeed(World& world, Entity e, float speed) {
    needLocation(world, "setSpeed", e).setSpeed(speed);
}

void moveDirectional(World& world, Entity e, std::int32_t d) {
    LocationComponent& location = needLocation(world, "moveDirectional", e);
    if (!isDirection(d)) {
        throw Error(fmt::format("moveDirectional: {} is not a direction (0 to 7).", d));
    }
    location.moveDirectional(static_cast<Direction>(d));
}

bool moveTowards(World& world, Entity e, util::GridPos target) {
    return needLocation(world, "moveTowards", e).moveTowards(target);
}

util::Color getColor(World& world, Entity e) {
    return needRender(world, "getColor", e).color;
}

void setColor(World& world, Entity e, util::Color c) {
    needRender(world, "setColor", e).color = c;
}

void setEntityChar(World& world, Entity e, std::int32_t glyph) {
    RenderComponent& render = needRender(world, "setChar", e);
    if (glyph < 0 || glyph >= FontAtlas::kGridSize * FontAtlas::kGridSize) {
        throw Error(fmt::format("setChar: {} is not a glyph of the font (0 to 255).", glyph));
    }
    render.glyph = glyph;
}

void setLightColor(World& world, Entity e, util::Color c) {
    needLight(world, "setLightColor", e).color = c;
}

void setLightRadius(World& world, Entity e, std::int32_t radius) {
    needLight(world, "setLightRadius", e).setRadius(radius);
}

void setLightFalloff(World& world, Entity e, std::int32_t kind) {
    LightSource& light = needLight(world, "setLightFalloff", e);
    if (kind == 1) {
        light.setFalloff(LightSource::Falloff::Linear);
    } else if (kind == 2) {
        light.setFalloff(LightSource::Falloff::Quadratic);
    }
}

void setLightFade(World& world, Entity e, std::int32_t fade) {
    needLight(world, "setLightFade", e).fade = fade;
}

} // namespace

void registerEntityTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra.Entity", world)
        .bind<"create", create>()
        .bind<"destroy", destroy>()
        .bind<"getEntityByName", getEntityByName>()
        .bind<"getName", getName>()
        .bind<"setName", setName>()
        .bind<"attachScript", attachScript>()
        .bind<"createComponent", createComponent>()
        .bind<"getPosition", getPosition>()
        .bind<"setPosition", setPosition>()
        .bind<"getSpeed", getSpeed>()
        .bind<"setSpeed", setSpeed>()
        .bind<"moveDirectional", moveDirectional>()
        .bind<"moveTowards", moveTowards>()
        .bind<"getColor", getColor>()
        .bind<"setColor", setColor>()
        .bind<"setChar", setEntityChar>()
        .bind<"setLightColor", setLightColor>()
        .bind<"setLightRadius", setLightRadius>()
        .bind<"setLightFalloff", setLightFalloff>()
        .bind<"setLightFade", setLightFade>();
}

} // namespace cindra::logic
