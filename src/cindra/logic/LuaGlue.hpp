// The script API: the native functions of the tables Cindra, Cindra.Entity, Cindra.Input and
// Cindra.Map, each a thin wrapper that checks its arguments, converts them, calls one engine
// operation and pushes at most one result.
#pragma once

namespace cindra {
class World;
}

namespace cindra::logic {

class Lua;

// Registers every function in lua's main state, bound to world (and through it, to its map,
// script manager and entities; the game clock and input state are the process's).
void registerScriptApi(Lua& lua, World& world);

} // namespace cindra::logic
