// The table Cindra.Map: the cells, the regions and the view of the running level.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/Map.hpp"
#include "cindra/World.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"

#include <string>
#include <vector>

namespace cindra::logic {

namespace {

bool isWalkable(World& world, util::GridPos p) {
    return world.getMap().isWalkable(p);
}

bool isTransparent(World& world, util::GridPos p) {
    const Map& map = world.getMap();
    return map.isInside(p) && cindra::isTransparent(map.getCell(p));
}

void setWalkable(World& world, util::GridPos p, bool walkable) {
    world.getMap().setWalkable(p.x, p.y, walkable);
}

void setTransparent(World& world, util::GridPos p, bool transparent) {
    world.getMap().setTransparent(p.x, p.y, transparent);
}

Glyph getMapChar(World& world, util::GridPos p) {
    const Map& map = world.getMap();
    return {map.isInside(p) ? static_cast<std::uint8_t>(map.getCell(p).glyph & 0xFFu)
                            : std::uint8_t{0}};
}

void setMapChar(World& world, util::GridPos p, Glyph glyph) {
    Map& map = world.getMap();
    if (map.isInside(p)) {
        map.getCell(p).glyph = glyph.code;
    }
}

// Written by hand: two to four arguments, and nil leaves a part of the cell as it is.
int put(lua_State* L) {
    const int given = lua_gettop(L);
    if (given < 2 || given > 4) {
        lua_pushliteral(
            L, "Map.put() must be called with two to four arguments: (GridPos, char, fc, bc).");
        raise(L);
    }
    const util::GridPos p = toPos(L, 1);
    Map& map = worldOf(L).getMap();
    if (!map.isInside(p)) {
        return 0;
    }
    // Everything is converted before the cell changes, so a bad colour changes nothing.
    const bool hasGlyph = !lua_isnil(L, 2);
    const bool hasForeground = given >= 3 && !lua_isnil(L, 3);
    const bool hasBackground = given >= 4 && !lua_isnil(L, 4);
    const Glyph glyph = hasGlyph ? toGlyph(L, 2) : Glyph{};
    const util::Color foreground = hasForeground ? toColor(L, 3) : util::Color();
    const util::Color background = hasBackground ? toColor(L, 4) : util::Color();
    MapCell& cell = map.getCell(p);
    if (hasGlyph) {
        cell.glyph = glyph.code;
    }
    if (hasForeground) {
        cell.foreground = foreground;
    }
    if (hasBackground) {
        cell.background = background;
    }
    return 0;
}

// Written by hand, as getRegionCells: a list built from the map, or nil when it would be empty.
int getAllRegions(lua_State* L) {
    checkCount(L, "getAllRegions", 0);
    const std::vector<MapRegion>& regions = worldOf(L).getMap().getRegions();
    if (regions.empty()) {
        lua_pushnil(L);
        return 1;
    }
    lua_createtable(L, 0, 0);
    for (std::size_t k = 0; k < regions.size(); ++k) {
        lua_pushlstring(L, regions[k].name.data(), regions[k].name.size());
        lua_rawseti(L, -2, static_cast<int>(k + 1));
    }
    return 1;
}

const std::string* getRegionParameter(World& world, std::string_view name) {
    const MapRegion* region = world.getMap().getRegion(name);
    return region != nullptr ? &region->parameter : nullptr;
}

int getRegionCells(lua_State* L) {
    checkCount(L, "getRegionCells", 1);
    const MapRegion* region = worldOf(L).getMap().getRegion(toText(L, 1));
    if (region == nullptr || region->region.empty()) {
        lua_pushnil(L);
        return 1;
    }
    lua_createtable(L, 0, 0);
    int k = 0;
    region->region.visit([&](int& x, int& y) {
        pushPos(L, {x, y});
        lua_rawseti(L, -2, ++k);
        return 0;
    });
    return 1;
}

bool regionContains(World& world, std::string_view name, Entity e) {
    const MapRegion* region = world.getMap().getRegion(name);
    const LocationComponent* location = world.entities().location(e);
    return region != nullptr && location != nullptr && region->region.contains(location->position);
}

util::GridPos getRegionCenter(World& world, std::string_view name) {
    const MapRegion* region = world.getMap().getRegion(name);
    return region != nullptr ? region->region.getCenter() : util::GridPos{};
}

void setViewPoint(World& world, util::GridPos p) {
    world.centerViewOn(p);
}

} // namespace

void registerMapTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra.Map", world)
        .bind<"isWalkable", isWalkable>()
        .bind<"isTransparent", isTransparent>()
        .bind<"setWalkable", setWalkable>()
        .bind<"setTransparent", setTransparent>()
        .bind<"getChar", getMapChar>()
        .bind<"setChar", setMapChar>()
        .add("put", put)
        .add("getAllRegions", getAllRegions)
        .bind<"getRegionParameter", getRegionParameter>()
        .add("getRegionCells", getRegionCells)
        .bind<"regionContains", regionContains>()
        .bind<"getRegionCenter", getRegionCenter>()
        .bind<"setViewPoint", setViewPoint>();
}

} // namespace cindra::logic
