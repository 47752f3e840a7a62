// The script API's shared half, internal to logic/: the conversions between Lua values and
// engine values, the checks every native function makes, and one register function per script
// table. Every native function reaches its game through the World in upvalue 1.
//
// Lua raises its errors with longjmp, which skips C++ destructors. So every native function
// converts its arguments into plain values first (a conversion error jumps over nothing that
// needs destroying), does its engine work inside guarded, and raises an engine failure only
// after every C++ object of that work has gone.
#pragma once

#include "cindra/Game.hpp"
#include "cindra/World.hpp"
#include "cindra/logic/Entity.hpp"
#include "cindra/util/Color.hpp"
#include "cindra/util/GridPos.hpp"

#include <lua.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace cindra {
class LightSource;
class World;
struct LightLevel;
namespace audio {
class Sound;
}
namespace gui {
struct InputState;
}
namespace util {
class PerlinNoise;
class Timer;
} // namespace util
} // namespace cindra

namespace cindra::logic {

class Entities;
class Lua;
class LocationComponent;
class RenderComponent;

// ---- Checks ------------------------------------------------------------------------------

// The World a native function serves: its upvalue 1.
World& worldOf(lua_State* L);

// Raises the error value on top of the stack.
[[noreturn]] void raise(lua_State* L);

void checkCount(lua_State* L, const char* name, int expected);

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

// ---- From Lua ----------------------------------------------------------------------------

lua_Integer toInteger(lua_State* L, int i);
std::int32_t toInt(lua_State* L, int i);
float toFloat(lua_State* L, int i);
bool toBool(lua_State* L, int i);
// Points into the Lua string at i, which lives as long as the call.
std::string_view toText(lua_State* L, int i);

// A glyph given or returned as a one-byte text, set apart from a glyph given as a number.
struct Glyph {
    std::uint8_t code = 0;
};
// The first byte of a text; 0 for an empty text.
Glyph toGlyph(lua_State* L, int i);

util::GridPos toPos(lua_State* L, int i);
// Channels keep their low 8 bits, of any integer.
util::Color toColor(lua_State* L, int i);

// A list of integers: every element is checked, the first three are kept.
struct IntTriple {
    std::array<std::int32_t, 3> values{};
    std::size_t count = 0;
};
IntTriple toIntList(lua_State* L, int i);

// ---- To Lua ------------------------------------------------------------------------------

void pushPos(lua_State* L, util::GridPos p);
void pushColor(lua_State* L, util::Color c);
// nil for no text.
void pushText(lua_State* L, const std::string* text);
void pushGlyph(lua_State* L, Glyph glyph);
// A plain list of the three channels, without the GridPos metatable.
void pushLight(lua_State* L, const LightLevel& light);

// ---- Components --------------------------------------------------------------------------

// The entity's component; a missing one is an Error naming function and kind.
LocationComponent& needLocation(World& world, const char* function, Entity e);
RenderComponent& needRender(World& world, const char* function, Entity e);
LightSource& needLight(World& world, const char* function, Entity e);

// ---- Tables ------------------------------------------------------------------------------

void registerCindraTable(Lua& lua, World& world);
void registerEntityTable(Lua& lua, World& world);
void registerInputTable(Lua& lua, World& world);
void registerMapTable(Lua& lua, World& world);
void registerPerlinTable(Lua& lua, World& world);
void registerAudioTable(Lua& lua, World& world);

} // namespace cindra::logic
