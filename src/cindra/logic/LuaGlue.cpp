#include "cindra/logic/LuaGlue.hpp"

#include "cindra/FontAtlas.hpp"
#include "cindra/Process.hpp"
#include "cindra/World.hpp"
#include "cindra/audio/Music.hpp"
#include "cindra/audio/Sound.hpp"
#include "cindra/gui/DialogBox.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"
#include "cindra/logic/Lua.hpp"
#include "cindra/logic/ScriptManager.hpp"
#include "cindra/util/Perlin.hpp"

#include <fmt/format.h>
#include <lua.hpp>

#include <array>
#include <exception>
#include <string>
#include <string_view>

// Lua raises its errors with longjmp, which skips C++ destructors. So every function below
// converts its arguments into plain values first (a conversion error jumps over nothing that
// needs destroying), does its engine work inside guarded, and raises an engine failure only
// after every C++ object of that work has gone.
namespace cindra::logic {

namespace {

World& worldOf(lua_State* L) {
    return *static_cast<World*>(lua_touserdata(L, lua_upvalueindex(1)));
}

Entities& registry() {
    return process().entities;
}

[[noreturn]] void raise(lua_State* L) {
    lua_error(L);
    std::terminate(); // lua_error does not return
}

void checkCount(lua_State* L, const char* name, int expected) {
    const int given = lua_gettop(L);
    if (given != expected) {
        lua_pushfstring(L, "Function %s called with %d arguments; %d expected.", name, given,
                        expected);
        raise(L);
    }
}

// Runs work (which returns the number of results it pushed); a C++ exception becomes a Lua
// error carrying its message, raised once the exception object is gone.
template <typename Work> int guarded(lua_State* L, Work&& work) {
    try {
        return work();
    } catch (const std::exception& error) {
        lua_pushstring(L, error.what());
    }
    return lua_error(L);
}

// ---- From Lua --------------------------------------------------------------------------

// Integers follow luaL_checkinteger (a number, or a text that reads as one, its fraction
// dropped), but a number that the engine's integer cannot hold is refused instead of wrapped
// (or, for NaN and the infinities, converted in a way C leaves undefined): handle 2^32 + 1 never
// names entity 1, and a position never jumps to the far side of the range.
lua_Integer toInteger(lua_State* L, int i) {
    const lua_Number n = luaL_checknumber(L, i);
    if (!(n >= -0x1p63 && n < 0x1p63)) {
        luaL_argerror(L, i, "number has no integer representation");
    }
    return static_cast<lua_Integer>(n);
}

std::int32_t toInt(lua_State* L, int i) {
    const lua_Number n = luaL_checknumber(L, i);
    if (!(n > -0x1p31 - 1 && n < 0x1p31)) {
        luaL_argerror(L, i, "number out of the 32-bit integer range");
    }
    return static_cast<std::int32_t>(n);
}

float toFloat(lua_State* L, int i) {
    return static_cast<float>(luaL_checknumber(L, i));
}

bool toBool(lua_State* L, int i) {
    return lua_toboolean(L, i) != 0;
}

std::string_view toText(lua_State* L, int i) {
    std::size_t length = 0;
    const char* text = luaL_checklstring(L, i, &length);
    return {text, length};
}

// The first byte of a text as a glyph; 0 for an empty text.
std::uint8_t toGlyph(lua_State* L, int i) {
    const std::string_view text = toText(L, i);
    return text.empty() ? 0 : static_cast<std::uint8_t>(text[0]);
}

void checkTable(lua_State* L, int i, const char* type) {
    if (!lua_istable(L, i)) {
        lua_pushfstring(L, "Value at %d is not a %s.", i, type);
        raise(L);
    }
}

// Element k of the table at i, raw, converted on top of the stack by convert (toInt or
// toInteger), so that a wrong element is reported by Lua against that stack slot.
template <typename Convert> auto element(lua_State* L, int i, int k, Convert convert) {
    lua_rawgeti(L, i, k);
    const auto value = convert(L, lua_gettop(L));
    lua_pop(L, 1);
    return value;
}

GridPos toPos(lua_State* L, int i) {
    checkTable(L, i, "GridPos");
    return {element(L, i, 1, toInt), element(L, i, 2, toInt)};
}

// Channels keep their low 8 bits, of any integer.
Color toColor(lua_State* L, int i) {
    checkTable(L, i, "Color");
    return Color::fromInts(element(L, i, 1, toInteger), element(L, i, 2, toInteger),
                           element(L, i, 3, toInteger));
}

// A list of integers: every element is checked, the first three are kept.
struct IntTriple {
    std::array<std::int32_t, 3> values{};
    std::size_t count = 0;
};

IntTriple toIntList(lua_State* L, int i) {
    if (!lua_istable(L, i)) {
        lua_pushfstring(L, "Lua deserialization: Expected table at position %d, got %s!", i,
                        luaL_typename(L, i));
        raise(L);
    }
    IntTriple list;
    list.count = lua_objlen(L, i);
    for (std::size_t k = 1; k <= list.count; ++k) {
        const std::int32_t value = element(L, i, static_cast<int>(k), toInt);
        if (k <= list.values.size()) {
            list.values[k - 1] = value;
        }
    }
    return list;
}

// ---- To Lua ----------------------------------------------------------------------------

// Gives the new table on top the global GridPos as metatable, when scripts made it a table.
// Read raw: a script that guards its globals (an __index on _G that refuses undeclared names)
// must not fail every position it is handed, nor run code in the middle of this function.
void setPositionMetatable(lua_State* L) {
    lua_pushliteral(L, "GridPos");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        lua_setmetatable(L, -2);
    } else {
        lua_pop(L, 1);
    }
}

void pushPos(lua_State* L, GridPos p) {
    lua_createtable(L, 2, 0);
    lua_pushinteger(L, p.x);
    lua_rawseti(L, -2, 1);
    lua_pushinteger(L, p.y);
    lua_rawseti(L, -2, 2);
    setPositionMetatable(L);
}

void pushColor(lua_State* L, Color c) {
    lua_createtable(L, 3, 0);
    const std::array<std::uint8_t, 3> channels{c.r, c.g, c.b};
    for (int k = 0; k < 3; ++k) {
        lua_pushinteger(L, channels[static_cast<std::size_t>(k)]);
        lua_rawseti(L, -2, k + 1);
    }
    setPositionMetatable(L);
}

void pushText(lua_State* L, const std::string* text) {
    if (text == nullptr) {
        lua_pushnil(L);
    } else {
        lua_pushlstring(L, text->data(), text->size());
    }
}

// ---- Components --------------------------------------------------------------------------

template <typename C> C& need(C* component, const char* function, Entity e, const char* kind) {
    if (component == nullptr) {
        throw Error(fmt::format("{}: entity {} has no {} component.", function, e, kind));
    }
    return *component;
}

LocationComponent& needLocation(const char* function, Entity e) {
    return need(registry().location(e), function, e, "location");
}
RenderComponent& needRender(const char* function, Entity e) {
    return need(registry().render(e), function, e, "render");
}
LightSource& needLight(const char* function, Entity e) {
    return need(registry().light(e), function, e, "light").getLight();
}

// ---- Cindra ------------------------------------------------------------------------------

int getMousePos(lua_State* L) {
    checkCount(L, "getMousePos", 0);
    pushPos(L, gui::input().mousePos);
    return 1;
}

int getWorldTime(lua_State* L) {
    checkCount(L, "getWorldTime", 0);
    const util::Timer* clock = process().gameClock;
    lua_pushnumber(L, clock != nullptr ? clock->getTime() : 0.0f);
    return 1;
}

int getDeltaTime(lua_State* L) {
    checkCount(L, "getDeltaTime", 0);
    lua_pushnumber(L, process().deltaTime);
    return 1;
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

int textBox(lua_State* L) {
    checkCount(L, "textBox", 3);
    const GridPos pos = toPos(L, 1);
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

int dialogBox(lua_State* L) {
    checkCount(L, "dialogBox", 4);
    const GridPos pos = toPos(L, 1);
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

int getAmbientLight(lua_State* L) {
    checkCount(L, "getAmbientLight", 0);
    const LightLevel& ambient = worldOf(L).getMap().getAmbientLight();
    lua_createtable(L, 0, 0);
    const std::array<std::int64_t, 3> channels{ambient.red, ambient.green, ambient.blue};
    for (int k = 0; k < 3; ++k) {
        lua_pushinteger(L, static_cast<lua_Integer>(channels[static_cast<std::size_t>(k)]));
        lua_rawseti(L, -2, k + 1);
    }
    return 1;
}

int setAmbientLight(lua_State* L) {
    checkCount(L, "setAmbientLight", 1);
    const IntTriple light = toIntList(L, 1);
    if (light.count < 3) {
        lua_pushfstring(L, "setAmbientLight needs red, green and blue; got %d entries.",
                        static_cast<int>(light.count));
        raise(L);
    }
    worldOf(L).getMap().setAmbientLight(light.values[0], light.values[1], light.values[2]);
    return 0;
}

int changeMap(lua_State* L) {
    checkCount(L, "changeMap", 1);
    const std::string_view file = toText(L, 1);
    return guarded(L, [&] {
        worldOf(L).changeMap(std::string(file));
        return 0;
    });
}

// ---- Cindra.Entity -------------------------------------------------------------------------

// Refuses to give anything to a handle that is not alive: nothing would ever release it.
void needAlive(lua_State* L, const char* function, Entity e) {
    if (!worldOf(L).isAlive(e)) {
        throw Error(fmt::format("{}: entity {} does not exist.", function, e));
    }
}

int create(lua_State* L) {
    checkCount(L, "create", 0);
    return guarded(L, [&] {
        lua_pushinteger(L, worldOf(L).newEntity());
        return 1;
    });
}

int destroy(lua_State* L) {
    checkCount(L, "destroy", 1);
    const Entity e = toInt(L, 1);
    return guarded(L, [&] {
        worldOf(L).removeEntity(e);
        return 0;
    });
}

int getEntityByName(lua_State* L) {
    checkCount(L, "getEntityByName", 1);
    const std::string_view name = toText(L, 1);
    return guarded(L, [&] {
        lua_pushinteger(L, registry().getEntityByName(name));
        return 1;
    });
}

int getName(lua_State* L) {
    checkCount(L, "getName", 1);
    const Entity e = toInt(L, 1);
    pushText(L, registry().getName(e));
    return 1;
}

int setName(lua_State* L) {
    checkCount(L, "setName", 2);
    const Entity e = toInt(L, 1);
    const std::string_view name = toText(L, 2);
    return guarded(L, [&] {
        needAlive(L, "setName", e);
        registry().setName(e, std::string(name));
        return 0;
    });
}

int attachScript(lua_State* L) {
    checkCount(L, "attachScript", 3);
    const Entity e = toInt(L, 1);
    const std::string_view module = toText(L, 2);
    const std::string_view argument = toText(L, 3);
    return guarded(L, [&] {
        needAlive(L, "attachScript", e);
        worldOf(L).getScriptManager().attachScript(e, std::string(module), std::string(argument));
        return 0;
    });
}

int createComponent(lua_State* L) {
    checkCount(L, "createComponent", 2);
    const Entity e = toInt(L, 1);
    const std::string_view type = toText(L, 2);
    return guarded(L, [&] {
        needAlive(L, "createComponent", e);
        if (type == "light") {
            needLocation("createComponent", e);
        }
        registry().createComponent(e, type);
        return 0;
    });
}

int getPosition(lua_State* L) {
    checkCount(L, "getPosition", 1);
    const Entity e = toInt(L, 1);
    return guarded(L, [&] {
        pushPos(L, needLocation("getPosition", e).getPosition());
        return 1;
    });
}

int setPosition(lua_State* L) {
    checkCount(L, "setPosition", 2);
    const Entity e = toInt(L, 1);
    const GridPos p = toPos(L, 2);
    return guarded(L, [&] {
        needLocation("setPosition", e).setPosition(p);
        return 0;
    });
}

int getSpeed(lua_State* L) {
    checkCount(L, "getSpeed", 1);
    const Entity e = toInt(L, 1);
    return guarded(L, [&] {
        lua_pushnumber(L, needLocation("getSpeed", e).getSpeed());
        return 1;
    });
}

int setSpeed(lua_State* L) {
    checkCount(L, "setSpeed", 2);
    const Entity e = toInt(L, 1);
    const float speed = toFloat(L, 2);
    return guarded(L, [&] {
        needLocation("setSpeed", e).setSpeed(speed);
        return 0;
    });
}

int moveDirectional(lua_State* L) {
    checkCount(L, "moveDirectional", 2);
    const Entity e = toInt(L, 1);
    const std::int32_t d = toInt(L, 2);
    return guarded(L, [&] {
        LocationComponent& location = needLocation("moveDirectional", e);
        if (!isDirection(d)) {
            throw Error(fmt::format("moveDirectional: {} is not a direction (0 to 7).", d));
        }
        location.moveDirectional(static_cast<Direction>(d));
        return 0;
    });
}

int moveTowards(lua_State* L) {
    checkCount(L, "moveTowards", 2);
    const Entity e = toInt(L, 1);
    const GridPos target = toPos(L, 2);
    return guarded(L, [&] {
        lua_pushboolean(L, needLocation("moveTowards", e).moveTowards(target));
        return 1;
    });
}

int getColor(lua_State* L) {
    checkCount(L, "getColor", 1);
    const Entity e = toInt(L, 1);
    return guarded(L, [&] {
        pushColor(L, needRender("getColor", e).color);
        return 1;
    });
}

int setColor(lua_State* L) {
    checkCount(L, "setColor", 2);
    const Entity e = toInt(L, 1);
    const Color c = toColor(L, 2);
    return guarded(L, [&] {
        needRender("setColor", e).color = c;
        return 0;
    });
}

int setEntityChar(lua_State* L) {
    checkCount(L, "setChar", 2);
    const Entity e = toInt(L, 1);
    const std::int32_t glyph = toInt(L, 2);
    return guarded(L, [&] {
        RenderComponent& render = needRender("setChar", e);
        if (glyph < 0 || glyph >= FontAtlas::kGridSize * FontAtlas::kGridSize) {
            throw Error(fmt::format("setChar: {} is not a glyph of the font (0 to 255).", glyph));
        }
        render.glyph = glyph;
        return 0;
    });
}

int setLightColor(lua_State* L) {
    checkCount(L, "setLightColor", 2);
    const Entity e = toInt(L, 1);
    const Color c = toColor(L, 2);
    return guarded(L, [&] {
        needLight("setLightColor", e).color = c;
        return 0;
    });
}

int setLightRadius(lua_State* L) {
    checkCount(L, "setLightRadius", 2);
    const Entity e = toInt(L, 1);
    const std::int32_t radius = toInt(L, 2);
    return guarded(L, [&] {
        needLight("setLightRadius", e).setRadius(radius);
        return 0;
    });
}

int setLightFalloff(lua_State* L) {
    checkCount(L, "setLightFalloff", 2);
    const Entity e = toInt(L, 1);
    const std::int32_t kind = toInt(L, 2);
    return guarded(L, [&] {
        LightSource& light = needLight("setLightFalloff", e);
        if (kind == 1) {
            light.setFalloff(LightSource::Falloff::Linear);
        } else if (kind == 2) {
            light.setFalloff(LightSource::Falloff::Quadratic);
        }
        return 0;
    });
}

int setLightFade(lua_State* L) {
    checkCount(L, "setLightFade", 2);
    const Entity e = toInt(L, 1);
    const std::int32_t fade = toInt(L, 2);
    return guarded(L, [&] {
        needLight("setLightFade", e).fade = fade;
        return 0;
    });
}

// ---- Cindra.Input --------------------------------------------------------------------------

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

int getInputDirection(lua_State* L) {
    const gui::InputState& input = gui::input();
    for (const DirectionKeys& keys : kDirectionKeys) {
        const bool arrows =
            input.isKeyDown(keys.first) && (keys.second == 0 || input.isKeyDown(keys.second));
        if (input.isKeyDown(keys.keypad) || arrows) {
            lua_pushinteger(L, static_cast<lua_Integer>(keys.direction));
            return 1;
        }
    }
    lua_pushnil(L);
    return 1;
}

int getKeyState(lua_State* L) {
    checkCount(L, "getKeyState", 1);
    const lua_Integer key = toInteger(L, 1);
    const bool inRange = key >= 0 && key <= std::numeric_limits<int>::max();
    lua_pushboolean(L, inRange && gui::input().isKeyDown(static_cast<int>(key)));
    return 1;
}

// ---- Cindra.Map ----------------------------------------------------------------------------

int isWalkable(lua_State* L) {
    checkCount(L, "isWalkable", 1);
    const GridPos p = toPos(L, 1);
    lua_pushboolean(L, worldOf(L).getMap().isWalkable(p));
    return 1;
}

int isTransparent(lua_State* L) {
    checkCount(L, "isTransparent", 1);
    const GridPos p = toPos(L, 1);
    const Map& map = worldOf(L).getMap();
    lua_pushboolean(L, map.isInside(p) && cindra::isTransparent(map.getCell(p)));
    return 1;
}

int setWalkable(lua_State* L) {
    checkCount(L, "setWalkable", 2);
    const GridPos p = toPos(L, 1);
    const bool walkable = toBool(L, 2);
    worldOf(L).getMap().setWalkable(p.x, p.y, walkable);
    return 0;
}

int setTransparent(lua_State* L) {
    checkCount(L, "setTransparent", 2);
    const GridPos p = toPos(L, 1);
    const bool transparent = toBool(L, 2);
    worldOf(L).getMap().setTransparent(p.x, p.y, transparent);
    return 0;
}

int getMapChar(lua_State* L) {
    checkCount(L, "getChar", 1);
    const GridPos p = toPos(L, 1);
    const Map& map = worldOf(L).getMap();
    const char glyph = map.isInside(p) ? static_cast<char>(map.getCell(p).glyph & 0xFFu) : '\0';
    lua_pushlstring(L, &glyph, 1);
    return 1;
}

int setMapChar(lua_State* L) {
    checkCount(L, "setChar", 2);
    const GridPos p = toPos(L, 1);
    const std::uint8_t glyph = toGlyph(L, 2);
    Map& map = worldOf(L).getMap();
    if (map.isInside(p)) {
        map.getCell(p).glyph = glyph;
    }
    return 0;
}

int put(lua_State* L) {
    const int given = lua_gettop(L);
    if (given < 2 || given > 4) {
        lua_pushliteral(
            L, "Map.put() must be called with two to four arguments: (GridPos, char, fc, bc).");
        raise(L);
    }
    const GridPos p = toPos(L, 1);
    Map& map = worldOf(L).getMap();
    if (!map.isInside(p)) {
        return 0;
    }
    // Everything is converted before the cell changes, so a bad colour changes nothing.
    const bool hasGlyph = !lua_isnil(L, 2);
    const bool hasForeground = given >= 3 && !lua_isnil(L, 3);
    const bool hasBackground = given >= 4 && !lua_isnil(L, 4);
    const std::uint8_t glyph = hasGlyph ? toGlyph(L, 2) : 0;
    const Color foreground = hasForeground ? toColor(L, 3) : Color();
    const Color background = hasBackground ? toColor(L, 4) : Color();
    MapCell& cell = map.getCell(p);
    if (hasGlyph) {
        cell.glyph = glyph;
    }
    if (hasForeground) {
        cell.foreground = foreground;
    }
    if (hasBackground) {
        cell.background = background;
    }
    return 0;
}

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

int getRegionParameter(lua_State* L) {
    checkCount(L, "getRegionParameter", 1);
    const MapRegion* region = worldOf(L).getMap().getRegion(toText(L, 1));
    pushText(L, region != nullptr ? &region->parameter : nullptr);
    return 1;
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

int regionContains(lua_State* L) {
    checkCount(L, "regionContains", 2);
    const std::string_view name = toText(L, 1);
    const Entity e = toInt(L, 2);
    const MapRegion* region = worldOf(L).getMap().getRegion(name);
    const LocationComponent* location = registry().location(e);
    lua_pushboolean(L, region != nullptr && location != nullptr &&
                           region->region.contains(location->position));
    return 1;
}

int getRegionCenter(lua_State* L) {
    checkCount(L, "getRegionCenter", 1);
    const MapRegion* region = worldOf(L).getMap().getRegion(toText(L, 1));
    pushPos(L, region != nullptr ? region->region.getCenter() : GridPos{});
    return 1;
}

int setViewPoint(lua_State* L) {
    checkCount(L, "setViewPoint", 1);
    const GridPos p = toPos(L, 1);
    worldOf(L).centerViewOn(p);
    return 0;
}

// ---- Cindra.Perlin --------------------------------------------------------------------------

const util::PerlinNoise& noise(const char* function) {
    const util::PerlinNoise* generator = process().noise;
    if (generator == nullptr) {
        throw Error(fmt::format("{}: there is no noise generator.", function));
    }
    return *generator;
}

int noise1D(lua_State* L) {
    checkCount(L, "noise1D", 1);
    const float x = toFloat(L, 1);
    return guarded(L, [&] {
        lua_pushnumber(L, noise("noise1D").noise1D(x));
        return 1;
    });
}

int noise2D(lua_State* L) {
    checkCount(L, "noise2D", 2);
    const float x = toFloat(L, 1);
    const float y = toFloat(L, 2);
    return guarded(L, [&] {
        lua_pushnumber(L, noise("noise2D").noise2D(x, y));
        return 1;
    });
}

// ---- Cindra.Audio --------------------------------------------------------------------------

template <void (*Operation)()> int musicControl(lua_State* L, const char* name) {
    checkCount(L, name, 0);
    return guarded(L, [] {
        Operation();
        return 0;
    });
}

int playMusic(lua_State* L) {
    checkCount(L, "playMusic", 1);
    const std::string_view file = toText(L, 1);
    return guarded(L, [&] {
        audio::MusicPlayer::play(std::string(file));
        return 0;
    });
}

int stopMusic(lua_State* L) {
    return musicControl<audio::MusicPlayer::stop>(L, "stopMusic");
}

int pauseMusic(lua_State* L) {
    return musicControl<audio::MusicPlayer::pause>(L, "pauseMusic");
}

int resumeMusic(lua_State* L) {
    return musicControl<audio::MusicPlayer::resume>(L, "resumeMusic");
}

template <void (audio::Sound::*Play)()> int sound(lua_State* L, const char* name) {
    checkCount(L, name, 1);
    const std::string_view file = toText(L, 1);
    return guarded(L, [&] {
        (audio::Sound(std::string(file), -1).*Play)();
        return 0;
    });
}

int playSound(lua_State* L) {
    return sound<&audio::Sound::play>(L, "playSound");
}

int playSoundLooped(lua_State* L) {
    return sound<&audio::Sound::playLooped>(L, "playSoundLooped");
}

} // namespace

void registerScriptApi(Lua& lua, World& world) {
    void* w = &world;
    lua.library("Cindra")
        .add("getMousePos", getMousePos, w)
        .add("getWorldTime", getWorldTime, w)
        .add("getDeltaTime", getDeltaTime, w)
        .add("textBox", textBox, w)
        .add("dialogBox", dialogBox, w)
        .add("getAmbientLight", getAmbientLight, w)
        .add("setAmbientLight", setAmbientLight, w)
        .add("changeMap", changeMap, w);
    lua.library("Cindra.Entity")
        .add("create", create, w)
        .add("destroy", destroy, w)
        .add("getEntityByName", getEntityByName, w)
        .add("getName", getName, w)
        .add("setName", setName, w)
        .add("attachScript", attachScript, w)
        .add("createComponent", createComponent, w)
        .add("getPosition", getPosition, w)
        .add("setPosition", setPosition, w)
        .add("getSpeed", getSpeed, w)
        .add("setSpeed", setSpeed, w)
        .add("moveDirectional", moveDirectional, w)
        .add("moveTowards", moveTowards, w)
        .add("getColor", getColor, w)
        .add("setColor", setColor, w)
        .add("setChar", setEntityChar, w)
        .add("setLightColor", setLightColor, w)
        .add("setLightRadius", setLightRadius, w)
        .add("setLightFalloff", setLightFalloff, w)
        .add("setLightFade", setLightFade, w);
    lua.library("Cindra.Input")
        .add("getInputDirection", getInputDirection, w)
        .add("getKeyState", getKeyState, w);
    lua.library("Cindra.Map")
        .add("isWalkable", isWalkable, w)
        .add("isTransparent", isTransparent, w)
        .add("setWalkable", setWalkable, w)
        .add("setTransparent", setTransparent, w)
        .add("getChar", getMapChar, w)
        .add("setChar", setMapChar, w)
        .add("put", put, w)
        .add("getAllRegions", getAllRegions, w)
        .add("getRegionParameter", getRegionParameter, w)
        .add("getRegionCells", getRegionCells, w)
        .add("regionContains", regionContains, w)
        .add("getRegionCenter", getRegionCenter, w)
        .add("setViewPoint", setViewPoint, w);
    lua.library("Cindra.Perlin").add("noise1D", noise1D, w).add("noise2D", noise2D, w);
    lua.library("Cindra.Audio")
        .add("playMusic", playMusic, w)
        .add("stopMusic", stopMusic, w)
        .add("pauseMusic", pauseMusic, w)
        .add("resumeMusic", resumeMusic, w)
        .add("playSound", playSound, w)
        .add("playSoundLooped", playSoundLooped, w);
}

} // namespace cindra::logic
