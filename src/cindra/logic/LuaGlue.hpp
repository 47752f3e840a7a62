// The script API: the native functions of the tables Cindra, Cindra.Entity, Cindra.Input,
// Cindra.Map, Cindra.Perlin and Cindra.Audio (one ScriptApi*.cpp each), each a thin wrapper that
// checks its arguments, converts them, calls one engine operation and pushes at most one result.
#pragma once

namespace cindra {
class World;
}

namespace cindra::logic {

class Lua;

// Registers every function in lua's main state, bound to world (and through it, to its map,
// script manager and entities; the game clock, noise, input state and audio are still the
// process's, reached through ScriptAccess.cpp).
void registerScriptApi(Lua& lua, World& world);

} // namespace cindra::logic
