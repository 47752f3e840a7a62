#include "cindra/logic/LuaGlue.hpp"

#include "cindra/FontAtlas.hpp"
#include "cindra/World.hpp"
#include "cindra/audio/Sound.hpp"
#include "cindra/gui/DialogBox.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/Lua.hpp"
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"
#include "cindra/logic/ScriptManager.hpp"
#include "cindra/util/Perlin.hpp"
#include "cindra/util/Timer.hpp"

#include <fmt/format.h>
#include <lua.hpp>

#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace cindra::logic {

namespace {

// ---- Cindra ------------------------------------------------------------------------------

util::GridPos getMousePos(World& world) {
    return input(world).mousePos;
}

float getWorldTime(World& world) {
    const util::Timer* clock = gameClock(world);
    return clock != nullptr ? clock->getTime() : 0.0f;
}

float getDeltaTime(World& world) {
    return deltaTime(world);
}

// The script whose think coroutine L is: only such a script can wait for a box.
ScriptObject& thinkingScript(lua_State* L, const char* function) {
    ScriptObject* current = worldOf(L).getScriptManager().current();
    if (current == nullptr || current->threadState() != L) {
        throw Error(fmt::format("{}: only an entity's think function can open a box.", function));
    }
    if (worldOf(L).modalCount() >= World::kMaxModalElements) {
        throw Error(fmt::format("{}: no more than {} boxes can be open at once.", function,
                                World::kMaxModalElements));
    }
    return *current;
}

// Refuses a box whose texts hold more bytes than any face could show, before anything of
// them is copied.
void checkBoxBytes(const char* function, std::uint64_t bytes) {
    if (bytes > gui::kMaxBoxTextBytes) {
        throw Error(fmt::format("{}: the box's texts hold {} bytes; a box holds at most {}.",
                                function, bytes, gui::kMaxBoxTextBytes));
    }
}

// Written by hand: the coroutine yields until the box is answered.
int textBox(lua_State* L) {
    checkCount(L, "textBox", 3);
    const util::GridPos pos = toPos(L, 1);
    const std::int32_t width = toInt(L, 2);
    const std::string_view text = toText(L, 3);
    const int values = guarded(L, [&] {
        ScriptObject& script = thinkingScript(L, "textBox");
        checkBoxBytes("textBox", text.size());
        return script.requestBox(
            L, {std::make_unique<gui::TextBox>(pos, width, std::string(text)), nullptr});
    });
    return lua_yield(L, values);
}

// Checks that argument i is a list of texts, without keeping anything (a wrong element is
// reported by Lua against its stack slot); its length and the total length of its texts.
struct TextListSize {
    std::size_t count = 0;
    std::uint64_t bytes = 0;
};

TextListSize checkTextList(lua_State* L, int i) {
    if (!lua_istable(L, i)) {
        lua_pushfstring(L, "Lua deserialization: Expected table at position %d, got %s!", i,
                        luaL_typename(L, i));
        raise(L);
    }
    TextListSize size;
    size.count = lua_objlen(L, i);
    for (std::size_t k = 1; k <= size.count; ++k) {
        lua_rawgeti(L, i, static_cast<int>(k));
        std::size_t length = 0;
        luaL_checklstring(L, lua_gettop(L), &length);
        size.bytes += length;
        lua_pop(L, 1);
    }
    return size;
}

// The texts of a list checkTextList accepted (no Lua error can arise here).
std::vector<std::string> textList(lua_State* L, int i, std::size_t count) {
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::size_t k = 1; k <= count; ++k) {
        lua_rawgeti(L, i, static_cast<int>(k));
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        texts.emplace_back(text, length);
        lua_pop(L, 1);
    }
    return texts;
}

// Written by hand: the coroutine yields until an answer is chosen.
int dialogBox(lua_State* L) {
    checkCount(L, "dialogBox", 4);
    const util::GridPos pos = toPos(L, 1);
    const std::int32_t width = toInt(L, 2);
    const std::string_view text = toText(L, 3);
    const TextListSize answers = checkTextList(L, 4);
    const int values = guarded(L, [&] {
        ScriptObject& script = thinkingScript(L, "dialogBox");
        // Every answer takes at least two rows, so the count is bounded with the bytes.
        checkBoxBytes("dialogBox", text.size() + answers.bytes + answers.count);
        auto box = std::make_unique<gui::DialogBox>(pos, width, std::string(text),
                                                    textList(L, 4, answers.count));
        util::Signal<int>* chosen = &box->chosen;
        return script.requestBox(L, {std::move(box), chosen});
    });
    return lua_yield(L, values);
}

LightLevel getAmbientLight(World& world) {
    return world.getMap().getAmbientLight();
}

