#include "cindra/logic/ScriptApi.hpp"

#include "cindra/Error.hpp"
#include "cindra/LightSource.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"

#include <fmt/format.h>

namespace cindra::logic {

World& worldOf(lua_State* L) {
    return *static_cast<World*>(lua_touserdata(L, lua_upvalueindex(1)));
}

void raise(lua_State* L) {
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

// ---- From Lua ----------------------------------------------------------------------------

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

Glyph toGlyph(lua_State* L, int i) {
    const std::string_view text = toText(L, i);
    return {text.empty() ? std::uint8_t{0} : static_cast<std::uint8_t>(text[0])};
}

namespace {

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

template <typename C> C& need(C* component, const char* function, Entity e, const char* kind) {
    if (component == nullptr) {
        throw Error(fmt::format("{}: entity {} has no {} component.", function, e, kind));
    }
    return *component;
}

} // namespace

util::GridPos toPos(lua_State* L, int i) {
    checkTable(L, i, "GridPos");
    return {element(L, i, 1, toInt), element(L, i, 2, toInt)};
}

util::Color toColor(lua_State* L, int i) {
    checkTable(L, i, "Color");
    return util::Color::fromInts(element(L, i, 1, toInteger), element(L, i, 2, toInteger),
                                 element(L, i, 3, toInteger));
}

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

// ---- To Lua ------------------------------------------------------------------------------

void pushPos(lua_State* L, util::GridPos p) {
    lua_createtable(L, 2, 0);
    lua_pushinteger(L, p.x);
    lua_rawseti(L, -2, 1);
    lua_pushinteger(L, p.y);
    lua_rawseti(L, -2, 2);
    setPositionMetatable(L);
}

void pushColor(lua_State* L, util::Color c) {
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

void pushGlyph(lua_State* L, Glyph glyph) {
    const char byte = static_cast<char>(glyph.code);
    lua_pushlstring(L, &byte, 1);
}

void pushLight(lua_State* L, const LightLevel& light) {
    lua_createtable(L, 0, 0);
    const std::array<std::int64_t, 3> channels{light.red, light.green, light.blue};
    for (int k = 0; k < 3; ++k) {
        lua_pushinteger(L, static_cast<lua_Integer>(channels[static_cast<std::size_t>(k)]));
        lua_rawseti(L, -2, k + 1);
    }
}

// ---- Components --------------------------------------------------------------------------

LocationComponent& needLocation(World& world, const char* function, Entity e) {
    return need(world.entities().location(e), function, e, "location");
}
RenderComponent& needRender(World& world, const char* function, Entity e) {
    return need(world.entities().render(e), function, e, "render");
}
LightSource& needLight(World& world, const char* function, Entity e) {
    return need(world.entities().light(e), function, e, "light").getLight();
}

} // namespace cindra::logic
