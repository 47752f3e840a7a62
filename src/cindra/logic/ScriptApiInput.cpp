// The table Cindra.Input: the held keys, read from the input state.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/gui/Gui.hpp"

#include <array>
#include <limits>

namespace cindra::logic {

namespace {

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
    const gui::InputState& state = worldOf(L).game().input();
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
    return inRange && world.game().input().isKeyDown(static_cast<int>(key));
}

} // namespace

void registerInputTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra.Input", world)
        .add("getInputDirection", getInputDirection)
        .bind<"getKeyState", getKeyState>();
}

} // namespace cindra::logic