void setAmbientLight(World& world, IntTriple light) {
    if (light.count < 3) {
        throw Error(fmt::format("setAmbientLight needs red, green and blue; got {} entries.",
                                static_cast<int>(light.count)));
    }
    world.getMap().setAmbientLight(light.values[0], light.values[1], light.values[2]);
}

void changeMap(World& world, std::string_view file) {
    world.changeMap(std::string(file));
}

// ---- Cindra.Entity -----------------------------------------------------------------------

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
    return registry(world).getEntityByName(name);
}

const std::string* getName(World& world, Entity e) {
    return registry(world).getName(e);
}

void setName(World& world, Entity e, std::string_view name) {
    needAlive(world, "setName", e);
    registry(world).setName(e, std::string(name));
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
    registry(world).createComponent(e, type);
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

// ---- Cindra.Input ------------------------------------------------------------------------

struct DirectionKeys {
    int keypad;
    int first;
    int second; // 0: the first key alone
    Direction direction;
};

// Diagonals first, so two arrows held together give a diagonal.
constexpr std::array<DirectionKeys, 8> kDirectionKeys{{
    {gui::kKeypad1, gui::kKeyLeft, gui::kKeyDown, Direction::SouthWest},
    {gui::kKeypad3, gui::kKeyRight, gui::kKeyDown, Direction::SouthEast},
    {gui::kKeypad7, gui::kKeyLeft, gui::kKeyUp, Direction::NorthWest},
    {gui::kKeypad9, gui::kKeyRight, gui::kKeyUp, Direction::NorthEast},
    {gui::kKeypad4, gui::kKeyLeft, 0, Direction::West},
    {gui::kKeypad6, gui::kKeyRight, 0, Direction::East},
    {gui::kKeypad2, gui::kKeyDown, 0, Direction::South},
    {gui::kKeypad8, gui::kKeyUp, 0, Direction::North},
}};

// Written by hand: it ignores its arguments, and gives nil when no direction is held.
int getInputDirection(lua_State* L) {
    const gui::InputState& state = input(worldOf(L));
    for (const DirectionKeys& keys : kDirectionKeys) {
        const bool arrows =
            state.isKeyDown(keys.first) && (keys.second == 0 || state.isKeyDown(keys.second));
        if (state.isKeyDown(keys.keypad) || arrows) {
            lua_pushinteger(L, static_cast<lua_Integer>(keys.direction));
            return 1;
        }
    }
    lua_pushnil(L);
    return 1;
}

bool getKeyState(World& world, lua_Integer key) {
    const bool inRange = key >= 0 && key <= std::numeric_limits<int>::max();
    return inRange && input(world).isKeyDown(static_cast<int>(key));
}

// ---- Cindra.Map --------------------------------------------------------------------------

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
    const LocationComponent* location = registry(world).location(e);
    return region != nullptr && location != nullptr && region->region.contains(location->position);
}

util::GridPos getRegionCenter(World& world, std::string_view name) {
    const MapRegion* region = world.getMap().getRegion(name);
    return region != nullptr ? region->region.getCenter() : util::GridPos{};
}

void setViewPoint(World& world, util::GridPos p) {
    world.centerViewOn(p);
}

// ---- Cindra.Perlin -----------------------------------------------------------------------

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

// ---- Cindra.Audio ------------------------------------------------------------------------

void playMusic(World& world, std::string_view file) {
    music(world).play(std::string(file));
}

void stopMusic(World& world) {
    music(world).stop();
}

void pauseMusic(World& world) {
    music(world).pause();
}

void resumeMusic(World& world) {
    music(world).resume();
}

void playSound(World& world, std::string_view file) {
    sound(world, std::string(file)).play();
}

void playSoundLooped(World& world, std::string_view file) {
    sound(world, std::string(file)).playLooped();
}

} // namespace

void registerScriptApi(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra", world)
        .bind<"getMousePos", getMousePos>()
        .bind<"getWorldTime", getWorldTime>()
        .bind<"getDeltaTime", getDeltaTime>()
        .add("textBox", textBox)
        .add("dialogBox", dialogBox)
        .bind<"getAmbientLight", getAmbientLight>()
        .bind<"setAmbientLight", setAmbientLight>()
        .bind<"changeMap", changeMap>();
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
    ScriptTable(lua, "Cindra.Input", world)
        .add("getInputDirection", getInputDirection)
        .bind<"getKeyState", getKeyState>();
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
    ScriptTable(lua, "Cindra.Perlin", world).bind<"noise1D", noise1D>().bind<"noise2D", noise2D>();
    ScriptTable(lua, "Cindra.Audio", world)
        .bind<"playMusic", playMusic>()
        .bind<"stopMusic", stopMusic>()
        .bind<"pauseMusic", pauseMusic>()
        .bind<"resumeMusic", resumeMusic>()
        .bind<"playSound", playSound>()
        .bind<"playSoundLooped", playSoundLooped>();
}

} // namespace cindra::logic
